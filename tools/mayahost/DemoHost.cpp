// A small stand-in host: loads the plug-in module as Maya does (open it, check its
// MApiVersion, call initializePlugin), shows what it registered and the messages it
// logged, asks one translator to identify a few files, then unloads the module.
//
// Usage: qvx_demo_host [path/to/TavrinPro.so]

#include <maya/MFileObject.h>
#include <maya/MPxFileTranslator.h>
#include <maya/MString.h>
#include <mayasim/Host.h>

#include <cstdio>
#include <string>

namespace {

constexpr const char* kTranslator = "Tavrin Pro";

void printMessages(const char* heading) {
    std::printf("%s\n", heading);
    if (mayasim::messages().empty()) {
        std::printf("  (none)\n");
    }
    for (const mayasim::LogLine& line : mayasim::messages()) {
        std::printf("  %s\n", mayasim::decorated(line).c_str());
    }
    mayasim::clearMessages();
}

const char* yesNo(bool value) {
    return value ? "yes" : "no";
}

const char* kindName(MPxFileTranslator::MFileKind kind) {
    switch (kind) {
        case MPxFileTranslator::kIsMyFileType:
            return "is my file type";
        case MPxFileTranslator::kCouldBeMyFileType:
            return "could be my file type";
        case MPxFileTranslator::kNotMyFileType:
            break;
    }
    return "not my file type";
}

void printIdentification(const MPxFileTranslator& translator, const char* path, const char* firstBytes) {
    MFileObject file;
    file.setFullName(MString(path));
    const short size = firstBytes ? static_cast<short>(std::string(firstBytes).size()) : 0;
    std::printf("  %-16s %-8s -> %s\n", path, firstBytes ? firstBytes : "(none)",
                kindName(translator.identifyFile(file, firstBytes, size)));
}

}  // namespace

int main(int argc, char** argv) {
    const std::string path = argc > 1 ? argv[1] : QVX_PLUGIN_MODULE;
    // The messages are shown below as a list rather than echoed as they arrive.
    mayasim::setEchoMessages(false);

    std::printf("Loading plug-in %s\n", path.c_str());
    std::string error;
    if (!mayasim::loadPlugin(path, &error)) {
        std::fprintf(stderr, "qvx_demo_host: could not load %s: %s\n", path.c_str(), error.c_str());
        return 1;
    }
    printMessages("Messages logged while loading:");

    mayasim::TranslatorInfo info;
    if (!mayasim::findTranslator(kTranslator, info)) {
        std::fprintf(stderr, "qvx_demo_host: the plug-in registered no translator \"%s\"\n", kTranslator);
        mayasim::unloadPlugin(path);
        return 1;
    }
    std::printf("Registered file translator:\n");
    std::printf("  name:                  %s\n", info.name.c_str());
    std::printf("  plug-in:               %s\n", info.plugin.c_str());
    std::printf("  default extension:     %s\n", info.extension.c_str());
    std::printf("  filter:                %s\n", info.filter.c_str());
    std::printf("  options script:        %s\n", info.optionsScript.c_str());
    std::printf("  default option string: %s\n", info.defaultOptions.c_str());
    std::printf("  reads files:           %s\n", yesNo(info.haveRead));
    std::printf("  writes files:          %s\n", yesNo(info.haveWrite));

    if (const MPxFileTranslator* translator = mayasim::hostTranslator(kTranslator)) {
        std::printf("File identification:\n");
        printIdentification(*translator, "scene.QVX", "QVXH");
        printIdentification(*translator, "scene.qvx", "ABCD");
        printIdentification(*translator, "scene.qvx", nullptr);
        printIdentification(*translator, "scene.obj", "QVXH");
    }

    const MStatus unloaded = mayasim::unloadPlugin(path, &error);
    if (!unloaded) {
        std::fprintf(stderr, "qvx_demo_host: could not unload %s: %s\n", path.c_str(), error.c_str());
        return 1;
    }
    std::printf("Unloaded the plug-in; translators still registered: %zu\n",
                mayasim::translatorNames().size());
    printMessages("Messages logged while unloading:");
    return 0;
}
