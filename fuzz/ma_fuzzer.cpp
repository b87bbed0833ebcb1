// Fuzz target over the stand-in's scene-file loader: any text must either load or fail with a
// message, never crash, hang or allocate for sizes the text only declares.
#include <cstddef>
#include <cstdint>
#include <string>

#include "mayasim/Host.h"
#include "mayasim/MaFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool quiet = [] {
        mayasim::setEchoMessages(false);
        return true;
    }();
    (void)quiet;
    const std::string text(reinterpret_cast<const char*>(data), size);
    mayasim::MaLoadReport report;
    mayasim::openMaText(text, "fuzz.ma", &report);
    mayasim::clearMessages();
    return 0;
}
