// Loads a built or installed plug-in module in the stand-in host and drives one import and
// one export through the host's file commands, as a user would from Maya's File menu:
//  1. writes a small scene with the project's writer into WORK/in.qvx;
//  2. loads the module (MApiVersion check, initializePlugin) and finds the translator with
//     its options script;
//  3. imports WORK/in.qvx with the translator, then exports the scene to WORK/out.qvx;
//  4. unloads the module.
// Each request must return and log its banner and "QVX: Finished."; the messages are printed
// so that a failure shows what the plug-in said.
//
// Usage: qvx_module_check MODULE WORK_FOLDER
// Exit codes: 0 all steps passed, 1 a step failed, 2 usage.

#include <maya/MFileIO.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <mayasim/Host.h>

#include <cstdio>
#include <string>

#include "format/ExportFile.h"
#include "format/SampleScene.h"
#include "scene/Scene.h"

namespace {

constexpr const char* kTranslator = "Tavrin Pro";

bool logged(const std::string& text) {
    for (const mayasim::LogLine& line : mayasim::messages()) {
        if (line.text == text) {
            return true;
        }
    }
    return false;
}

void printMessages() {
    for (const mayasim::LogLine& line : mayasim::messages()) {
        std::printf("    %s\n", mayasim::decorated(line).c_str());
    }
}

// One host request: it must succeed and leave the banner and the closing line in the log.
bool request(const char* what, MStatus status, const char* banner) {
    const bool ok = status && logged(std::string("QVX: ") + banner) && logged("QVX: Finished.");
    std::printf("%s: %s\n", what, ok ? "ok" : "FAILED");
    if (!ok) {
        printMessages();
    }
    mayasim::clearMessages();
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: qvx_module_check MODULE WORK_FOLDER\n");
        return 2;
    }
    const std::string module = argv[1];
    const std::string work = argv[2];
    const std::string input = work + "/in.qvx";
    const std::string output = work + "/out.qvx";
    mayasim::setEchoMessages(false);

    Scene scene;
    samples::fillScene(scene);
    const ExportResult written = exportSceneFile(scene, WriteOptions(), input);
    if (!written.written) {
        std::fprintf(stderr, "qvx_module_check: %s\n", written.error.c_str());
        return 1;
    }

    std::string error;
    if (!mayasim::loadPlugin(module, &error)) {
        std::printf("load %s: FAILED: %s\n", module.c_str(), error.c_str());
        return 1;
    }
    std::printf("load %s: ok\n", module.c_str());
    mayasim::TranslatorInfo info;
    if (!mayasim::findTranslator(kTranslator, info) || info.optionsScript != "qvxTransOptions") {
        std::printf("translator \"%s\" with options script qvxTransOptions: FAILED\n", kTranslator);
        mayasim::unloadPlugin(module);
        return 1;
    }
    mayasim::clearMessages();

    bool ok =
        request("import", MFileIO::importFile(input.c_str(), kTranslator), "Tavrin Pro Importer for Maya");
    ok = request("export", MFileIO::exportAll(output.c_str(), kTranslator), "Tavrin Pro Exporter for Maya") &&
         ok;

    if (!mayasim::unloadPlugin(module, &error)) {
        std::printf("unload: FAILED: %s\n", error.c_str());
        return 1;
    }
    std::printf("unload: ok\n");
    return ok ? 0 : 1;
}
