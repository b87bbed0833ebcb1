#include "format/ByteWriter.h"
#include "format/QvxHeader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<unsigned char> bytesOf(ByteWriter& writer) {
    return writer.release();
}

}  // namespace

TEST(ByteWriter, WritesIntegersLittleEndian) {
    ByteWriter w;
    w.u32(0x11223344u);
    w.i32(-2);
    w.u16(0xABCD);
    EXPECT_EQ(bytesOf(w),
              (std::vector<unsigned char>{0x44, 0x33, 0x22, 0x11, 0xFE, 0xFF, 0xFF, 0xFF, 0xCD, 0xAB}));
}

TEST(ByteWriter, WritesFloatsAsTheirIeeeBits) {
    ByteWriter w;
    w.f32(1.0f);
    const float pair[2] = {-2.0f, 0.0f};
    w.f32s(pair, 2);
    EXPECT_EQ(bytesOf(w), (std::vector<unsigned char>{0, 0, 0x80, 0x3F, 0, 0, 0, 0xC0, 0, 0, 0, 0}));
}

TEST(ByteWriter, CountedStringCountsTheTerminator) {
    ByteWriter w;
    w.countedString("ab");
    EXPECT_EQ(bytesOf(w), (std::vector<unsigned char>{3, 0, 'a', 'b', 0}));
}

TEST(ByteWriter, EmptyCountedStringIsLengthOneAndOneZeroByte) {
    ByteWriter w;
    w.countedString("");
    EXPECT_EQ(bytesOf(w), (std::vector<unsigned char>{1, 0, 0}));
}

TEST(ByteWriter, CountedStringLongerThanTheLengthFieldIsCut) {
    ByteWriter w;
    w.countedString(std::string(70000, 'x'));
    const auto bytes = bytesOf(w);
    ASSERT_EQ(bytes.size(), 2u + ByteWriter::kMaxCountedText + 1);
    EXPECT_EQ(bytes[0] | bytes[1] << 8, 0xFFFF);
    EXPECT_EQ(bytes.back(), 0);
}

TEST(ByteWriter, PositionIsTheOffsetOfTheNextWrite) {
    ByteWriter w;
    EXPECT_EQ(w.position(), 0u);
    w.zeros(128);
    EXPECT_EQ(w.position(), 128u);
    w.countedString("abc");
    EXPECT_EQ(w.position(), 134u);
}

TEST(ByteWriter, RemembersTheFirstFailureAndIgnoresLaterWrites) {
    ByteWriter w(6);
    w.u32(1);
    EXPECT_TRUE(w.ok());
    w.u32(2);  // would end at 8 > 6
    EXPECT_FALSE(w.ok());
    w.u16(3);  // would fit, but the stream has failed
    w.bytes("z", 1);
    EXPECT_FALSE(w.ok());
    EXPECT_EQ(w.size(), 4u);
}

TEST(ByteWriter, WritesUpToTheLimitExactly) {
    ByteWriter w(8);
    w.u32(1);
    w.u32(2);
    EXPECT_TRUE(w.ok());
    EXPECT_EQ(w.size(), 8u);
}

TEST(ByteWriter, PatchOverwritesBytesWrittenEarlier) {
    ByteWriter w;
    w.zeros(8);
    w.u32(7);
    const unsigned char word[4] = {9, 8, 7, 6};
    w.patch(4, word, 4);
    EXPECT_TRUE(w.ok());
    EXPECT_EQ(bytesOf(w), (std::vector<unsigned char>{0, 0, 0, 0, 9, 8, 7, 6, 7, 0, 0, 0}));
}

TEST(ByteWriter, PatchBeyondTheWrittenBytesFails) {
    ByteWriter w;
    w.zeros(4);
    const unsigned char word[4] = {1, 2, 3, 4};
    w.patch(2, word, 4);
    EXPECT_FALSE(w.ok());
}

TEST(ByteWriter, GrowsAcrossManyWritesAndKeepsEveryByte) {
    ByteWriter w;
    for (uint32_t i = 0; i < 100000; ++i) w.u32(i);
    ASSERT_TRUE(w.ok());
    const auto bytes = bytesOf(w);
    ASSERT_EQ(bytes.size(), 400000u);
    for (uint32_t i = 0; i < 100000; i += 9999)
        EXPECT_EQ(bytes[4 * i] | bytes[4 * i + 1] << 8 | bytes[4 * i + 2] << 16,
                  static_cast<int>(i & 0xFFFFFF));
}

TEST(ByteWriter, ReserveDoesNotChangeWhatIsWritten) {
    ByteWriter w;
    w.reserve(1 << 16);
    w.u16(5);
    EXPECT_EQ(bytesOf(w), (std::vector<unsigned char>{5, 0}));
}

TEST(ByteWriter, ReleaseLeavesAnEmptyWriter) {
    ByteWriter w;
    w.u32(1);
    (void)w.release();
    EXPECT_EQ(w.size(), 0u);
    w.u16(2);
    EXPECT_EQ(bytesOf(w), (std::vector<unsigned char>{2, 0}));
}

TEST(ByteWriter, ClaimedRoomIsFilledInPlace) {
    ByteWriter w;
    w.u16(1);
    unsigned char* p = w.claim(12);
    ASSERT_NE(p, nullptr);
    p = ByteWriter::put32(p, uint32_t{7});
    p = ByteWriter::put32(p, int32_t{-1});
    ByteWriter::put32(p, 1.0f);
    EXPECT_EQ(w.position(), 14u);
    EXPECT_EQ(bytesOf(w),
              (std::vector<unsigned char>{1, 0, 7, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0x80, 0x3F}));
}

TEST(ByteWriter, ClaimBeyondTheLimitFailsTheStream) {
    ByteWriter w(10);
    EXPECT_EQ(w.claim(11), nullptr);
    EXPECT_FALSE(w.ok());
    EXPECT_EQ(w.claim(1), nullptr);
}

TEST(ByteWriter, LargeBuffersKeepEveryByte) {
    ByteWriter w;
    w.reserve(std::size_t{5} << 20);
    for (uint32_t i = 0; i < (3u << 20) / 4; ++i) w.u32(i * 2654435761u);
    for (uint32_t i = 0; i < (3u << 20) / 4; ++i) w.u32(i);  // grows past the reserved size
    ASSERT_TRUE(w.ok());
    const auto bytes = bytesOf(w);
    ASSERT_EQ(bytes.size(), std::size_t{6} << 20);
    EXPECT_EQ(qvxLoadU32(bytes.data() + 4 * 12345), 12345u * 2654435761u);
    EXPECT_EQ(qvxLoadU32(bytes.data() + bytes.size() - 4), (3u << 20) / 4 - 1);
}
