// Feeds arbitrary bytes through the whole import: the parser, the post-load preparation and
// the build into a fresh stand-in host scene, in the curve and material mode that the last
// byte picks. Nothing is written to disk: embedded files are not extracted.

#include <maya/MFileObject.h>
#include <maya/MString.h>
#include <mayasim/Host.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "format/SceneParser.h"
#include "import/ImportBuild.h"
#include "process/PostLoad.h"
#include "scene/Scene.h"

namespace {

// Keeps sampled animation short so that one input stays quick to run.
constexpr std::int64_t kFuzzSampledFrames = 300;

struct QuietHost {
    QuietHost() { mayasim::setEchoMessages(false); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QuietHost quiet;
    std::vector<unsigned char> image(data, data + size);
    Scene scene;
    ReadSettings settings;
    settings.extractEmbeddedFiles = false;
    if (parseSceneImage(image, scene, settings) != QVX_RESULT_OK) return 0;
    prepareLoadedScene(scene);

    mayasim::newScene();
    mayasim::clearMessages();
    BuildRequest request(scene);
    const uint8_t mode = size > 0 ? data[size - 1] : 0;
    request.unsampledKeys = (mode & 1) != 0;
    request.phongMaterials = (mode & 2) != 0;
    request.maxSampledFrames = kFuzzSampledFrames;
    request.sceneFile.setFullName(MString("/nonexistent/fuzz.qvx"));
    buildScene(request);
    return 0;
}
