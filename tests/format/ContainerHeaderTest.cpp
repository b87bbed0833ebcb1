#include "format/QvxHeader.h"

#include <gtest/gtest.h>

#include <vector>

TEST(QvxResultName, NamesEveryCode) {
    const std::pair<int, const char*> names[] = {
        {QVX_RESULT_OK, "QVX_RESULT_OK"}, {0, "QVX_RESULT_FAILED"},    {-5, "QVX_RESULT_NOT_QVX"},
        {-6, "QVX_RESULT_OLD_VERSION"},   {-7, "QVX_RESULT_BAD_SIZE"}, {-8, "QVX_RESULT_CANNOT_OPEN"},
        {-2, "QVX_RESULT_UNKNOWN"}};
    for (const auto& n : names) EXPECT_STREQ(qvxResultName(n.first), n.second) << n.first;
}

TEST(QvxHeaderLayout, HeaderSizeAndSlotPlacesChangeAtVersion30) {
    for (uint32_t version : {6u, 9u, 29u}) EXPECT_EQ(qvxHeaderBytesForVersion(version), 96u) << version;
    for (uint32_t version : {30u, 31u}) EXPECT_EQ(qvxHeaderBytesForVersion(version), 128u) << version;
    // The short form stores slots 0-13 and 18-27, the long form slot n at word n.
    for (int slot = 0; slot < 32; ++slot) {
        const int shortWord = slot < 14 ? slot : (slot >= 18 && slot < 28) ? slot - 4 : -1;
        EXPECT_EQ(qvxWordOfSlot(slot, 96), shortWord) << slot;
        EXPECT_EQ(qvxWordOfSlot(slot, 128), slot) << slot;
    }
    for (std::size_t word = 0; word < 24; ++word)
        EXPECT_EQ(qvxWordOfSlot(qvxSlotOfWord(word, 96), 96), static_cast<int>(word));
    EXPECT_EQ(qvxSlotOfWord(24, 96), -1);
    EXPECT_EQ(qvxSlotOfWord(32, 128), -1);
}

TEST(QvxHeaderCoding, ShortFormPutsTheMeshCountAtOffset56AndDecodesUnstoredSlotsAsZero) {
    QvxHeader header;
    for (int slot = 0; slot < 32; ++slot) header[slot] = 1000u + static_cast<uint32_t>(slot);
    std::vector<unsigned char> bytes(96);
    header.encode(bytes.data(), 96);
    EXPECT_EQ(qvxLoadU32(bytes.data() + 52), 1013u);  // vertex offset
    EXPECT_EQ(qvxLoadU32(bytes.data() + 56), 1018u);  // mesh count
    EXPECT_EQ(qvxLoadU32(bytes.data() + 92), 1027u);
    const QvxHeader back = QvxHeader::decode(bytes.data(), 96);
    for (int slot = 0; slot < 32; ++slot)
        EXPECT_EQ(back[slot], qvxWordOfSlot(slot, 96) < 0 ? 0u : header[slot]) << slot;
}

TEST(QvxHeaderCoding, LongFormRoundTripsEverySlotLittleEndian) {
    QvxHeader header;
    for (int slot = 0; slot < 32; ++slot) header[slot] = 0x01020304u * static_cast<uint32_t>(slot + 1);
    std::vector<unsigned char> bytes(128);
    header.encode(bytes.data(), 128);
    EXPECT_EQ(bytes[0], 0x04);
    EXPECT_EQ(QvxHeader::decode(bytes.data(), 128).slots, header.slots);
}
