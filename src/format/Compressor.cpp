#include "format/Compressor.h"

#include "format/Codec.h"
#include "format/QvxHeader.h"
#include "format/TempFile.h"

#include <algorithm>
#include <limits>
#include <new>

bool buildCompressedWrapper(const unsigned char* inner, std::size_t innerBytes,
                            std::vector<unsigned char>& out, std::string& error) {
    out.clear();
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
    const uint32_t innerVersion = qvxLoadU32(inner + 4);
    const std::size_t headerBytes = qvxHeaderBytesForVersion(innerVersion);
    if (innerBytes < headerBytes) {
        error = "the scene body is shorter than its header";
        return false;
    }

    try {
        out.resize(headerBytes);
        std::copy(inner, inner + headerBytes, out.begin());
        qvxStoreU32(out.data(), QVX_MAGIC);
        qvxStoreU32(out.data() + 4, QVX_VERSION_WRAPPER);
        qvxStoreU32(out.data() + 8, kQvxWrapperFlags);
        qvxStoreU32(out.data() + 12, static_cast<uint32_t>(innerBytes));
        // The stream goes straight behind the header in the same buffer: no second copy.
        if (!codecCompress(inner, innerBytes, out, headerBytes)) {
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
    std::vector<unsigned char> wrapper;
    std::string reason;
    if (!buildCompressedWrapper(inner, innerBytes, wrapper, reason)) {
        ExportResult result;
        result.error = targetPath + ": " + reason;
        return result;
    }
    return writeFileAtomically(wrapper.data(), wrapper.size(), targetPath);
}
