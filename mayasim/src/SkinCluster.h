#ifndef MAYASIM_SKINCLUSTER_H
#define MAYASIM_SKINCLUSTER_H
// Internal: the skinCluster command, run by the command layer with the words after the command name.

#include <string>
#include <vector>

namespace mayasim {

// Returns false with `error` set when the command fails; `result` gets the new skin cluster names.
bool runSkinClusterCommand(const std::vector<std::string>& args, std::vector<std::string>& result,
                           std::string& error);

}  // namespace mayasim

#endif
