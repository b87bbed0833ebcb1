#include "format/BodyWriterCommon.h"
#include "format/WriteOptions.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ctime>

TEST(TextureFileName, DropsTheFoldersOfAPosixPath) {
    EXPECT_EQ(textureFileName("/home/art/maps/wood.png"), "wood.png");
}

TEST(TextureFileName, DropsTheDriveAndFoldersOfAWindowsPath) {
    EXPECT_EQ(textureFileName("C:\\maps\\wood.png"), "wood.png");
    EXPECT_EQ(textureFileName("C:/maps\\sub/wood.tga"), "wood.tga");
    EXPECT_EQ(textureFileName("C:wood.png"), "wood.png");
    EXPECT_EQ(textureFileName("\\\\server\\share\\stone.jpg"), "stone.jpg");
}

TEST(TextureFileName, KeepsABareNameAndAnEmptyPath) {
    EXPECT_EQ(textureFileName("wood.png"), "wood.png");
    EXPECT_EQ(textureFileName("noext"), "noext");
    EXPECT_EQ(textureFileName(""), "");
    EXPECT_EQ(textureFileName("maps/"), "");
}

TEST(BoundedText, StopsAtTheTerminator) {
    const char buffer[8] = "abc";
    EXPECT_EQ(boundedText(buffer, sizeof buffer), "abc");
}

TEST(BoundedText, NeverReadsPastTheBufferWithoutTerminator) {
    char buffer[6];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(boundedText(buffer, sizeof buffer), "xxxxx");
    EXPECT_EQ(boundedText(nullptr, 4), "");
}

TEST(ExportDate, UsesTheClassic24CharacterForm) {
    std::tm parts{};
    parts.tm_year = 2026 - 1900;
    parts.tm_mon = 11;
    parts.tm_mday = 5;
    parts.tm_hour = 9;
    parts.tm_min = 19;
    parts.tm_sec = 48;
    parts.tm_isdst = -1;
    const std::time_t when = std::mktime(&parts);
    EXPECT_EQ(formatExportDate(when), "Sat Dec  5 09:19:48 2026");
}

TEST(ExportDate, OptionsTextWinsOverTheClock) {
    WriteOptions options;
    options.dateText = "Mon Jan  1 00:00:00 2001";
    EXPECT_EQ(exportDateText(options), "Mon Jan  1 00:00:00 2001");
    options.dateText.clear();
    EXPECT_EQ(exportDateText(options).size(), 24u);
}
