#include "format/Codec.h"

#include "scene/BigBuffer.h"

#include <zlib.h>

#include <algorithm>
#include <limits>
#include <memory>

#if QVX_CODEC_LIBDEFLATE
#include <libdeflate.h>
#endif

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
    const std::size_t zlibBound = sourceBytes + (sourceBytes >> 12) + (sourceBytes >> 14) +
                                  (sourceBytes >> 25) + 13 + 6 * (sourceBytes / kMaxSlice + 1);
#if QVX_CODEC_LIBDEFLATE
    return std::max(zlibBound, libdeflate_zlib_compress_bound(nullptr, sourceBytes));
#else
    return zlibBound;
#endif
}

namespace {

// zlib's inflate, which tells a stream that ends early from a damaged one.
InflateResult inflateWithZlib(const unsigned char* source, std::size_t sourceBytes, unsigned char* dest,
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

}  // namespace

#if QVX_CODEC_LIBDEFLATE

namespace {

// The level whose streams are as small as zlib's default level on scene data, in a fraction
// of its time.
constexpr int kDeflateLevel = 4;

struct CompressorFree {
    void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};
struct DecompressorFree {
    void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

}  // namespace

bool codecCompressTo(const unsigned char* source, std::size_t sourceBytes, const CodecSink& sink) {
    const std::unique_ptr<libdeflate_compressor, CompressorFree> compressor(
        libdeflate_alloc_compressor(kDeflateLevel));
    if (!compressor) return false;
    // libdeflate compresses a whole buffer at once; the stream is then handed over in pieces.
    // The buffer is not zero-filled, so only the pages that the stream fills are touched.
    const std::size_t bound = libdeflate_zlib_compress_bound(compressor.get(), sourceBytes);
    ImageBuffer stream;
    try {
        stream.resize(bound);
    } catch (const std::bad_alloc&) {
        return false;
    }
    const std::size_t length =
        libdeflate_zlib_compress(compressor.get(), source, sourceBytes, stream.data(), stream.size());
    if (length == 0) return false;
    constexpr std::size_t kPiece = std::size_t{1} << 18;
    for (std::size_t at = 0; at < length; at += kPiece) {
        if (!sink(stream.data() + at, std::min(kPiece, length - at))) return false;
    }
    return true;
}

InflateResult codecInflate(const unsigned char* source, std::size_t sourceBytes, unsigned char* dest,
                           std::size_t destBytes, std::size_t& produced) {
    produced = 0;
    const std::unique_ptr<libdeflate_decompressor, DecompressorFree> decompressor(
        libdeflate_alloc_decompressor());
    if (!decompressor) return InflateResult::OutOfMemory;
    std::size_t consumed = 0, written = 0;
    switch (libdeflate_zlib_decompress_ex(decompressor.get(), source, sourceBytes, dest, destBytes, &consumed,
                                          &written)) {
        case LIBDEFLATE_SUCCESS:
            produced = written;
            return InflateResult::Ok;
        case LIBDEFLATE_INSUFFICIENT_SPACE:
            return InflateResult::TooLarge;
        case LIBDEFLATE_SHORT_OUTPUT:  // only without a produced-size pointer
        case LIBDEFLATE_BAD_DATA:
            break;
    }
    // libdeflate does not tell a stream that ends early from a damaged one; zlib does, and
    // only failures pay for asking it (it stops at the same point).
    return inflateWithZlib(source, sourceBytes, dest, destBytes, produced) == InflateResult::Truncated
               ? InflateResult::Truncated
               : InflateResult::Corrupt;
}

#else

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

InflateResult codecInflate(const unsigned char* source, std::size_t sourceBytes, unsigned char* dest,
                           std::size_t destBytes, std::size_t& produced) {
    return inflateWithZlib(source, sourceBytes, dest, destBytes, produced);
}

#endif

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
