#include "platform/profile/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using platform::TextEncoding;
using namespace std::string_literals;

// "東京" in CP932.
const std::string kTokyoCp932 = "\x93\x8c\x8b\x9e";

struct Utf8Case {
    const char* name;
    std::string bytes;
    bool valid;
};

TEST(TextEncoding, Utf8ValidityFollowsTheStandard)
{
    const Utf8Case cases[] = {
        { "empty", "", true },
        { "ascii", "NUMBER_OF_CITY=12", true },
        { "nul byte", "a\0b"s, true },
        { "two-byte", "caf\xC3\xA9", true },
        { "three-byte", "\xE6\x9D\xB1\xE4\xBA\xAC", true },
        { "four-byte", "\xF0\x9F\x98\x80", true },
        { "highest code point", "\xF4\x8F\xBF\xBF", true },
        { "stray continuation", "a\x80", false },
        { "truncated at end", "\xE6\x9D", false },
        { "truncated by ascii", "\xE6\x9D" "a", false },
        { "overlong slash", "\xC0\xAF", false },
        { "overlong three-byte", "\xE0\x80\xAF", false },
        { "overlong four-byte", "\xF0\x80\x80\xAF", false },
        { "surrogate", "\xED\xA0\x80", false },
        { "above U+10FFFF", "\xF4\x90\x80\x80", false },
        { "F5 lead", "\xF5\x80\x80\x80", false },
        { "CP932 text", kTokyoCp932, false },
    };
    for (const auto& testCase : cases)
        EXPECT_EQ(platform::isValidUtf8(testCase.bytes), testCase.valid) << testCase.name;
}

struct DetectionCase {
    const char* name;
    std::string bytes;
    TextEncoding expected;
};

TEST(TextEncoding, DetectionPrefersUtf8ThenCp932)
{
    const DetectionCase cases[] = {
        { "empty", "", TextEncoding::Utf8 },
        { "ascii", "[MAP_INFO]\r\nNUMBER_OF_CITY=1\r\n", TextEncoding::Utf8 },
        { "utf-8 japanese", "CODE_1=\xE6\x9D\xB1\xE4\xBA\xAC", TextEncoding::Utf8 },
        { "cp932 japanese", "CODE_1=" + kTokyoCp932, TextEncoding::Cp932 },
        { "cp932 half-width katakana", "\xB6\xC0\xB6\xC5", TextEncoding::Cp932 },
        { "cp932 with nul byte", "a\0"s + kTokyoCp932, TextEncoding::Cp932 },
        // A lead byte without its trail byte is CP932 no more than UTF-8.
        { "cut cp932 character", "\x93\x8c\x8b", TextEncoding::Utf8 },
        // 80 and FD..FF have no CP932 character.
        { "neither encoding", "\x80\xFD\xFE\xFF", TextEncoding::Utf8 },
    };
    for (const auto& testCase : cases)
        EXPECT_EQ(platform::detectEncoding(testCase.bytes), testCase.expected) << testCase.name;
}

TEST(TextEncoding, Cp932ConvertsBothWays)
{
    EXPECT_EQ(platform::cp932ToUtf8(kTokyoCp932), "\xE6\x9D\xB1\xE4\xBA\xAC");
    EXPECT_EQ(platform::utf8ToCp932("\xE6\x9D\xB1\xE4\xBA\xAC"), kTokyoCp932);
    // Half-width katakana are single bytes in CP932, three in UTF-8.
    EXPECT_EQ(platform::cp932ToUtf8("\xB6"), "\xEF\xBD\xB6");
    // ASCII, the backslash and the tilde included, maps to itself.
    EXPECT_EQ(platform::cp932ToUtf8("a\\~\0z"s), "a\\~\0z"s);
    EXPECT_EQ(platform::cp932ToUtf8(""), "");
}

TEST(TextEncoding, ConversionIsAllOrNothing)
{
    // An emoji and a Hangul syllable have no CP932 code.
    EXPECT_EQ(platform::utf8ToCp932("Tokyo \xF0\x9F\x98\x80"), std::nullopt);
    EXPECT_EQ(platform::utf8ToCp932("\xED\x95\x9C"), std::nullopt);
    EXPECT_EQ(platform::utf8ToCp932("a\x80"), std::nullopt);
    EXPECT_EQ(platform::cp932ToUtf8("ok\x93"), std::nullopt);
    EXPECT_EQ(platform::cp932ToUtf8("\xFD"), std::nullopt);
}

TEST(TextEncoding, ConverterWorksAgainAfterAFailure)
{
    platform::Cp932Converter converter;
    // A conversion that stops in the middle of a double-byte character
    // leaves the converter usable for the next one.
    EXPECT_EQ(converter.toUtf8("\x93\x8c\x93"), std::nullopt);
    EXPECT_EQ(converter.toUtf8(kTokyoCp932), "\xE6\x9D\xB1\xE4\xBA\xAC");
    EXPECT_EQ(converter.fromUtf8("\xF0\x9F\x98\x80"), std::nullopt);
    EXPECT_EQ(converter.fromUtf8("\xE6\x9D\xB1"), "\x93\x8c");
}

struct CutCase {
    const char* name;
    std::string text;
    std::size_t maxBytes;
    TextEncoding encoding;
    std::string expected;
};

TEST(TextEncoding, CutNeverSplitsACharacter)
{
    const CutCase cases[] = {
        { "utf-8 fits", "\xE6\x9D\xB1\xE4\xBA\xAC", 6, TextEncoding::Utf8, "\xE6\x9D\xB1\xE4\xBA\xAC" },
        { "utf-8 one byte short", "\xE6\x9D\xB1\xE4\xBA\xAC", 5, TextEncoding::Utf8, "\xE6\x9D\xB1" },
        { "utf-8 inside first", "\xE6\x9D\xB1", 2, TextEncoding::Utf8, "" },
        { "utf-8 four-byte", "a\xF0\x9F\x98\x80", 4, TextEncoding::Utf8, "a" },
        { "utf-8 zero", "abc", 0, TextEncoding::Utf8, "" },
        // Malformed bytes count one by one.
        { "utf-8 malformed", "ab\x80\x80" "cd", 3, TextEncoding::Utf8, "ab\x80" },
        { "cp932 fits", kTokyoCp932, 4, TextEncoding::Cp932, kTokyoCp932 },
        { "cp932 one byte short", kTokyoCp932, 3, TextEncoding::Cp932, "\x93\x8c" },
        { "cp932 inside first", kTokyoCp932, 1, TextEncoding::Cp932, "" },
        // "メア" is 83 81 83 41: 81 is also a lead byte, so only a forward
        // scan knows that the cut after three bytes falls inside "ア".
        { "cp932 trail that looks like a lead", "\x83\x81\x83\x41", 3, TextEncoding::Cp932, "\x83\x81" },
        { "cp932 half-width", "\xB6\xC0\xB6\xC5", 3, TextEncoding::Cp932, "\xB6\xC0\xB6" },
        { "cp932 ascii trail", "x\x83\x41y", 2, TextEncoding::Cp932, "x" },
    };
    for (const auto& testCase : cases) {
        EXPECT_EQ(platform::cutAtCharacterBoundary(testCase.text, testCase.maxBytes, testCase.encoding),
                  testCase.expected)
            << testCase.name;
    }
}

} // namespace
