// MFileIO over the translator registry, and MLibrary.
#include <maya/MFileIO.h>
#include <maya/MFileObject.h>
#include <maya/MLibrary.h>
#include <maya/MPxFileTranslator.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <memory>

#include "Access.h"
#include "Commands.h"
#include "Graph.h"
#include "HostState.h"
#include "mayasim/MaFile.h"

using namespace mayasim;

namespace {

// The host shows translators this many leading bytes of a file when identifying it.
constexpr std::size_t kIdentifyBytes = 2048;

std::string extensionOf(const std::string& path) {
    std::size_t slash = path.find_last_of("/\\");
    std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::string();
    return path.substr(dot + 1);
}

bool sameText(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

MStatus fail(const std::string& message, MStatus::MStatusCode code = MS::kFailure) {
    logLine(Severity::kError, message);
    return code;
}

// A named translator, or for reading the one that identifies the file: a sure answer first, then a
// "could be" from a translator whose extension matches, then any "could be".
TranslatorEntry* chooseTranslator(const std::string& path, const char* type, bool forReading,
                                  MStatus& status) {
    HostState& h = host();
    if (type && *type) {
        TranslatorEntry* e = h.findTranslator(type);
        if (!e) status = fail("File type not recognized: " + std::string(type), MS::kInvalidParameter);
        return e;
    }
    if (!forReading) {
        for (auto& e : h.translators) {
            MPxFileTranslator* t = h.translatorObject(*e);
            if (t && t->haveWriteMethod() && sameText(fromM(t->defaultExtension()), extensionOf(path)))
                return e.get();
        }
        status = fail("No file type to write " + path + " with", MS::kInvalidParameter);
        return nullptr;
    }
    std::string head(kIdentifyBytes, '\0');
    std::ifstream in(path, std::ios::binary);
    in.read(&head[0], static_cast<std::streamsize>(head.size()));
    head.resize(in ? head.size() : static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    MFileObject file;
    file.setRawFullName(toM(path));
    TranslatorEntry *matching = nullptr, *anyMaybe = nullptr;
    for (auto& e : h.translators) {
        MPxFileTranslator* t = h.translatorObject(*e);
        if (!t || !t->haveReadMethod()) continue;
        MPxFileTranslator::MFileKind kind =
            t->identifyFile(file, head.empty() ? nullptr : head.data(), static_cast<short>(head.size()));
        if (kind == MPxFileTranslator::kIsMyFileType) return e.get();
        if (kind == MPxFileTranslator::kCouldBeMyFileType) {
            if (!matching && sameText(fromM(t->defaultExtension()), extensionOf(path))) matching = e.get();
            if (!anyMaybe) anyMaybe = e.get();
        }
    }
    if (matching) return matching;
    if (anyMaybe) return anyMaybe;
    status = fail("Unrecognized file type: " + path, MS::kInvalidParameter);
    return nullptr;
}

// Runs the reader or writer of the chosen translator with `options`, or with its registered default
// option string when `options` is null.
MStatus runTranslator(const MString& fileName, const char* type, MPxFileTranslator::FileAccessMode mode,
                      const std::string* options = nullptr) {
    const bool reading = mode == MPxFileTranslator::kOpenAccessMode ||
                         mode == MPxFileTranslator::kImportAccessMode ||
                         mode == MPxFileTranslator::kReferenceAccessMode;
    const std::string path = fromM(fileName);
    if (path.empty()) return fail("No file name given", MS::kInvalidParameter);
    if (reading && !std::ifstream(path, std::ios::binary))
        return fail("File not found: " + path, MS::kNotFound);
    MStatus status;
    TranslatorEntry* entry = chooseTranslator(path, type, reading, status);
    if (!entry) return status;
    HostState& h = host();
    MPxFileTranslator* t = h.translatorObject(*entry);
    if (!t) return fail("Translator " + entry->name + " could not be created");
    if (reading ? !t->haveReadMethod() : !t->haveWriteMethod())
        return fail("Translator " + entry->name + (reading ? " cannot read" : " cannot write"),
                    MS::kInvalidParameter);

    if (mode == MPxFileTranslator::kOpenAccessMode) resetScene();
    MFileObject file;
    file.setRawFullName(fileName);
    HostState& f = host();
    const MPxFileTranslator::FileAccessMode previous = h.accessMode;
    h.accessMode = mode;
    f.readingFile = reading;
    f.writingFile = !reading;
    f.openingFile = mode == MPxFileTranslator::kOpenAccessMode;
    MString optionText = toM(options ? *options : entry->defaultOptions);
    status = reading ? t->reader(file, optionText, mode) : t->writer(file, optionText, mode);
    h.accessMode = previous;
    f.readingFile = f.writingFile = f.openingFile = false;
    if (!status) return fail((reading ? "Error reading file " : "Error writing file ") + path);
    if (mode == MPxFileTranslator::kOpenAccessMode || mode == MPxFileTranslator::kSaveAccessMode) {
        f.currentFile = path;
        f.currentFileType = entry->name;
    }
    return MS::kSuccess;
}

// file [-f] [-typ type] [-op options] (-i | -o | -ea | -es | -new) [path], as scripts and batch jobs
// run it: -import reads into the current scene, -open into a new one, -exportAll and -exportSelected
// write; the -options text reaches the reader or writer unchanged. Answers the file's path.
MStatus fileCommand(const std::vector<std::string>& args, std::vector<std::string>& result) {
    struct Action {
        const char* shortFlag;
        const char* longFlag;
        MPxFileTranslator::FileAccessMode mode;
    };
    static const Action kActions[] = {{"-i", "-import", MPxFileTranslator::kImportAccessMode},
                                      {"-o", "-open", MPxFileTranslator::kOpenAccessMode},
                                      {"-ea", "-exportAll", MPxFileTranslator::kExportAccessMode},
                                      {"-es", "-exportSelected", MPxFileTranslator::kExportActiveAccessMode}};
    // Flags scripts commonly add that change nothing here; the second group takes a value.
    static const char* const kIgnored[] = {"-f",  "-force",        "-pr", "-preserveReferences",
                                           "-iv", "-ignoreVersion"};
    static const char* const kIgnoredWithValue[] = {
        "-ns", "-namespace", "-ra", "-renameAll", "-mnc", "-mergeNamespacesOnClash", "-pmt", "-prompt"};
    auto isOneOf = [](const std::string& a, const auto& list) {
        return std::find_if(std::begin(list), std::end(list), [&](const char* f) { return a == f; }) !=
               std::end(list);
    };
    const Action* action = nullptr;
    bool newScene = false;
    std::string type, path;
    std::unique_ptr<std::string> options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool needsValue =
            a == "-typ" || a == "-type" || a == "-op" || a == "-options" || isOneOf(a, kIgnoredWithValue);
        if (needsValue && i + 1 >= args.size())
            return fail("file: flag '" + a + "' needs a value", MS::kInvalidParameter);
        if (a == "-typ" || a == "-type") {
            type = args[++i];
        } else if (a == "-op" || a == "-options") {
            options = std::make_unique<std::string>(args[++i]);
        } else if (a == "-new") {
            newScene = true;
        } else if (isOneOf(a, kIgnoredWithValue)) {
            ++i;
        } else if (isOneOf(a, kIgnored)) {
            continue;
        } else if (!a.empty() && a[0] == '-') {
            const Action* found = nullptr;
            for (const Action& act : kActions)
                if (a == act.shortFlag || a == act.longFlag) found = &act;
            if (!found) return fail("file: Invalid flag '" + a + "'", MS::kInvalidParameter);
            if (action && action != found)
                return fail("file: more than one action was given", MS::kInvalidParameter);
            action = found;
        } else if (path.empty()) {
            path = a;
        } else {
            return fail("file: more than one file name was given: " + a, MS::kInvalidParameter);
        }
    }
    if (newScene && !action) return MFileIO::newFile(true);
    if (!action || newScene)
        return fail("file: give one of -import, -open, -exportAll, -exportSelected", MS::kInvalidParameter);
    if (path.empty()) return fail("file: no file name was given", MS::kInvalidParameter);
    const bool maFile = isMaPath(path) && type.empty();
    MStatus s = maFile && action->mode == MPxFileTranslator::kOpenAccessMode ? openMaFile(path)
                : maFile && action->mode == MPxFileTranslator::kImportAccessMode
                    ? importMaFile(path)
                    : runTranslator(toM(path), type.c_str(), action->mode, options.get());
    if (s) result.push_back(path);
    return s;
}

struct RegisterFileCommand {
    RegisterFileCommand() { registerCommand("file", fileCommand); }
} registerFileCommand;

}  // namespace

MString MFileIO::currentFile() {
    return toM(host().currentFile);
}
MStatus MFileIO::setCurrentFile(const MString& fileName) {
    host().currentFile = fromM(fileName);
    return MS::kSuccess;
}
MString MFileIO::fileType() {
    return toM(host().currentFileType);
}
MStatus MFileIO::newFile(bool) {
    resetScene();
    host().currentFile.clear();
    host().currentFileType.clear();
    return MS::kSuccess;
}
MStatus MFileIO::open(const MString& fileName, const char* type, bool, ReferenceMode, bool) {
    if (isMaPath(fromM(fileName)) && (!type || !*type)) return openMaFile(fromM(fileName));
    return runTranslator(fileName, type, MPxFileTranslator::kOpenAccessMode);
}
MStatus MFileIO::save(bool) {
    if (host().currentFile.empty()) return fail("The scene has no file name yet", MS::kFailure);
    return runTranslator(toM(host().currentFile), host().currentFileType.c_str(),
                         MPxFileTranslator::kSaveAccessMode);
}
MStatus MFileIO::saveAs(const MString& fileName, const char* type, bool) {
    return runTranslator(fileName, type, MPxFileTranslator::kSaveAccessMode);
}
MStatus MFileIO::importFile(const MString& fileName, const char* type, bool, const char*, bool) {
    if (isMaPath(fromM(fileName)) && (!type || !*type)) return importMaFile(fromM(fileName));
    return runTranslator(fileName, type, MPxFileTranslator::kImportAccessMode);
}
MStatus MFileIO::exportAll(const MString& fileName, const char* type, bool) {
    return runTranslator(fileName, type, MPxFileTranslator::kExportAccessMode);
}
MStatus MFileIO::exportSelected(const MString& fileName, const char* type, bool) {
    return runTranslator(fileName, type, MPxFileTranslator::kExportActiveAccessMode);
}
bool MFileIO::isReadingFile() {
    return host().readingFile;
}
bool MFileIO::isWritingFile() {
    return host().writingFile;
}
bool MFileIO::isOpeningFile() {
    return host().openingFile;
}

// ---- MLibrary ----
MLibrary::MLibrary() = default;
MLibrary::~MLibrary() = default;
MStatus MLibrary::initialize(const char* applicationName, bool useBatchLicense) {
    return initialize(true, applicationName, useBatchLicense);
}
MStatus MLibrary::initialize(bool wantScriptOutput, const char*, bool) {
    setEchoMessages(wantScriptOutput);
    resetScene();
    return MS::kSuccess;
}
// Unloads the plug-ins (last loaded first) and ends the scene; exits the process unless told not to.
void MLibrary::cleanup(int exitStatus, bool exitWhenDone) {
    HostState& h = host();
    while (!h.plugins.empty()) {
        std::string name = h.plugins.back()->name;
        if (!unloadPlugin(name)) break;
    }
    h.scene.reset();
    if (exitWhenDone) std::exit(exitStatus);
}
