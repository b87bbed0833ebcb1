#ifndef MAYASIM_HOST_H
#define MAYASIM_HOST_H
// Stand-in-only facilities for tests and tools: the script-editor log, plug-in loading as the host does
// it, and queries of the file-translator registry. Nothing here exists in the real devkit; plug-in code
// must never include this header.

#include <maya/MPxFileTranslator.h>
#include <maya/MStatus.h>

#include <memory>
#include <string>
#include <vector>

namespace mayasim {

// ---- Script-editor log ----
enum class Severity { kInfo, kWarning, kError };

struct LogLine {
    Severity severity;
    std::string text;  // the text as passed to MGlobal::display*, without decoration
};

std::vector<LogLine> messages();
void clearMessages();
// Every displayed line is also printed to standard output as the script editor shows it
// ("text", "// Warning: text //", "// Error: text //"). On by default.
void setEchoMessages(bool on);
// The printed form of one line.
std::string decorated(const LogLine& line);

// ---- Plug-ins ----
// Opens the module, checks its exported MApiVersion, calls initializePlugin(MObject). On any failure the
// module is closed again and `error` (when given) says why; the same text goes to the log as an error.
MStatus loadPlugin(const std::string& path, std::string* error = nullptr);
// Calls uninitializePlugin and closes the module. `nameOrPath` is the plug-in name (file name without
// extension) or the path it was loaded from.
MStatus unloadPlugin(const std::string& nameOrPath, std::string* error = nullptr);
bool isPluginLoaded(const std::string& nameOrPath);
std::vector<std::string> loadedPlugins();

// ---- File translators ----
struct TranslatorInfo {
    std::string name;
    std::string pixmap;
    std::string optionsScript;
    std::string defaultOptions;
    std::string dataLocation;
    std::string plugin;  // name of the plug-in that registered it
    bool requiresFullMel = false;
    // Answers of the translator object the host keeps for this registration.
    bool haveRead = false;
    bool haveWrite = false;
    bool haveNamespaceSupport = false;
    bool haveReference = false;
    bool allowMultipleFileOptimization = false;
    bool canBeOpened = false;
    std::string extension;
    std::string filter;
};

std::vector<std::string> translatorNames();  // in registration order
bool findTranslator(const std::string& name, TranslatorInfo& out);
// The translator object the host keeps for a registration (created through the registered creator on
// first use, destroyed when the translator is deregistered). Null when no such translator exists.
MPxFileTranslator* hostTranslator(const std::string& name);
// A fresh object made through the registered creator, owned by the caller; it must be destroyed before
// the plug-in that made it is unloaded.
std::unique_ptr<MPxFileTranslator> createTranslator(const std::string& name);

// ---- Scene ----
// Discards the scene and starts a new one as a new Maya scene starts (default nodes, time settings).
void newScene();

}  // namespace mayasim

#endif
