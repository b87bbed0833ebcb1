#include "format/SceneParser.h"

#include <new>

#include "format/BodyReader.h"
#include "format/ChunkedReader.h"
#include "format/Codec.h"
#include "scene/Scene.h"

namespace {

// Reads a sectioned header from position 0: four words, then the rest of the 96- or
// 128-byte form that the version calls for.
bool readHeader(ReadCursor& cursor, QvxHeader& header) {
    cursor.setSection("header");
    const unsigned char* first = nullptr;
    if (!cursor.seek(0) || !cursor.view(16, first)) return false;
    const std::size_t bytes = qvxHeaderBytesForVersion(qvxLoadU32(first + 4));
    const unsigned char* all = nullptr;
    if (!cursor.seek(0) || !cursor.view(bytes, all)) return false;
    header = QvxHeader::decode(all, bytes);
    return true;
}

int checkMagic(ReadCursor& cursor, const QvxHeader& header) {
    if (header.magic() == QVX_MAGIC) return QVX_RESULT_OK;
    cursor.failAt(0, "the magic \"QVXH\"");
    return QVX_RESULT_NOT_QVX;
}

int checkVersion(ReadCursor& cursor, const QvxHeader& header) {
    if (header.version() >= kOldestReadableVersion) return QVX_RESULT_OK;
    cursor.failAt(4, "version " + std::to_string(kOldestReadableVersion) + " or later, found " +
                         std::to_string(header.version()));
    return QVX_RESULT_OLD_VERSION;
}

int checkSize(ReadCursor& cursor, const QvxHeader& header, std::size_t length) {
    if (header.fileSize() == length) return QVX_RESULT_OK;
    cursor.failAt(12, "the file-size slot " + std::to_string(header.fileSize()) + " to equal the length " +
                          std::to_string(length));
    return QVX_RESULT_BAD_SIZE;
}

int parse(ImageBuffer& image, Scene& scene, const ReadSettings& settings, ParseReport& report) {
    ReadCursor cursor(image.data(), image.size());
    cursor.setSection("header");
    uint32_t first[4];
    if (!cursor.words(first, 4)) {
        report.failure = cursor.failure();
        return QVX_RESULT_FAILED;
    }
    // The chunked family has its own, shorter header; it reads it itself.
    if (first[1] >= kFirstChunkedFamilyVersion) return readChunkedImage(image, scene, settings, report);

    QvxHeader header;
    int result = readHeader(cursor, header) ? QVX_RESULT_OK : QVX_RESULT_FAILED;
    report.outer = header;
    report.inner = header;
    if (result == QVX_RESULT_OK) result = checkMagic(cursor, header);
    if (result == QVX_RESULT_OK) result = checkVersion(cursor, header);
    if (result == QVX_RESULT_OK && (header.flags() & QVX_FLAG_COMPRESSED)) {
        report.compressed = true;
        if (!inflateImage(image, header[kSlotStreamOffset], header[kSlotInnerSize], cursor)) {
            result = QVX_RESULT_FAILED;
        } else {
            // The inner file is read by the sectioned reader whatever its version says.
            report.failureInInner = true;
            cursor = ReadCursor(image.data(), image.size());
            result = readHeader(cursor, header) ? QVX_RESULT_OK : QVX_RESULT_FAILED;
            report.inner = header;
            if (result == QVX_RESULT_OK) result = checkMagic(cursor, header);
            if (result == QVX_RESULT_OK) result = checkSize(cursor, header, image.size());
            if (result == QVX_RESULT_OK) result = checkVersion(cursor, header);
        }
    } else if (result == QVX_RESULT_OK) {
        result = checkSize(cursor, header, image.size());
    }
    report.innerBytes = image.size();
    if (result == QVX_RESULT_OK) {
        scene.fileVersion = header.version();
        cursor.seek(qvxHeaderBytesForVersion(header.version()));
        result = readSectionedBody(cursor, header, scene, settings);
    }
    if (result != QVX_RESULT_OK) report.failure = cursor.failure();
    return result;
}

}  // namespace

bool inflateImage(ImageBuffer& image, uint32_t streamOffset, uint32_t innerSize, ReadCursor& cursor) {
    cursor.setSection("compressed stream");
    if (image.empty()) return cursor.failAt(0, "a file image");
    if (innerSize == 0) return cursor.failAt(12, "a non-zero inner size");
    if (streamOffset >= image.size()) {
        return cursor.failAt(20, "a stream offset inside the file, found " + std::to_string(streamOffset) +
                                     " in " + std::to_string(image.size()) + " bytes");
    }
    const std::size_t streamBytes = image.size() - streamOffset;
    if (innerSize > codecMaxInflatedSize(streamBytes)) {
        return cursor.failAt(12, "an inner size that " + std::to_string(streamBytes) +
                                     " compressed bytes can produce, found " + std::to_string(innerSize));
    }
    ImageBuffer inner;
    try {
        inner.resize(innerSize);
    } catch (const std::bad_alloc&) {
        return cursor.failAt(12, "memory for " + std::to_string(innerSize) + " inflated bytes");
    }
    std::size_t produced = 0;
    const InflateResult r =
        codecInflate(image.data() + streamOffset, streamBytes, inner.data(), inner.size(), produced);
    if (r != InflateResult::Ok || produced == 0) {
        return cursor.failAt(streamOffset, std::string("a zlib stream of ") + std::to_string(innerSize) +
                                               " bytes (" + codecInflateResultName(r) + ")");
    }
    inner.resize(produced);
    image.swap(inner);
    return true;
}

int parseSceneImage(ImageBuffer& image, Scene& scene, const ReadSettings& settings, ParseReport* report) {
    ParseReport local;
    ParseReport& r = report ? *report : local;
    r = ParseReport{};
    r.fileBytes = image.size();
    r.innerBytes = image.size();
    scene.clear();
    r.result = parse(image, scene, settings, r);
    if (r.result != QVX_RESULT_OK) scene.clear();
    return r.result;
}

int parseSceneImage(const std::vector<unsigned char>& bytes, Scene& scene, const ReadSettings& settings,
                    ParseReport* report) {
    ImageBuffer image(bytes.begin(), bytes.end());
    return parseSceneImage(image, scene, settings, report);
}

std::string ParseReport::reason() const {
    if (result == QVX_RESULT_OK) return "ok";
    if (!failure.set) return "unknown";
    std::string text = failure.section + " at byte " + std::to_string(failure.offset);
    if (failureInInner) text += " of the inflated file";
    return text + ": expected " + failure.expected;
}
