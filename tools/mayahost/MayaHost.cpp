// The stand-in's command-line host: opens a scene file as Maya does and, when asked, exports it with the
// plug-in's translator, printing the load report and every line the plug-in logs.
//
// Usage: mayahost open SCENE.ma [--export OUT.qvx] [--options "name=value;..."] [--plugin MODULE]

#include <maya/MFileIO.h>
#include <maya/MGlobal.h>
#include <maya/MLibrary.h>
#include <maya/MString.h>
#include <mayasim/Host.h>
#include <mayasim/MaFile.h>

#include <cstdio>
#include <string>

namespace {

constexpr const char* kTranslator = "Tavrin Pro";

int usage() {
    std::fprintf(stderr,
                 "usage: mayahost open SCENE.ma [--export OUT.qvx] [--options \"name=value;...\"] "
                 "[--plugin MODULE]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string scene, out, options, plugin = QVX_PLUGIN_MODULE;
    bool haveOptions = false;
    if (argc < 3 || std::string(argv[1]) != "open") return usage();
    scene = argv[2];
    for (int i = 3; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 >= argc) return usage();
        if (a == "--export") {
            out = argv[++i];
        } else if (a == "--options") {
            options = argv[++i];
            haveOptions = true;
        } else if (a == "--plugin") {
            plugin = argv[++i];
        } else {
            return usage();
        }
    }

    MLibrary::initialize(true, "mayahost");
    std::string error;
    if (!out.empty() && !mayasim::loadPlugin(plugin, &error)) {
        std::fprintf(stderr, "mayahost: could not load %s: %s\n", plugin.c_str(), error.c_str());
        MLibrary::cleanup(1, false);
        return 1;
    }
    const MStatus opened = MFileIO::open(MString(scene.c_str()));
    std::printf("%s", mayasim::lastMaLoadReport().text().c_str());
    if (!opened) {
        MLibrary::cleanup(1, false);
        return 1;
    }
    int status = 0;
    if (!out.empty()) {
        // As a batch script exports: the file command, with the request's options when given.
        auto quoted = [](const std::string& text) {
            std::string q = "\"";
            for (char c : text) {
                if (c == '"' || c == '\\') q += '\\';
                q += c;
            }
            return q + "\"";
        };
        std::string command = "file -f";
        if (haveOptions) command += " -op " + quoted(options);
        command += std::string(" -typ ") + quoted(kTranslator) + " -ea " + quoted(out);
        const MStatus written = MGlobal::executeCommand(MString(command.c_str()));
        std::printf("%s %s\n", written ? "Exported" : "Export failed:", out.c_str());
        status = written ? 0 : 1;
    }
    MLibrary::cleanup(status, false);
    return status;
}
