// The stand-in's command-line host: opens a scene file as Maya does and, when asked, exports it with the
// plug-in's translator, printing the load report and every line the plug-in logs.
//
// Usage: mayahost open SCENE.ma [--export OUT.qvx] [--options "name=value;..."] [--plugin MODULE]

#include <maya/MFileIO.h>
#include <maya/MFileObject.h>
#include <maya/MLibrary.h>
#include <maya/MPxFileTranslator.h>
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
        MStatus written;
        if (haveOptions) {
            // The host passes the options of the export request to the translator's writer.
            MPxFileTranslator* translator = mayasim::hostTranslator(kTranslator);
            if (!translator) {
                std::fprintf(stderr, "mayahost: the plug-in registered no translator \"%s\"\n", kTranslator);
                MLibrary::cleanup(1, false);
                return 1;
            }
            MFileObject file;
            file.setRawFullName(MString(out.c_str()));
            written =
                translator->writer(file, MString(options.c_str()), MPxFileTranslator::kExportAccessMode);
        } else {
            written = MFileIO::exportAll(MString(out.c_str()));
        }
        std::printf("%s %s\n", written ? "Exported" : "Export failed:", out.c_str());
        status = written ? 0 : 1;
    }
    MLibrary::cleanup(status, false);
    return status;
}
