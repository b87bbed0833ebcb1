#include "format/Compressor.h"

#include "format/Codec.h"
#include "format/QvxHeader.h"
#include "format/TempFile.h"

#include <algorithm>
#include <limits>
#include <new>

namespace {

// Checks the inner file and fills the wrapper header (its size is that of the inner header).
bool wrapperHeader(const unsigned char* inner, std::size_t innerBytes, std::vector<unsigned char>& header,
                   std::string& error) {
    if (innerBytes < kQvxHeaderBytes96) {
        error = innerBytes == 0 ? "the scene body is empty" : "the scene body is shorter than its header";
        return false;
    }
    if (qvxLoadU32(inner) != QVX_MAGIC) {
        error = "the scene body does not start with the file magic";
        return false;
    }
    if (innerBytes > std::numeric_limits<uint32_t>::max()) {
        error = "the scene body exceeds 4 GiB";
        return false;
    }
    const std::size_t headerBytes = qvxHeaderBytesForVersion(qvxLoadU32(inner + 4));
    if (innerBytes < headerBytes) {
        error = "the scene body is shorter than its header";
        return false;
    }
    // Past the first four slots the wrapper header is the inner header, so the slot at
    // offset 20 holds the header size: the offset at which the stream starts.
    header.assign(inner, inner + headerBytes);
    qvxStoreU32(header.data(), QVX_MAGIC);
    qvxStoreU32(header.data() + 4, QVX_VERSION_WRAPPER);
    qvxStoreU32(header.data() + 8, kQvxWrapperFlags);
    qvxStoreU32(header.data() + 12, static_cast<uint32_t>(innerBytes));
    return true;
}

}  // namespace

bool buildCompressedWrapper(const unsigned char* inner, std::size_t innerBytes,
                            std::vector<unsigned char>& out, std::string& error) {
    out.clear();
    try {
        if (!wrapperHeader(inner, innerBytes, out, error)) return false;
        // The stream goes straight behind the header in the same buffer: no second copy.
        if (!codecCompress(inner, innerBytes, out, out.size())) {
            out.clear();
            error = "compression failed";
            return false;
        }
    } catch (const std::bad_alloc&) {
        out.clear();
        out.shrink_to_fit();
        error = "out of memory while compressing";
        return false;
    }
    return true;
}

ExportResult writeFileAtomically(const unsigned char* bytes, std::size_t count,
                                 const std::string& targetPath) {
    ExportResult result;
    TempFile temp;
    std::string reason;
    if (!temp.createBeside(targetPath, reason) || !temp.write(bytes, count, reason) ||
        !temp.commit(targetPath, reason)) {
        result.error = targetPath + ": " + reason;
        return result;  // the temporary file is removed when `temp` goes out of scope
    }
    result.written = true;
    return result;
}

ExportResult compressToTarget(const unsigned char* inner, std::size_t innerBytes,
                              const std::string& targetPath) {
    ExportResult result;
    std::vector<unsigned char> header;
    std::string reason;
    TempFile temp;
    try {
        if (!wrapperHeader(inner, innerBytes, header, reason) || !temp.createBeside(targetPath, reason) ||
            !temp.write(header.data(), header.size(), reason)) {
            result.error = targetPath + ": " + reason;
            return result;
        }
        // The stream goes to the file piece by piece as deflate produces it.
        bool writeFailed = false;
        const bool compressed =
            codecCompressTo(inner, innerBytes, [&](const unsigned char* data, std::size_t bytes) {
                writeFailed = !temp.write(data, bytes, reason);
                return !writeFailed;
            });
        if (!compressed) {
            result.error = targetPath + ": " + (writeFailed ? reason : std::string("compression failed"));
            return result;  // the temporary file is removed when `temp` goes out of scope
        }
    } catch (const std::bad_alloc&) {
        result.error = targetPath + ": out of memory while compressing";
        return result;
    }
    if (!temp.commit(targetPath, reason)) {
        result.error = targetPath + ": " + reason;
        return result;
    }
    result.written = true;
    return result;
}
