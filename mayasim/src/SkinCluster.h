#ifndef MAYASIM_SKINCLUSTER_H
#define MAYASIM_SKINCLUSTER_H
// Internal: the skinCluster command, run by the command layer with the words after the command name.

#include <array>
#include <string>
#include <vector>

namespace mayasim {

class Node;

// The points of a mesh as the graph gives them at the current time, in the mesh's object space: its
// own points, or when "inMesh" is fed, the points that arrive there through deformers, tweaks and
// group parts from the original shape; then the mesh's own "pnts" tweaks.
std::vector<std::array<double, 3>> currentPoints(const Node* mesh);
// One point of the above (zero for a point the mesh does not have).
std::array<double, 3> currentPoint(const Node* mesh, int vertex);
// The mesh at the upstream end of a mesh's "inMesh" chain (null when nothing feeds it).
Node* geometrySource(const Node* mesh);

// Returns false with `error` set when the command fails; `result` gets the new skin cluster names.
bool runSkinClusterCommand(const std::vector<std::string>& args, std::vector<std::string>& result,
                           std::string& error);

}  // namespace mayasim

#endif
