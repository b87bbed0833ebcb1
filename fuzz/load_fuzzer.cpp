// Feeds arbitrary bytes through the file parser and the post-load preparation, the way a
// loaded file goes. Nothing is written to disk: embedded files are not extracted.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "format/SceneParser.h"
#include "process/PostLoad.h"
#include "scene/Scene.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<unsigned char> image(data, data + size);
    Scene scene;
    ReadSettings settings;
    settings.extractEmbeddedFiles = false;
    ParseReport report;
    if (parseSceneImage(image, scene, settings, &report) == QVX_RESULT_OK) prepareLoadedScene(scene);
    return 0;
}
