#ifndef MAYASIM_HOSTSTATE_H
#define MAYASIM_HOSTSTATE_H
// Internal: the host's process-wide state. Maya keeps one scene, one script-editor log, one set of
// loaded plug-ins and one translator registry per process; the stand-in keeps them here, in one place.

#include <maya/MPxFileTranslator.h>
#include <maya/MSelectionList.h>
#include <maya/MTypes.h>

#include <memory>
#include <string>
#include <vector>

#include "Object.h"
#include "mayasim/Host.h"

namespace mayasim {

class PluginObject : public Object {
  public:
    MFn::Type apiType() const override { return MFn::kPlugin; }
    bool alive() const override { return loaded; }

    std::string name;  // file name without extension
    std::string path;  // as given to loadPlugin
    std::string vendor;
    std::string version;
    std::string requiredApiVersion;
    std::string apiVersionText;  // the module's MApiVersion
    void* handle = nullptr;
    bool loaded = false;
};

struct TranslatorEntry {
    std::string name;
    std::string pixmap;
    std::string optionsScript;
    std::string defaultOptions;
    std::string dataLocation;
    bool requiresFullMel = false;
    MCreatorFunction creator = nullptr;
    std::shared_ptr<PluginObject> owner;
    // The object the host keeps while the plug-in is loaded; made through the creator on first use.
    std::unique_ptr<MPxFileTranslator> instance;
};

class Scene;

// Time settings, all in seconds; the user-interface unit is an MTime::Unit value.
struct TimeState {
    int uiUnit = 6;  // MTime::kFilm
    double current = 1.0 / 24.0;
    double minTime = 1.0 / 24.0;
    double maxTime = 1.0;
    double animationStart = 1.0 / 24.0;
    double animationEnd = 2.0;
};

struct HostState {
    HostState();
    ~HostState();

    std::vector<LogLine> log;
    bool echo = true;

    std::vector<std::shared_ptr<PluginObject>> plugins;
    std::vector<std::unique_ptr<TranslatorEntry>> translators;
    MPxFileTranslator::FileAccessMode accessMode = MPxFileTranslator::kUnknownAccessMode;

    std::unique_ptr<Scene> scene;
    TimeState time;
    MSelectionList activeSelection;
    int angleUiUnit = 2;     // MAngle::kDegrees
    int distanceUiUnit = 6;  // MDistance::kCentimeters

    // The scene's file and what MFileIO is doing.
    std::string currentFile;
    std::string currentFileType;
    bool readingFile = false;
    bool writingFile = false;
    bool openingFile = false;

    TranslatorEntry* findTranslator(const std::string& name);
    MPxFileTranslator* translatorObject(TranslatorEntry& entry);
    std::shared_ptr<PluginObject> findPlugin(const std::string& nameOrPath);
};

HostState& host();

// Appends one line to the script-editor log and echoes it.
void logLine(Severity severity, const std::string& text);

}  // namespace mayasim

#endif
