// The process-wide host state and the script-editor log.
#include "HostState.h"

#include <maya/MGlobal.h>

#include <cstdio>
#include <iostream>

#include "Access.h"
#include "Graph.h"

namespace mayasim {

HostState::HostState() = default;

// Translator objects run plug-in code in their destructors; release them while the modules are still
// mapped (modules are never closed here, only by unloadPlugin).
HostState::~HostState() {
    for (auto& t : translators) t->instance.reset();
}

HostState& host() {
    static HostState state;
    return state;
}

TranslatorEntry* HostState::findTranslator(const std::string& name) {
    for (auto& t : translators)
        if (t->name == name) return t.get();
    return nullptr;
}

MPxFileTranslator* HostState::translatorObject(TranslatorEntry& entry) {
    if (!entry.instance && entry.creator)
        entry.instance.reset(static_cast<MPxFileTranslator*>(entry.creator()));
    return entry.instance.get();
}

std::shared_ptr<PluginObject> HostState::findPlugin(const std::string& nameOrPath) {
    for (auto& p : plugins)
        if (p->name == nameOrPath || p->path == nameOrPath) return p;
    return nullptr;
}

std::string decorated(const LogLine& line) {
    switch (line.severity) {
        case Severity::kWarning:
            return "// Warning: " + line.text + " //";
        case Severity::kError:
            return "// Error: " + line.text + " //";
        case Severity::kInfo:
            break;
    }
    return line.text;
}

void logLine(Severity severity, const std::string& text) {
    HostState& h = host();
    h.log.push_back(LogLine{severity, text});
    if (h.echo) {
        std::cout << decorated(h.log.back()) << '\n';
        std::cout.flush();
    }
}

std::vector<LogLine> messages() {
    return host().log;
}
void clearMessages() {
    host().log.clear();
}
void setEchoMessages(bool on) {
    host().echo = on;
}

}  // namespace mayasim

void MGlobal::displayInfo(const MString& theMessage) {
    mayasim::logLine(mayasim::Severity::kInfo, mayasim::fromM(theMessage));
}
void MGlobal::displayWarning(const MString& theWarning) {
    mayasim::logLine(mayasim::Severity::kWarning, mayasim::fromM(theWarning));
}
void MGlobal::displayError(const MString& theError) {
    mayasim::logLine(mayasim::Severity::kError, mayasim::fromM(theError));
}
MString MGlobal::mayaVersion() {
    return "2015";
}
int MGlobal::apiVersion() {
    return MAYA_API_VERSION;
}
MGlobal::MMayaState MGlobal::mayaState(MStatus* ReturnStatus) {
    if (ReturnStatus) *ReturnStatus = MS::kSuccess;
    return kLibraryApp;
}
