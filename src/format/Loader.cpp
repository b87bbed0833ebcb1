#include "format/Loader.h"

#include <vector>

#include "format/FileSystem.h"
#include "process/PostLoad.h"
#include "scene/Scene.h"

int loadSceneFile(const std::string& path, Scene& scene, const LoadOptions& options, LoadReport* report) {
    LoadReport local;
    LoadReport& r = report ? *report : local;
    r = LoadReport{};
    r.path = path;
    scene.clear();

    ImageBuffer image;
    std::string error;
    switch (qvxfs::readWholeFile(path, image, error)) {
        case qvxfs::ReadFileResult::CannotOpen:
            r.result = QVX_RESULT_CANNOT_OPEN;
            r.reason = "cannot open: " + error;
            return r.result;
        case qvxfs::ReadFileResult::Failed:
            r.result = QVX_RESULT_FAILED;
            r.reason = "cannot read: " + error;
            return r.result;
        case qvxfs::ReadFileResult::Ok:
            break;
    }

    ReadSettings settings;
    settings.sceneFolder = qvxfs::folderOf(path);
    settings.extractEmbeddedFiles = options.extractEmbeddedFiles;
    settings.embeddedFilesFolder = options.embeddedFilesFolder;
    r.result = parseSceneImage(image, scene, settings, &r.parse);
    // The image (or the inflated inner file that replaced it) is not needed any more.
    ImageBuffer().swap(image);
    if (r.result != QVX_RESULT_OK) {
        r.reason = r.parse.reason();
        scene.clear();
        return r.result;
    }
    if (options.prepare && prepareLoadedScene(scene) != 1) {
        r.result = QVX_RESULT_FAILED;
        r.reason = "out of memory while preparing the loaded scene";
        scene.clear();
    }
    return r.result;
}
