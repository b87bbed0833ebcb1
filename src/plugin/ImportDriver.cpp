#include "plugin/ImportDriver.h"

#include <new>
#include <string>

#include "format/Loader.h"
#include "format/QvxHeader.h"
#include "host/Messages.h"
#include "import/ImportBuild.h"
#include "plugin/QVXTranslator.h"
#include "plugin/RequestLog.h"

namespace {

// The error line of a failed load. The host and standard error wordings differ for a file
// that is not of this format.
void logLoadError(int result) {
    switch (result) {
        case QVX_RESULT_NOT_QVX:
            logLine("QVX: ERROR: File is not a Tavrin Pro file.", "QVX: ERROR: File is not a Tavrin file.");
            break;
        case QVX_RESULT_OLD_VERSION:
            logLine("QVX: ERROR: Older QVX file formats are not supported.");
            break;
        case QVX_RESULT_BAD_SIZE:
            logLine("QVX: ERROR: Corrupt file header found.");
            break;
        case QVX_RESULT_CANNOT_OPEN:
            logLine("QVX: ERROR: Could not open the file.  Try closing it first.");
            break;
        default:
            logLine("QVX: ERROR: There was an error loading from file.");
            break;
    }
}

// Builds the loaded scene into the host. Returns false when the build reported a failure
// (nodes made before it stay in the host scene).
bool buildLoadedScene(QVXTranslator& translator, MPxFileTranslator::FileAccessMode mode) {
    if (mode == MPxFileTranslator::kImportAccessMode) {
        logLine("QVX: Merging into current scene...");
    } else if (mode == MPxFileTranslator::kOpenAccessMode) {
        logLine("QVX: Importing into new scene...");
    } else {
        return true;  // other modes load the file but build nothing
    }
    BuildRequest request(translator.scene);
    request.unsampledKeys = translator.options.import_unsampled_keys != 0;
    request.phongMaterials = translator.options.import_phong_materials != 0;
    request.sceneFile = translator.lastFile;
    if (!buildScene(request)) {
        logLine("QVX: ERROR: There was an error importing the scene.");
        return false;
    }
    return true;
}

}  // namespace

MStatus importFile(QVXTranslator& translator, const MFileObject& file, const MString& optionsString,
                   MPxFileTranslator::FileAccessMode mode) {
    const MString path = file.fullName();
    translator.lastFile = file;
    parseOptionString(optionsString.asChar(), OptionDriver::Import, translator.options);

    logBanner("Tavrin Pro Importer for Maya");
    logLine("QVX: Preparing scene from file...");
    logOptionValuesToHost(OptionDriver::Import, translator.options);
    logOptionValuesToStderr(OptionDriver::Import, translator.options);
    translator.sourcePath = path.asChar();

    bool succeeded = false;
    try {
        const int result = loadSceneFile(translator.sourcePath, translator.scene);
        if (result > 0) {
            succeeded = buildLoadedScene(translator, mode);
        } else {
            logLoadError(result);
        }
    } catch (const std::bad_alloc&) {
        logLine("QVX: ERROR: There was an error importing the scene.");
    }

    translator.scene.clear();
    logLine("QVX: Finished.");
    flushLog();
    // Scripts and batch jobs learn of a failed read from the status as well as the lines.
    return succeeded ? MStatus(MStatus::kSuccess) : MStatus(MStatus::kFailure);
}
