#include "format/Codec.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

namespace {

// zlib counts in uInt; larger buffers are fed in slices of this size.
constexpr std::size_t kMaxSlice = std::numeric_limits<uInt>::max();

uInt sliceOf(std::size_t remaining) {
    return static_cast<uInt>(std::min(remaining, kMaxSlice));
}

// Releases a deflate or inflate state on every path out of the calls below.
struct DeflateGuard {
    z_stream* stream;
    ~DeflateGuard() { deflateEnd(stream); }
};
struct InflateGuard {
    z_stream* stream;
    ~InflateGuard() { inflateEnd(stream); }
};

}  // namespace

std::size_t codecCompressBound(std::size_t sourceBytes) {
    // compressBound() takes a uLong, which may be 32 bits; zlib's own formula widened.
    return sourceBytes + (sourceBytes >> 12) + (sourceBytes >> 14) + (sourceBytes >> 25) + 13 +
           6 * (sourceBytes / kMaxSlice + 1);
}

bool codecCompressTo(const unsigned char* source, std::size_t sourceBytes, const CodecSink& sink) {
    z_stream stream{};
    if (deflateInit(&stream, Z_DEFAULT_COMPRESSION) != Z_OK) return false;
    DeflateGuard guard{&stream};

    // Small enough to stay in cache, large enough that the sink is called rarely.
    constexpr std::size_t kPiece = std::size_t{1} << 18;
    std::vector<unsigned char> piece(kPiece);
    // zlib does not write through next_in; the cast only satisfies its older prototypes.
    stream.next_in = const_cast<unsigned char*>(source);
    std::size_t inLeft = sourceBytes;
    int status = Z_OK;
    while (status == Z_OK) {
        if (stream.avail_in == 0) {
            stream.avail_in = sliceOf(inLeft);
            inLeft -= stream.avail_in;
        }
        stream.next_out = piece.data();
        stream.avail_out = static_cast<uInt>(piece.size());
        status = deflate(&stream, inLeft == 0 ? Z_FINISH : Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END) return false;
        const std::size_t produced = piece.size() - stream.avail_out;
        if (produced > 0 && !sink(piece.data(), produced)) return false;
    }
    return status == Z_STREAM_END;
}

bool codecCompress(const unsigned char* source, std::size_t sourceBytes, std::vector<unsigned char>& out,
                   std::size_t outOffset) {
    out.resize(outOffset);
    out.reserve(outOffset + codecCompressBound(sourceBytes));
    const bool ok =
        codecCompressTo(source, sourceBytes, [&out](const unsigned char* data, std::size_t bytes) {
            out.insert(out.end(), data, data + bytes);
            return true;
        });
    if (!ok) out.resize(outOffset);
    return ok;
}

InflateResult codecInflate(const unsigned char* source, std::size_t sourceBytes, unsigned char* dest,
                           std::size_t destBytes, std::size_t& produced) {
    produced = 0;
    z_stream stream{};
    const int init = inflateInit(&stream);
    if (init != Z_OK) return init == Z_MEM_ERROR ? InflateResult::OutOfMemory : InflateResult::Corrupt;
    InflateGuard guard{&stream};

    stream.next_in = const_cast<unsigned char*>(source);
    stream.next_out = dest;
    std::size_t inLeft = sourceBytes;
    std::size_t outLeft = destBytes;
    for (;;) {
        if (stream.avail_in == 0) {
            stream.avail_in = sliceOf(inLeft);
            inLeft -= stream.avail_in;
        }
        if (stream.avail_out == 0) {
            stream.avail_out = sliceOf(outLeft);
            outLeft -= stream.avail_out;
        }
        const int status = inflate(&stream, Z_NO_FLUSH);
        if (status == Z_STREAM_END) break;
        if (status == Z_NEED_DICT || status == Z_DATA_ERROR || status == Z_STREAM_ERROR)
            return InflateResult::Corrupt;
        if (status == Z_MEM_ERROR) return InflateResult::OutOfMemory;
        if (status == Z_BUF_ERROR) {
            // No progress possible although both sides were refilled: one of them is exhausted.
            // (Z_OK means progress, possibly with the output full and only the trailer left.)
            return stream.avail_out == 0 ? InflateResult::TooLarge : InflateResult::Truncated;
        }
    }
    produced = static_cast<std::size_t>(stream.next_out - dest);
    return InflateResult::Ok;
}

const char* codecInflateResultName(InflateResult result) {
    switch (result) {
        case InflateResult::Ok:
            return "ok";
        case InflateResult::Truncated:
            return "compressed data ends early";
        case InflateResult::TooLarge:
            return "compressed data inflates beyond the declared size";
        case InflateResult::Corrupt:
            return "compressed data is damaged";
        case InflateResult::OutOfMemory:
            return "out of memory while inflating";
    }
    return "unknown";
}
