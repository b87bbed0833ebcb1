#include "format/QvxHeader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(QvxHeaderConstants, HaveTheFileValues) {
    const unsigned char magic[4] = {'Q', 'V', 'X', 'H'};
    EXPECT_EQ(qvxLoadU32(magic), QVX_MAGIC);
    EXPECT_EQ(std::string(kQvxMagicText), "QVXH");
    EXPECT_EQ(QVX_FLAG_NORMALS, 0x01u);
    EXPECT_EQ(QVX_FLAG_COLORS, 0x02u);
    EXPECT_EQ(QVX_FLAG_COMPRESSED, 0x10u);
    EXPECT_EQ(kQvxWrapperFlags, 0x12u);
    EXPECT_EQ(QVX_VERSION_WRAPPER, 8u);
    EXPECT_EQ(QVX_VERSION_V2X, 9u);
    EXPECT_EQ(QVX_VERSION_CURRENT, 31u);
    EXPECT_EQ(QVX_VERSION_CHUNKED, 34u);
}

TEST(QvxResultName, NamesEveryCode) {
    EXPECT_STREQ(qvxResultName(QVX_RESULT_OK), "QVX_RESULT_OK");
    EXPECT_STREQ(qvxResultName(0), "QVX_RESULT_FAILED");
    EXPECT_STREQ(qvxResultName(-5), "QVX_RESULT_NOT_QVX");
    EXPECT_STREQ(qvxResultName(-6), "QVX_RESULT_OLD_VERSION");
    EXPECT_STREQ(qvxResultName(-7), "QVX_RESULT_BAD_SIZE");
    EXPECT_STREQ(qvxResultName(-8), "QVX_RESULT_CANNOT_OPEN");
    EXPECT_STREQ(qvxResultName(-2), "QVX_RESULT_UNKNOWN");
}

TEST(QvxHeaderLayout, SectionSlotsFollowTheFileOrder) {
    EXPECT_EQ(qvxCountSlot(QvxSection::Lights), 4);
    EXPECT_EQ(qvxOffsetSlot(QvxSection::Lights), 5);
    EXPECT_EQ(qvxCountSlot(QvxSection::Triangles), kSlotTriangleCount);
    EXPECT_EQ(qvxCountSlot(QvxSection::Meshes), kSlotMeshCount);
    EXPECT_EQ(qvxOffsetSlot(QvxSection::Animations), kSlotAnimationOffset);
    EXPECT_EQ(qvxCountSlot(QvxSection::InfoStrings), 24);
    EXPECT_EQ(qvxOffsetSlot(QvxSection::InfoStrings), 25);
}

TEST(QvxHeaderLayout, HeaderSizeChangesAtVersion30) {
    EXPECT_EQ(qvxHeaderBytesForVersion(6), 96u);
    EXPECT_EQ(qvxHeaderBytesForVersion(9), 96u);
    EXPECT_EQ(qvxHeaderBytesForVersion(29), 96u);
    EXPECT_EQ(qvxHeaderBytesForVersion(30), 128u);
    EXPECT_EQ(qvxHeaderBytesForVersion(31), 128u);
}

TEST(QvxHeaderLayout, ShortFormStoresSlots0To13And18To27) {
    for (int slot = 0; slot < 14; ++slot) EXPECT_EQ(qvxWordOfSlot(slot, 96), slot);
    for (int slot = 14; slot < 18; ++slot) EXPECT_EQ(qvxWordOfSlot(slot, 96), -1);
    for (int slot = 18; slot < 28; ++slot) EXPECT_EQ(qvxWordOfSlot(slot, 96), slot - 4);
    for (int slot = 28; slot < 32; ++slot) EXPECT_EQ(qvxWordOfSlot(slot, 96), -1);
    for (std::size_t word = 0; word < 24; ++word)
        EXPECT_EQ(qvxWordOfSlot(qvxSlotOfWord(word, 96), 96), static_cast<int>(word));
    EXPECT_EQ(qvxSlotOfWord(24, 96), -1);
}

TEST(QvxHeaderLayout, LongFormStoresSlotNAtOffset4N) {
    for (int slot = 0; slot < 32; ++slot) EXPECT_EQ(qvxWordOfSlot(slot, 128), slot);
    EXPECT_EQ(qvxSlotOfWord(32, 128), -1);
}

TEST(QvxHeaderCoding, ShortFormPutsTheMeshCountAtOffset56) {
    QvxHeader header;
    for (int slot = 0; slot < 32; ++slot) header[slot] = 1000u + static_cast<uint32_t>(slot);
    std::vector<unsigned char> bytes(96);
    header.encode(bytes.data(), 96);
    EXPECT_EQ(qvxLoadU32(bytes.data() + 52), 1013u);  // vertex offset
    EXPECT_EQ(qvxLoadU32(bytes.data() + 56), 1018u);  // mesh count
    EXPECT_EQ(qvxLoadU32(bytes.data() + 80), 1024u);  // info-string count
    EXPECT_EQ(qvxLoadU32(bytes.data() + 92), 1027u);
}

TEST(QvxHeaderCoding, DecodeOfTheShortFormLeavesUnstoredSlotsZero) {
    std::vector<unsigned char> bytes(96);
    for (std::size_t word = 0; word < 24; ++word) qvxStoreU32(bytes.data() + 4 * word, 500u + word);
    const QvxHeader header = QvxHeader::decode(bytes.data(), 96);
    EXPECT_EQ(header[13], 513u);
    for (int slot = 14; slot < 18; ++slot) EXPECT_EQ(header[slot], 0u);
    EXPECT_EQ(header[18], 514u);
    EXPECT_EQ(header[27], 523u);
    for (int slot = 28; slot < 32; ++slot) EXPECT_EQ(header[slot], 0u);
}

TEST(QvxHeaderCoding, LongFormRoundTripsEverySlot) {
    QvxHeader header;
    for (int slot = 0; slot < 32; ++slot) header[slot] = 0x01020304u * static_cast<uint32_t>(slot + 1);
    std::vector<unsigned char> bytes(128);
    header.encode(bytes.data(), 128);
    EXPECT_EQ(bytes[0], 0x04);
    EXPECT_EQ(QvxHeader::decode(bytes.data(), 128).slots, header.slots);
}
