// Feeds arbitrary bytes through the file parser and the post-load preparation, the way a
// loaded file goes, and runs the `qvx` tool's printers (info, and dump before and after the
// preparation) on every file that loads. Nothing is written to disk: embedded files are not
// extracted and the printers write into a sink that only counts.

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <streambuf>
#include <vector>

#include "SceneInfo.h"
#include "SceneJson.h"
#include "format/Loader.h"
#include "format/SceneParser.h"
#include "process/PostLoad.h"
#include "scene/Scene.h"

namespace {

// Counts what is written and keeps nothing, so that a large dump costs no memory.
class CountingBuffer : public std::streambuf {
  public:
    std::size_t bytes = 0;

  protected:
    std::streamsize xsputn(const char*, std::streamsize count) override {
        bytes += static_cast<std::size_t>(count);
        return count;
    }
    int_type overflow(int_type c) override {
        ++bytes;
        return traits_type::not_eof(c);
    }
};

// The text of `info` must stay proportional to the file: every record it prints a line for
// takes at least a few dozen bytes of the file, so 64 bytes of text per byte is far beyond
// any file that is not a flood.
constexpr std::size_t kTextPerInputByte = 64;
constexpr std::size_t kTextAllowance = 1 << 20;

void print(const LoadReport& report, const Scene& scene, std::size_t inputBytes, bool info) {
    CountingBuffer sink;
    std::ostream out(&sink);
    if (info) {
        printFileInfo(out, report, scene);
    } else if (!writeSceneJson(out, scene)) {
        __builtin_trap();
    }
    if (info && sink.bytes > kTextAllowance + inputBytes * kTextPerInputByte) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ImageBuffer image(data, data + size);
    Scene scene;
    ReadSettings settings;
    settings.extractEmbeddedFiles = false;
    LoadReport report;
    report.path = "fuzz.qvx";
    report.result = parseSceneImage(image, scene, settings, &report.parse);
    print(report, scene, size, true);
    if (report.result != QVX_RESULT_OK) return 0;
    print(report, scene, size, false);
    if (prepareLoadedScene(scene) == 1) print(report, scene, size, false);
    return 0;
}
