#include "ExportTestSupport.h"

#include <unistd.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "export/SceneWalk.h"
#include "format/ExportFile.h"
#include "format/Loader.h"
#include "process/ExportPrep.h"
#include "process/UnweldHardEdges.h"

namespace qvx {
namespace exporttest {

namespace {

// Removes the process's temporary folder when the test program ends.
struct TemporaryFolder {
    std::filesystem::path path;
    TemporaryFolder() {
        path = std::filesystem::temp_directory_path() / ("qvx_export_tests_" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

const TemporaryFolder& folder() {
    static const TemporaryFolder instance;
    return instance;
}

template <class Array>
int indexNamed(const Array& array, const char* name) {
    for (int i = 0; i < array.count(); ++i) {
        if (std::strcmp(array[i].name.narrow, name) == 0) return i;
    }
    return -1;
}

}  // namespace

MStatus gatherAndPrepare(Scene& scene, const WriteRequest& request) {
    scene.clear();
    const MStatus status = gatherScene(scene, request.fixFlippedFaces);
    if (!status) return status;
    flattenMeshes(scene);
    makeKeysRestRelative(scene);
    computeAnimationRange(scene);
    mergeMaterialsByName(scene);
    if (request.unweldHardEdges) unweldHardEdges(scene);
    return status;
}

bool exportHostScene(const std::string& path, const WriteRequest& request, std::string* error) {
    Scene scene;
    if (!gatherAndPrepare(scene, request)) {
        if (error != nullptr) *error = "gathering failed";
        return false;
    }
    const ExportResult result = exportSceneFile(scene, request.options, path);
    if (!result.written && error != nullptr) *error = result.error;
    return result.written;
}

bool exportAndLoad(Scene& loaded, const WriteRequest& request, bool prepare, std::string* error) {
    static std::atomic<int> counter{0};
    const std::string path = temporaryPath(("export" + std::to_string(counter++) + ".qvx").c_str());
    if (!exportHostScene(path, request, error)) return false;
    LoadOptions options;
    options.prepare = prepare;
    LoadReport report;
    const int result = loadSceneFile(path, loaded, options, &report);
    if (result != QVX_RESULT_OK && error != nullptr) *error = report.reason;
    return result == QVX_RESULT_OK;
}

std::string temporaryPath(const char* name) {
    return (folder().path / name).string();
}

int boneNamed(const Scene& scene, const char* name) {
    return indexNamed(scene.bones, name);
}
int lightNamed(const Scene& scene, const char* name) {
    return indexNamed(scene.lights, name);
}
int cameraNamed(const Scene& scene, const char* name) {
    return indexNamed(scene.cameras, name);
}
int materialNamed(const Scene& scene, const char* name) {
    return indexNamed(scene.materials, name);
}

}  // namespace exporttest
}  // namespace qvx
