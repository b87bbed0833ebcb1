#include "format/ByteWriter.h"
#include "format/QvxHeader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

TEST(ByteWriter, WritesLittleEndianIntegersFloatsAndCountedStrings) {
    ByteWriter w;
    w.u32(0x11223344u);
    w.i32(-2);
    w.u16(0xABCD);
    const float pair[2] = {-2.0f, 1.0f};
    w.f32s(pair, 2);
    w.countedString("ab");  // the count includes the terminator
    w.countedString("");
    EXPECT_EQ(w.position(), 26u);
    EXPECT_EQ(w.release(), (Bytes{0x44, 0x33, 0x22, 0x11, 0xFE, 0xFF, 0xFF, 0xFF, 0xCD, 0xAB, 0, 0, 0,
                                  0xC0, 0,    0,    0x80, 0x3F, 3,    0,    'a',  'b',  0,    1, 0, 0}));
    // Release leaves an empty writer that can be used again.
    EXPECT_EQ(w.size(), 0u);
    w.u16(2);
    EXPECT_EQ(w.release(), (Bytes{2, 0}));
}

TEST(ByteWriter, CountedStringLongerThanTheLengthFieldIsCut) {
    ByteWriter w;
    w.countedString(std::string(70000, 'x'));
    const auto bytes = w.release();
    ASSERT_EQ(bytes.size(), 2u + ByteWriter::kMaxCountedText + 1);
    EXPECT_EQ(bytes[0] | bytes[1] << 8, 0xFFFF);
    EXPECT_EQ(bytes.back(), 0);
}

TEST(ByteWriter, WritesUpToTheLimitThenRemembersTheFirstFailure) {
    ByteWriter exact(8);
    exact.u32(1);
    exact.u32(2);
    EXPECT_TRUE(exact.ok());
    ByteWriter w(6);
    w.u32(1);
    w.u32(2);  // would end at 8 > 6
    EXPECT_FALSE(w.ok());
    w.u16(3);  // would fit, but the stream has failed
    w.bytes("z", 1);
    EXPECT_FALSE(w.ok());
    EXPECT_EQ(w.size(), 4u);
    ByteWriter claims(10);
    EXPECT_EQ(claims.claim(11), nullptr);
    EXPECT_FALSE(claims.ok());
    EXPECT_EQ(claims.claim(1), nullptr);
}

TEST(ByteWriter, PatchOverwritesWrittenBytesOnly) {
    ByteWriter w;
    w.zeros(8);
    w.u32(7);
    const unsigned char word[4] = {9, 8, 7, 6};
    w.patch(4, word, 4);
    EXPECT_TRUE(w.ok());
    EXPECT_EQ(w.release(), (Bytes{0, 0, 0, 0, 9, 8, 7, 6, 7, 0, 0, 0}));
    ByteWriter shortOne;
    shortOne.zeros(4);
    shortOne.patch(2, word, 4);
    EXPECT_FALSE(shortOne.ok());
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
    EXPECT_EQ(w.release(), (Bytes{1, 0, 7, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0x80, 0x3F}));
}

TEST(ByteWriter, LargeBuffersGrowPastTheReservedSizeAndKeepEveryByte) {
    ByteWriter w;
    w.reserve(std::size_t{5} << 20);
    for (uint32_t i = 0; i < (3u << 20) / 4; ++i) w.u32(i * 2654435761u);
    for (uint32_t i = 0; i < (3u << 20) / 4; ++i) w.u32(i);
    ASSERT_TRUE(w.ok());
    const auto bytes = w.release();
    ASSERT_EQ(bytes.size(), std::size_t{6} << 20);
    for (uint32_t i = 0; i < (3u << 20) / 4; i += 9999)
        EXPECT_EQ(qvxLoadU32(bytes.data() + 4 * i), i * 2654435761u);
    EXPECT_EQ(qvxLoadU32(bytes.data() + bytes.size() - 4), (3u << 20) / 4 - 1);
}
