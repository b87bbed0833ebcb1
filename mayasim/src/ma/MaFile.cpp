// Opening and importing ASCII scene files: a load runs in a fresh scene, so that a file that fails
// leaves the scene the user had untouched.
#include <fstream>
#include <sstream>

#include "../HostState.h"
#include "MaLoader.h"
#include "mayasim/MaFile.h"

namespace mayasim {

namespace {

MaLoadReport& lastReport() {
    static MaLoadReport report;
    return report;
}

// The host's scene, time settings and selection, set aside while a load runs in a fresh scene.
struct SavedScene {
    std::unique_ptr<Scene> scene;
    TimeState time;
    MSelectionList selection;

    void take() {
        HostState& h = host();
        scene = std::move(h.scene);
        time = h.time;
        selection = h.activeSelection;
    }
    void restore() {
        HostState& h = host();
        h.scene = std::move(scene);
        h.time = time;
        h.activeSelection = selection;
    }
};

MStatus finish(bool ok, MaLoadReport& rep, MaLoadReport* out) {
    if (!ok) logLine(Severity::kError, rep.error);
    lastReport() = rep;
    if (out) *out = rep;
    return ok ? MS::kSuccess : MS::kFailure;
}

MStatus load(const std::string& text, const std::string& name, bool opening, MaLoadReport* out) {
    MaLoadReport rep;
    rep.file = name;
    SavedScene saved;
    saved.take();
    resetScene();
    bool ok = ma::Loader(rep, name, opening).run(text);
    if (!ok || !opening) saved.restore();
    if (ok && !opening) {
        // The file loaded cleanly on its own; now add it to the scene the user has.
        MaLoadReport real;
        real.file = name;
        ok = ma::Loader(real, name, false).run(text);
        rep = real;
    }
    return finish(ok, rep, out);
}

bool readFile(const std::string& path, std::string& text, MaLoadReport& rep) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        rep.error = path + ": cannot be opened";
        return false;
    }
    std::ostringstream s;
    s << in.rdbuf();
    if (in.bad()) {
        rep.error = path + ": read error";
        return false;
    }
    text = s.str();
    return true;
}

MStatus loadFile(const std::string& path, bool opening, MaLoadReport* out) {
    std::string text;
    MaLoadReport rep;
    rep.file = path;
    if (!readFile(path, text, rep)) return finish(false, rep, out);
    MStatus st = load(text, path, opening, out);
    if (st && opening) {
        host().currentFile = path;
        host().currentFileType = "mayaAscii";
    }
    return st;
}

}  // namespace

std::string MaLoadReport::text() const {
    std::string s;
    if (!error.empty()) return "Error: " + error + "\n";
    s += "Loaded " + file + ": " + std::to_string(statements) + " statements, " +
         std::to_string(nodesCreated) + " nodes created, " + std::to_string(connections) + " connections\n";
    for (const std::string& r : requires) s += "requires " + r + "\n";
    for (const std::string& n : notes) s += "note: " + n + "\n";
    for (const std::string& n : notEvaluated) s += "not evaluated: " + n + "\n";
    return s;
}

bool isMaPath(const std::string& path) {
    if (path.size() < 3) return false;
    const std::string ext = path.substr(path.size() - 3);
    return ext == ".ma" || ext == ".MA" || ext == ".Ma" || ext == ".mA";
}

MStatus openMaFile(const std::string& path, MaLoadReport* report) {
    return loadFile(path, true, report);
}
MStatus importMaFile(const std::string& path, MaLoadReport* report) {
    return loadFile(path, false, report);
}
MStatus openMaText(const std::string& text, const std::string& name, MaLoadReport* report) {
    return load(text, name, true, report);
}
MStatus importMaText(const std::string& text, const std::string& name, MaLoadReport* report) {
    return load(text, name, false, report);
}
MaLoadReport lastMaLoadReport() {
    return lastReport();
}

}  // namespace mayasim
