#pragma once

// The compression step of an export: a complete inner file becomes a compressed wrapper
// (the inner header with magic, wrapper version, wrapper flags and the inner length put in
// front, then one zlib stream of the whole inner file), written to the target atomically.

#include <cstddef>
#include <string>
#include <vector>

struct ExportResult {
    bool written = false;  // the target now holds the new file
    std::string error;     // when not written: the reason, naming the file
};

// Builds the wrapper of `inner` in `out`. The wrapper header has the inner header's size
// (96 bytes below version 30, else 128): its first four slots are magic, version 8, flags
// 0x12 and the inner length, the rest is copied from the inner header, so the slot at offset
// 20 holds the header size, where the stream starts. Fails (with `error`) when the inner
// file is shorter than its header, does not start with the magic, or does not compress.
bool buildCompressedWrapper(const unsigned char* inner, std::size_t innerBytes,
                            std::vector<unsigned char>& out, std::string& error);

// Builds the wrapper and writes it to a new file beside `targetPath` that is renamed over the
// target only when complete. On any failure nothing is left behind and an existing target
// keeps its previous contents.
ExportResult compressToTarget(const unsigned char* inner, std::size_t innerBytes,
                              const std::string& targetPath);

// Writes `bytes` to `targetPath` the same atomic way (used for files that need no wrapper).
ExportResult writeFileAtomically(const unsigned char* bytes, std::size_t count,
                                 const std::string& targetPath);
