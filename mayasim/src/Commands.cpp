// MGlobal::executeCommand over a small command registry, and the plug-in commands.
#include "Commands.h"

#include <maya/MDoubleArray.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MStringArray.h>

#include <cstdlib>
#include <map>

#include "Access.h"
#include "HostState.h"

namespace mayasim {

namespace {

std::map<std::string, CommandFn>& registry() {
    static std::map<std::string, CommandFn> commands;
    return commands;
}

// Splits on ';' outside double quotes.
std::vector<std::string> statements(const std::string& text) {
    std::vector<std::string> out;
    std::string cur;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\\' && quoted && i + 1 < text.size()) {
            cur += c;
            cur += text[++i];
            continue;
        }
        if (c == '"') quoted = !quoted;
        if (c == ';' && !quoted) {
            out.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    out.push_back(cur);
    return out;
}

MStatus runOne(const std::string& text, std::vector<std::string>& result) {
    std::vector<std::string> words = splitCommandWords(text);
    if (words.empty()) return MS::kSuccess;
    auto it = registry().find(words[0]);
    if (it == registry().end()) {
        logLine(Severity::kError, "line 1: Cannot find procedure \"" + words[0] + "\".");
        return MS::kFailure;
    }
    std::vector<std::string> args(words.begin() + 1, words.end());
    result.clear();
    return it->second(args, result);
}

// loadPlugin [-quiet] "path": loads the module; the result is the plug-in's name.
MStatus loadPluginCommand(const std::vector<std::string>& args, std::vector<std::string>& result) {
    std::string path;
    for (const std::string& a : args)
        if (!a.empty() && a[0] != '-') path = a;
    if (path.empty()) {
        logLine(Severity::kError, "loadPlugin: no plug-in file given");
        return MS::kInvalidParameter;
    }
    MStatus s = loadPlugin(path);
    if (!s) return s;
    auto p = host().findPlugin(path);
    result.push_back(p ? p->name : path);
    return MS::kSuccess;
}

MStatus unloadPluginCommand(const std::vector<std::string>& args, std::vector<std::string>&) {
    std::string name;
    for (const std::string& a : args)
        if (!a.empty() && a[0] != '-') name = a;
    if (name.empty()) {
        logLine(Severity::kError, "unloadPlugin: no plug-in name given");
        return MS::kInvalidParameter;
    }
    return unloadPlugin(name);
}

struct BuiltIns {
    BuiltIns() {
        registerCommand("loadPlugin", loadPluginCommand);
        registerCommand("unloadPlugin", unloadPluginCommand);
    }
} builtIns;

}  // namespace

void registerCommand(const std::string& name, CommandFn fn) {
    registry()[name] = std::move(fn);
}

std::vector<std::string> splitCommandWords(const std::string& text) {
    std::vector<std::string> words;
    std::string cur;
    bool quoted = false, inWord = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (quoted) {
            if (c == '\\' && i + 1 < text.size()) {
                cur += text[++i];
            } else if (c == '"') {
                quoted = false;
            } else {
                cur += c;
            }
        } else if (c == '"') {
            quoted = true;
            inWord = true;
        } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            if (inWord) words.push_back(cur);
            cur.clear();
            inWord = false;
        } else {
            cur += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(cur);
    return words;
}

MStatus runCommand(const std::string& text, std::vector<std::string>& result) {
    MStatus s;
    for (const std::string& one : statements(text)) {
        std::vector<std::string> r;
        s = runOne(one, r);
        if (!s) return s;
        if (!splitCommandWords(one).empty()) result = r;
    }
    return s;
}

}  // namespace mayasim

using namespace mayasim;

namespace {
MStatus execute(const MString& command, std::vector<std::string>& result, bool displayEnabled) {
    if (displayEnabled) logLine(Severity::kInfo, fromM(command));
    return runCommand(fromM(command), result);
}
}  // namespace

MStatus MGlobal::executeCommand(const MString& command, bool displayEnabled, bool) {
    std::vector<std::string> r;
    return execute(command, r, displayEnabled);
}
// Results of this form are not modelled; the command runs and its status is returned.
MStatus MGlobal::executeCommand(const MString& command, MCommandResult&, bool displayEnabled, bool) {
    std::vector<std::string> r;
    return execute(command, r, displayEnabled);
}
MStatus MGlobal::executeCommand(const MString& command, int& result, bool displayEnabled, bool) {
    std::vector<std::string> r;
    MStatus s = execute(command, r, displayEnabled);
    if (s && !r.empty()) result = std::atoi(r[0].c_str());
    return s;
}
MStatus MGlobal::executeCommand(const MString& command, MIntArray& result, bool displayEnabled, bool) {
    std::vector<std::string> r;
    MStatus s = execute(command, r, displayEnabled);
    if (s) {
        result.clear();
        for (const std::string& v : r) result.append(std::atoi(v.c_str()));
    }
    return s;
}
MStatus MGlobal::executeCommand(const MString& command, double& result, bool displayEnabled, bool) {
    std::vector<std::string> r;
    MStatus s = execute(command, r, displayEnabled);
    if (s && !r.empty()) result = std::atof(r[0].c_str());
    return s;
}
MStatus MGlobal::executeCommand(const MString& command, MDoubleArray& result, bool displayEnabled, bool) {
    std::vector<std::string> r;
    MStatus s = execute(command, r, displayEnabled);
    if (s) {
        result.clear();
        for (const std::string& v : r) result.append(std::atof(v.c_str()));
    }
    return s;
}
MStatus MGlobal::executeCommand(const MString& command, MString& result, bool displayEnabled, bool) {
    std::vector<std::string> r;
    MStatus s = execute(command, r, displayEnabled);
    if (s) {
        std::string joined;
        for (const std::string& v : r) joined += (joined.empty() ? "" : " ") + v;
        result = toM(joined);
    }
    return s;
}
MStatus MGlobal::executeCommand(const MString& command, MStringArray& result, bool displayEnabled, bool) {
    std::vector<std::string> r;
    MStatus s = execute(command, r, displayEnabled);
    if (s) {
        result.clear();
        for (const std::string& v : r) result.append(toM(v));
    }
    return s;
}
