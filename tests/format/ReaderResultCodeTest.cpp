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

class ReaderResultCode : public ::testing::Test {
  protected:
    Parsed parse(const std::vector<unsigned char>& bytes) { return parseBytes(bytes, scene); }
    Scene scene;
};

TEST_F(ReaderResultCode, AcceptsAValidFile) {
    EXPECT_EQ(parse(v31()).result, QVX_RESULT_OK);
}

TEST_F(ReaderResultCode, RejectsAWrongMagicAsNotQvx) {
    auto bytes = v31();
    bytes[0] = 'X';
    const Parsed p = parse(bytes);
    EXPECT_EQ(p.result, QVX_RESULT_NOT_QVX);
    EXPECT_EQ(p.report.failure.offset, 0u);
}

TEST_F(ReaderResultCode, RejectsAFileShorterThanItsHeaderWithFailedWhateverItsBytes) {
    auto bytes = v31();
    bytes.resize(100);  // shorter than the 128-byte header
    bytes[0] = 'X';
    EXPECT_EQ(parse(bytes).result, QVX_RESULT_FAILED);
}

TEST_F(ReaderResultCode, RejectsVersionFiveAsOld) {
    auto bytes = samples::sectioned(6);
    ByteBuilder b;
    b.raw(bytes);
    b.patchU32(4, 5);
    EXPECT_EQ(parse(b.bytes()).result, QVX_RESULT_OLD_VERSION);
}

TEST_F(ReaderResultCode, RejectsASizeSlotOneLargerThanTheFile) {
    ByteBuilder b;
    b.raw(v31());
    b.patchU32(12, b.readU32(12) + 1);
    const Parsed p = parse(b.bytes());
    EXPECT_EQ(p.result, QVX_RESULT_BAD_SIZE);
    EXPECT_NE(p.report.reason().find("file-size slot"), std::string::npos);
}

TEST_F(ReaderResultCode, RejectsAnInnerSizeSlotThatDiffersFromTheInflatedLength) {
    ByteBuilder inner;
    inner.raw(v31());
    inner.patchU32(12, inner.readU32(12) - 1);
    EXPECT_EQ(parse(wrapSectioned(inner.bytes(), 128)).result, QVX_RESULT_BAD_SIZE);
}

TEST_F(ReaderResultCode, RejectsAWrongInnerMagicAsNotQvx) {
    auto inner = v31();
    inner[1] = 'Z';
    EXPECT_EQ(parse(wrapSectioned(inner, 128)).result, QVX_RESULT_NOT_QVX);
}

TEST_F(ReaderResultCode, RejectsAnOldInnerVersion) {
    ByteBuilder inner;
    inner.raw(samples::sectioned(9));
    inner.patchU32(4, 3);
    EXPECT_EQ(parse(wrapSectioned(inner.bytes(), 96)).result, QVX_RESULT_OLD_VERSION);
}

TEST_F(ReaderResultCode, ReadsAVersionEightFileWithoutTheCompressedFlagAsSectioned) {
    const Parsed p = parse(samples::sectioned(8));
    ASSERT_EQ(p.result, QVX_RESULT_OK) << p.report.reason();
    EXPECT_EQ(scene.fileVersion, 8u);
}

TEST_F(ReaderResultCode, RejectsDamagedZlibDataWithFailed) {
    auto bytes = wrapSectioned(v31(), 128);
    for (std::size_t i = 140; i < 180 && i < bytes.size(); ++i) bytes[i] ^= 0x5A;
    const Parsed p = parse(bytes);
    EXPECT_EQ(p.result, QVX_RESULT_FAILED);
    EXPECT_EQ(p.report.failure.section, "compressed stream");
}

TEST_F(ReaderResultCode, RejectsADamagedChecksumWithFailed) {
    auto bytes = wrapSectioned(v31(), 128);
    bytes.back() ^= 0xFF;
    EXPECT_EQ(parse(bytes).result, QVX_RESULT_FAILED);
}

TEST_F(ReaderResultCode, RejectsAWrapperWhoseInnerSizeIsZero) {
    ByteBuilder b;
    b.raw(wrapSectioned(v31(), 128));
    b.patchU32(12, 0);
    EXPECT_EQ(parse(b.bytes()).result, QVX_RESULT_FAILED);
}

TEST_F(ReaderResultCode, RejectsAStreamOffsetBeyondTheFile) {
    ByteBuilder b;
    b.raw(wrapSectioned(v31(), 128));
    b.patchU32(20, static_cast<uint32_t>(b.size() + 10));
    const Parsed p = parse(b.bytes());
    EXPECT_EQ(p.result, QVX_RESULT_FAILED);
    EXPECT_EQ(p.report.failure.offset, 20u);
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

TEST_F(ReaderResultCode, RejectsAFileWhoseCountsAreAllZero) {
    ByteBuilder b;
    b.zeros(128);
    for (int i = 0; i < 11; ++i) b.u32(0);  // every section empty (triangles and UV sets too)
    b.patchU32(0, 0x48585651u);
    b.patchU32(4, 31);
    b.patchU32(12, static_cast<uint32_t>(b.size()));
    const Parsed p = parse(b.bytes());
    EXPECT_EQ(p.result, QVX_RESULT_FAILED);
}

TEST_F(ReaderResultCode, RejectsAFileWithOnlyAnEmptyTriangleSection) {
    ByteBuilder b;
    b.zeros(128);
    b.u32(0).u32(0).u32(0).u32(0).u32(0);  // lights .. vertices
    b.u32(0).u32(0);                       // triangles, UV sets
    b.u32(0).u32(0).u32(0);                // meshes, bones, animations
    b.patchU32(0, 0x48585651u);
    b.patchU32(4, 30);
    b.patchU32(12, static_cast<uint32_t>(b.size()));
    EXPECT_EQ(parse(b.bytes()).result, QVX_RESULT_FAILED);
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

TEST_F(ReaderResultCode, ClearsTheSceneOnFailure) {
    auto bytes = v31();
    bytes.resize(bytes.size() - 150);  // cut past the info strings into the animation
    ByteBuilder b;
    b.raw(bytes);
    b.patchU32(12, static_cast<uint32_t>(b.size()));
    EXPECT_EQ(parse(b.bytes()).result, QVX_RESULT_FAILED);
    EXPECT_TRUE(scene.vertices.absent());
    EXPECT_TRUE(scene.meshes.absent());
    EXPECT_EQ(scene.counts.vertices, 0u);
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
