#ifndef MAYASIM_COMMANDS_H
#define MAYASIM_COMMANDS_H
// Internal: the command registry behind MGlobal::executeCommand. A command gets its arguments
// (quotes removed) and fills its result as strings; families register theirs from their own files.

#include <maya/MStatus.h>

#include <functional>
#include <string>
#include <vector>

namespace mayasim {

using CommandFn =
    std::function<MStatus(const std::vector<std::string>& args, std::vector<std::string>& result)>;

void registerCommand(const std::string& name, CommandFn fn);
// Runs one or more ';'-separated commands; the result is that of the last one.
MStatus runCommand(const std::string& text, std::vector<std::string>& result);
// Splits a command line into words; double quotes group and are removed, "\"" escapes a quote.
std::vector<std::string> splitCommandWords(const std::string& text);

}  // namespace mayasim

#endif
