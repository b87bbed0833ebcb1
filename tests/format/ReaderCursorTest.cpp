// The read cursor: every short read fails without moving, counts are checked against the
// remaining bytes, and the first failure is the one reported.

#include <gtest/gtest.h>

#include "format/ByteBuilder.h"
#include "format/ReadCursor.h"

namespace {

class ReaderCursor : public ::testing::Test {
  protected:
    ReadCursor over(const ByteBuilder& b) { return ReadCursor(b.bytes().data(), b.size()); }
};

TEST_F(ReaderCursor, ReadsLittleEndianValues) {
    ByteBuilder b;
    b.u32(0x11223344).i32(-2).f32(1.5f).u16(0xBEEF);
    ReadCursor c = over(b);
    uint32_t u;
    int32_t i;
    float f;
    uint16_t s;
    ASSERT_TRUE(c.u32(u) && c.i32(i) && c.f32(f) && c.u16(s));
    EXPECT_EQ(u, 0x11223344u);
    EXPECT_EQ(i, -2);
    EXPECT_FLOAT_EQ(f, 1.5f);
    EXPECT_EQ(s, 0xBEEF);
    EXPECT_TRUE(c.atEnd());
}

TEST_F(ReaderCursor, FailsAShortReadWithoutMovingAndZeroesTheValue) {
    ByteBuilder b;
    b.u16(7).u8(1);
    ReadCursor c = over(b);
    uint32_t u = 99;
    EXPECT_FALSE(c.u32(u));
    EXPECT_EQ(u, 0u);
    EXPECT_EQ(c.position(), 0u);
    EXPECT_EQ(c.failure().expected, "4 bytes (3 remain)");
    float values[2];
    EXPECT_FALSE(c.f32s(values, 2));
    EXPECT_FALSE(c.skip(4));
    EXPECT_TRUE(c.skip(3));
}

TEST_F(ReaderCursor, HandsOutCountedBytesOnlyWhenTheyAreAllThere) {
    ByteBuilder b;
    b.u16(5).text("abc");
    ReadCursor c = over(b);
    const unsigned char* p = nullptr;
    std::size_t n = 0;
    EXPECT_FALSE(c.countedBytes(p, n));
    EXPECT_EQ(c.position(), 0u);
}

TEST_F(ReaderCursor, RejectsNegativeCountsAndCountsWhoseRecordsCannotFit) {
    ByteBuilder negative;
    negative.i32(-1).zeros(64);
    ReadCursor c = over(negative);
    int32_t n;
    EXPECT_FALSE(c.count(n, 1, "keys"));
    EXPECT_EQ(c.failure().expected, "a non-negative keys");
    EXPECT_EQ(c.failure().offset, 0u);
    ByteBuilder tooFew;
    tooFew.i32(5).zeros(39);
    EXPECT_FALSE(over(tooFew).count(n, 8, "pairs"));  // 5 x 8 = 40 > 39
    ByteBuilder enough;
    enough.i32(5).zeros(40);
    EXPECT_TRUE(over(enough).count(n, 8, "pairs"));
    EXPECT_EQ(n, 5);
    ByteBuilder huge;
    huge.u32(0x80000000u);  // section counts of 2^31 or more
    uint32_t records;
    EXPECT_FALSE(over(huge).sectionCount(records, 0, "records"));
}

TEST_F(ReaderCursor, KeepsThePartOfAChunkInsideItsLength) {
    ByteBuilder b;
    b.u32(1).u32(2).u32(3);
    ReadCursor c = over(b);
    ASSERT_TRUE(c.skip(4));
    ReadCursor part = c.part(4);
    uint32_t v;
    EXPECT_TRUE(part.u32(v));
    EXPECT_EQ(v, 2u);
    EXPECT_FALSE(part.u32(v));
    EXPECT_EQ(part.failure().offset, 8u);
}

TEST_F(ReaderCursor, ReportsTheFirstFailureWithItsSection) {
    ByteBuilder b;
    b.u16(1);
    ReadCursor c = over(b);
    c.setSection("lights");
    uint32_t v;
    EXPECT_FALSE(c.u32(v));
    c.setSection("cameras");
    EXPECT_FALSE(c.fail("something else"));
    EXPECT_EQ(c.failure().section, "lights");
}

}  // namespace
