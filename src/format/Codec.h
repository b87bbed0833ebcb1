#pragma once

// The one place where the compression library is called. A whole buffer is compressed
// into one zlib stream (2-byte header, deflate data, Adler-32 trailer) at the library's
// default level, and a stream is inflated into a buffer whose size is known in advance.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// Largest stream that compressing `sourceBytes` bytes can produce.
std::size_t codecCompressBound(std::size_t sourceBytes);

// Compresses source[0, sourceBytes) and stores the stream at out[outOffset, ...); `out` is
// resized to outOffset + stream length, its first outOffset bytes are kept as they were (so
// a caller can reserve room for a header in front of the stream without a copy).
// Returns false (and leaves `out` resized to outOffset) when the library fails.
bool codecCompress(const unsigned char* source, std::size_t sourceBytes, std::vector<unsigned char>& out,
                   std::size_t outOffset = 0);

// Receives the stream in pieces as they are produced; returns false to stop compressing.
using CodecSink = std::function<bool(const unsigned char* data, std::size_t bytes)>;

// Compresses source[0, sourceBytes) into one zlib stream handed to `sink` piece by piece, so
// that no buffer for the whole stream is needed. Returns false when the library fails or
// the sink refuses a piece.
bool codecCompressTo(const unsigned char* source, std::size_t sourceBytes, const CodecSink& sink);

enum class InflateResult {
    Ok,          // the stream ended and its check value matched
    Truncated,   // the input ended before the stream did
    TooLarge,    // the stream would produce more than the destination holds
    Corrupt,     // invalid deflate data, header or check value
    OutOfMemory  // the library could not allocate its state
};

// Inflates the zlib stream at source[0, sourceBytes) into dest[0, destBytes). Bytes after
// the end of the stream are ignored. On Ok, `produced` is the number of bytes written.
InflateResult codecInflate(const unsigned char* source, std::size_t sourceBytes, unsigned char* dest,
                           std::size_t destBytes, std::size_t& produced);

// Deflate cannot expand data by more than 1032:1; an inflated size above this bound for
// `compressedBytes` of stream cannot be genuine, so a reader can refuse it before allocating.
constexpr uint64_t kCodecMaxInflateRatio = 1032;
constexpr uint64_t kCodecInflateSlack = 64;
constexpr uint64_t codecMaxInflatedSize(uint64_t compressedBytes) {
    return compressedBytes * kCodecMaxInflateRatio + kCodecInflateSlack;
}

// Short English name of an inflate result, for messages.
const char* codecInflateResultName(InflateResult result);
