// Every result code of the header checks with its cause, damaged and truncated files, and
// the refusals made before anything is allocated.

#include <gtest/gtest.h>

#include <string>

#include "format/ByteBuilder.h"
#include "format/ReaderTestSupport.h"
#include "format/SampleFiles.h"

namespace {

std::vector<unsigned char> v31() {
    return samples::sectioned(31);
}

// `bytes` with the 32-bit word at `offset` set to `value`, or changed by `delta`.
std::vector<unsigned char> patched(std::vector<unsigned char> bytes, std::size_t offset, uint32_t value) {
    ByteBuilder b;
    b.raw(bytes);
    b.patchU32(offset, value);
    return b.bytes();
}
uint32_t sizeOf(const std::vector<unsigned char>& bytes) {
    return static_cast<uint32_t>(bytes.size());
}

// Only a header and the given section count words: magic, version and size filled in.
std::vector<unsigned char> countsOnly(uint32_t version, int sections) {
    ByteBuilder b;
    b.zeros(128);
    for (int i = 0; i < sections; ++i) b.u32(0);
    b.patchU32(0, 0x48585651u);
    b.patchU32(4, version);
    b.patchU32(12, static_cast<uint32_t>(b.size()));
    return b.bytes();
}

class ReaderResultCode : public ::testing::Test {
  protected:
    Parsed parse(const std::vector<unsigned char>& bytes) { return parseBytes(bytes, scene); }
    Scene scene;
};

struct CodeCase {
    const char* cause;
    std::vector<unsigned char> bytes;
    int result;
    std::string reasonPart;  // empty: not checked
};

TEST_F(ReaderResultCode, EachCauseGivesItsCode) {
    auto wrongMagic = v31();
    wrongMagic[0] = 'X';
    auto shortHeader = wrongMagic;
    shortHeader.resize(100);  // shorter than the 128-byte header: failed, whatever its bytes
    auto wrongInnerMagic = v31();
    wrongInnerMagic[1] = 'Z';
    const auto wrapped = wrapSectioned(v31(), 128);
    auto damagedStream = wrapped;
    for (std::size_t i = 140; i < 180 && i < damagedStream.size(); ++i) damagedStream[i] ^= 0x5A;
    auto damagedChecksum = wrapped;
    damagedChecksum.back() ^= 0xFF;
    const auto v31Size = sizeOf(v31());
    const CodeCase cases[] = {
        {"valid", v31(), QVX_RESULT_OK, ""},
        {"version 8 without the compressed flag is sectioned", samples::sectioned(8), QVX_RESULT_OK, ""},
        {"wrong magic", wrongMagic, QVX_RESULT_NOT_QVX, " at byte 0:"},
        {"short header", shortHeader, QVX_RESULT_FAILED, ""},
        {"version 5", patched(samples::sectioned(6), 4, 5), QVX_RESULT_OLD_VERSION, ""},
        {"size slot one larger", patched(v31(), 12, v31Size + 1), QVX_RESULT_BAD_SIZE, "file-size slot"},
        {"inner size slot differs from the inflated length",
         wrapSectioned(patched(v31(), 12, v31Size - 1), 128), QVX_RESULT_BAD_SIZE, ""},
        {"wrong inner magic", wrapSectioned(wrongInnerMagic, 128), QVX_RESULT_NOT_QVX, ""},
        {"old inner version", wrapSectioned(patched(samples::sectioned(9), 4, 3), 96), QVX_RESULT_OLD_VERSION,
         ""},
        {"damaged zlib data", damagedStream, QVX_RESULT_FAILED, "compressed stream"},
        {"damaged checksum", damagedChecksum, QVX_RESULT_FAILED, ""},
        {"inner size zero", patched(wrapped, 12, 0), QVX_RESULT_FAILED, ""},
        {"stream offset beyond the file", patched(wrapped, 20, sizeOf(wrapped) + 10), QVX_RESULT_FAILED,
         " at byte 20:"},
        {"every count zero", countsOnly(31, 11), QVX_RESULT_FAILED, ""},
        {"only an empty triangle section", countsOnly(30, 10), QVX_RESULT_FAILED, ""}};
    for (const CodeCase& c : cases) {
        const Parsed p = parse(c.bytes);
        EXPECT_EQ(p.result, c.result) << c.cause << ": " << p.report.reason();
        if (!c.reasonPart.empty()) {
            EXPECT_NE(p.report.reason().find(c.reasonPart), std::string::npos)
                << c.cause << ": " << p.report.reason();
        }
    }
}

TEST_F(ReaderResultCode, RefusesAnInnerSizeDeflateCannotProduceBeforeAllocating) {
    // A 100-byte file that claims a 4 GiB inner file.
    ByteBuilder b;
    b.text("QVXH").u32(8).u32(0x12).u32(0xFFFFFFF0u).zeros(4).u32(96).zeros(72);
    b.zeros(100 - b.size());
    const Parsed p = parse(b.bytes());
    EXPECT_EQ(p.result, QVX_RESULT_FAILED);
    EXPECT_NE(p.report.failure.expected.find("can produce"), std::string::npos);
}

TEST_F(ReaderResultCode, LoadsAFileWithOnlyCamerasAndForcesOneGroupAndTwoUVSets) {
    ByteBuilder b;
    b.zeros(128);
    b.u32(0).u32(1).str8("Cam").u32(0).u32(0).transform().f32(45).f32(1).f32(100);
    b.u32(0).u32(0).u32(0).u32(0).u32(0).u32(0).u32(0).u32(0);
    b.patchU32(0, 0x48585651u);
    b.patchU32(4, 31);
    b.patchU32(12, static_cast<uint32_t>(b.size()));
    const Parsed p = parse(b.bytes());
    ASSERT_EQ(p.result, QVX_RESULT_OK) << p.report.reason();
    EXPECT_EQ(scene.cameras.count(), 1);
    EXPECT_EQ(scene.groups.count(), 1);
    EXPECT_STREQ(scene.groups[0].name.narrow, "QVXGroup0");
    EXPECT_EQ(scene.uvSets.count(), 2);
    EXPECT_STREQ(scene.uvSets[1].name.narrow, "UVSet2");
}

TEST_F(ReaderResultCode, ReportsTheSectionAndOffsetOfATruncation) {
    ByteBuilder b;
    b.raw(v31());
    const uint32_t vertexOffset = b.readU32(52);
    b.bytes().resize(vertexOffset + 10);
    b.patchU32(12, static_cast<uint32_t>(b.size()));
    const Parsed p = parse(b.bytes());
    EXPECT_EQ(p.result, QVX_RESULT_FAILED);
    EXPECT_EQ(p.report.failure.section, "vertices");
    EXPECT_EQ(p.report.failure.offset, vertexOffset);
    EXPECT_NE(p.report.reason().find("vertices at byte"), std::string::npos);
}

// Every prefix of a valid file fails with a failure code, never reads out of bounds.
class ReaderPrefix : public ::testing::TestWithParam<int> {};

std::vector<unsigned char> prefixSample(int which) {
    switch (which) {
        case 0:
            return samples::sectioned(9);
        case 1:
            return samples::sectioned(31, samples::kFlagColors | samples::kFlagNormals);
        case 2:
            return samples::sectioned(33);
        case 3:
            return samples::chunked();
        case 4:
            return wrapSectioned(samples::sectioned(31), 128);
        default:
            return wrapChunked(samples::chunked(), 0x0A);
    }
}

TEST_P(ReaderPrefix, EveryProperPrefixFailsCleanly) {
    const auto full = prefixSample(GetParam());
    Scene scene;
    ASSERT_EQ(parseBytes(full, scene).result, QVX_RESULT_OK);
    for (std::size_t n = 0; n < full.size(); ++n) {
        std::vector<unsigned char> prefix(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
        const int result = parseBytes(prefix, scene).result;
        ASSERT_NE(result, QVX_RESULT_OK) << "prefix of " << n << " bytes";
        ASSERT_TRUE(scene.vertices.absent());
    }
}

// A prefix whose size slot is patched to its own length reaches the body readers.
TEST_P(ReaderPrefix, EveryTruncatedBodyWithAMatchingSizeSlotFails) {
    const auto full = prefixSample(GetParam());
    if (GetParam() >= 4) GTEST_SKIP() << "compressed samples have no size slot of their own length";
    Scene scene;
    // Cut inside the last section's records, keeping the header whole.
    for (std::size_t n = 128; n + 1 < full.size(); n += 3) {
        ByteBuilder b;
        b.raw(full.data(), n);
        b.patchU32(12, static_cast<uint32_t>(n));
        const int result = parseBytes(b.bytes(), scene).result;
        // Cutting exactly at the end of the animations leaves only the unread info strings.
        if (result == QVX_RESULT_OK) continue;
        ASSERT_EQ(result, QVX_RESULT_FAILED) << "prefix of " << n << " bytes";
    }
}

INSTANTIATE_TEST_SUITE_P(Samples, ReaderPrefix, ::testing::Range(0, 6));

}  // namespace
