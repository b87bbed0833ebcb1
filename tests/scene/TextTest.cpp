// Narrow/wide conversion and the two forms of a record name.

#include <gtest/gtest.h>

#include <string>

#include "scene/Text.h"

namespace {

TEST(TextConversion, Utf8BecomesUtf16) {
    EXPECT_EQ(narrowToWide("joint_1"), u"joint_1");
    EXPECT_EQ(narrowToWide("\xC3\xA9t\xC3\xA9"), u"\u00E9t\u00E9");
    EXPECT_EQ(narrowToWide("\xE6\x9C\xA8"), u"\u6728");
    EXPECT_EQ(narrowToWide("\xF0\x9F\x98\x80"), u"\U0001F600");
}

TEST(TextConversion, InvalidBytesStandForTheirOwnValue) {
    // A Latin-1 'é', a lone continuation byte, a truncated sequence and an overlong '/'.
    EXPECT_EQ(narrowToWide("caf\xE9"), u"caf\u00E9");
    EXPECT_EQ(narrowToWide("\x80x"), u"\u0080x");
    EXPECT_EQ(narrowToWide("\xE6\x9C"), u"\u00E6\u009C");
    EXPECT_EQ(narrowToWide("\xC0\xAF"), u"\u00C0\u00AF");
    // UTF-8 encoded surrogates are not valid either.
    EXPECT_EQ(narrowToWide("\xED\xA0\x80"), u"\u00ED\u00A0\u0080");
}

TEST(TextConversion, NarrowTextReadsAsUtf8TheWayItIsWidened) {
    const std::string samples[] = {
        "joint_1",  "\xC3\xA9t\xC3\xA9", "Caf\xE9",          "h\xF6lz.png", "\x80x", "\xE6\x9C",
        "\xC0\xAF", "\xED\xA0\x80",      "\xF0\x9F\x98\x80", "\xF5\xFF",    "ok\xC3"};
    for (const std::string& narrow : samples) {
        std::string utf8 = "<";
        appendNarrowAsUtf8(utf8, narrow);
        // The same characters as the wide form, now as valid UTF-8.
        EXPECT_EQ(utf8, "<" + wideToNarrow(narrowToWide(narrow))) << narrow;
    }
    std::string latin;
    appendNarrowAsUtf8(latin, "Caf\xE9");
    EXPECT_EQ(latin, "Caf\xC3\xA9");
    std::string withNul;
    appendNarrowAsUtf8(withNul, std::string_view("a\0b", 3));
    EXPECT_EQ(withNul, std::string("a\0b", 3));
}

TEST(TextConversion, WideBecomesUtf8AndUnpairedSurrogatesAreReplaced) {
    EXPECT_EQ(wideToNarrow(u"\u6728\U0001F600"), "\xE6\x9C\xA8\xF0\x9F\x98\x80");
    const char16_t lone[] = {u'a', 0xD800, u'b', 0};
    EXPECT_EQ(wideToNarrow(lone),
              "a\xEF\xBF\xBD"
              "b");
}

TEST(TextConversion, FixedBufferTruncationKeepsSurrogatePairsWhole) {
    char16_t out[4];
    // "ab" then a pair: only one unit is left before the terminator.
    EXPECT_EQ(narrowToWide("ab\xF0\x9F\x98\x80", out, 4), 2u);
    EXPECT_EQ(std::u16string(out), u"ab");
    EXPECT_EQ(narrowToWide("a\xF0\x9F\x98\x80", out, 4), 3u);
    EXPECT_EQ(std::u16string(out), u"a\U0001F600");
}

TEST(TextConversion, NarrowPrefixDoesNotSplitSequences) {
    EXPECT_EQ(narrowPrefixLength("a\xE6\x9C\xA8", 3), 1u);
    EXPECT_EQ(narrowPrefixLength("a\xE6\x9C\xA8", 4), 4u);
    EXPECT_EQ(narrowPrefixLength("\xE6\xE6\xE6", 2), 2u);  // invalid bytes are single characters
}

TEST(RecordNameTest, SetWritesBothForms) {
    RecordName name;
    name.set("\xC3\x84rm");
    EXPECT_STREQ(name.narrow, "\xC3\x84rm");
    EXPECT_EQ(name.wideView(), u"\u00C4rm");
}

TEST(RecordNameTest, LongNamesAreTruncatedAtACharacterBoundary) {
    std::string text(258, 'x');
    text += "\xE6\x9C\xA8";  // would end at byte 261
    RecordName name;
    name.set(text);
    EXPECT_EQ(name.narrowView().size(), 258u);
    EXPECT_EQ(name.wideView().size(), 258u);

    std::string emoji = std::string(257, 'y') + "\xF0\x9F\x98\x80";
    name.set(emoji);
    EXPECT_EQ(name.narrowView(), std::string(257, 'y'));
    EXPECT_EQ(name.wideView(), std::u16string(257, u'y'));
}

TEST(RecordNameTest, LongWideNamesKeepBothFormsInStep) {
    std::u16string text(200, u'\u6728');  // 600 bytes of UTF-8
    RecordName name;
    name.setWide(text);
    EXPECT_EQ(name.narrowView().size(), 258u);  // 86 whole characters
    EXPECT_EQ(name.wideView(), std::u16string(86, u'\u6728'));
}

TEST(RecordNameTest, NullClearsAndCopyOntoItselfIsHarmless) {
    RecordName name;
    name.set("bone");
    name.copyFrom(name);
    EXPECT_STREQ(name.narrow, "bone");
    RecordName other;
    other.copyFrom(name);
    EXPECT_EQ(other.wideView(), u"bone");
    name.set(static_cast<const char*>(nullptr));
    EXPECT_TRUE(name.empty());
    EXPECT_EQ(name.wide[0], 0);
}

TEST(RecordNameTest, NumberedNames) {
    RecordName name;
    name.setNumbered("QVXGroup", 12);
    EXPECT_STREQ(name.narrow, "QVXGroup12");
    EXPECT_EQ(name.wideView(), u"QVXGroup12");
}

}  // namespace
