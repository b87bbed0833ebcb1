#pragma once

// The parse of a whole file image: header checks, decompression of a compressed wrapper,
// dispatch to the sectioned or the chunked reader. Returns the load result codes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "format/QvxHeader.h"
#include "format/ReadCursor.h"
#include "format/ReadSettings.h"
#include "scene/BigBuffer.h"

struct Scene;

// What a parse found, for tools and error messages.
struct ParseReport {
    int result = QVX_RESULT_FAILED;
    // Where reading stopped on failure (section, byte offset, what was expected).
    ReadFailure failure;
    // True when the failure offset is in the inflated inner file rather than in the file.
    bool failureInInner = false;

    QvxHeader outer;  // the header of the file as stored
    QvxHeader inner;  // the header of the inflated inner file (a copy of outer when not compressed)
    bool compressed = false;
    bool chunked = false;
    std::size_t fileBytes = 0;   // length of the file image
    std::size_t innerBytes = 0;  // length of the inflated inner file (fileBytes when not compressed)

    // Things a successful parse passed over that the user should hear of (without "QVX: ").
    std::vector<std::string> warnings;

    // One line: "<section> at byte <offset>[ of the inner file]: expected <what>".
    std::string reason() const;
};

// Parses `image` into `scene` (which is cleared first and again on failure). A compressed
// image is replaced by its inflated inner file, so the caller's buffer is released early.
// The second form copies the bytes first (for callers that hold a plain vector).
int parseSceneImage(ImageBuffer& image, Scene& scene, const ReadSettings& settings,
                    ParseReport* report = nullptr);
int parseSceneImage(const std::vector<unsigned char>& bytes, Scene& scene, const ReadSettings& settings,
                    ParseReport* report = nullptr);

// Inflates the zlib stream at image[streamOffset, end) into a buffer of exactly
// `innerSize` bytes that then replaces `image`. Refuses, before allocating, a stream offset
// beyond the image, a size of 0 and a size that deflate could not produce from the stream's
// length. Failures are recorded in `failure` (offsets in the compressed image).
bool inflateImage(ImageBuffer& image, uint32_t streamOffset, uint32_t innerSize, ReadCursor& cursor);
