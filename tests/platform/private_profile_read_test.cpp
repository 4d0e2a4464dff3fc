#include "platform/profile/private_profile.h"

#include "profile_test_support.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>

namespace {

using namespace std::string_literals;
using platform::GetPrivateProfileIntA;
using platform::GetPrivateProfileStringA;
using platform::ProfileEncoding;
using platform::ProfileFile;
using profile_test::fixturePath;
using profile_test::readFixture;

constexpr const char* kDefault = "<default>";
constexpr uint32_t kBufferSize = 256;

// The text GetPrivateProfileStringA gives, or std::nullopt for the default.
std::optional<std::string> readString(const ProfileFile& file, const std::string& section, const std::string& key)
{
    std::string text = GetPrivateProfileStringA(section, key, kDefault, kBufferSize, file);
    if (text == kDefault)
        return std::nullopt;
    return text;
}

TEST(PrivateProfileRead, MissingFileReadsDefaults)
{
    profile_test::TemporaryDirectory directory;
    std::string path = directory.file("zandreth.ini");
    auto file = ProfileFile::load(path);
    EXPECT_FALSE(file.exists());
    EXPECT_EQ(GetPrivateProfileIntA("MAP_INFO", "NUMBER_OF_CITY", -1, file), -1);
    uint32_t copied = 99;
    EXPECT_EQ(GetPrivateProfileStringA("MAP_INFO", "CODE_0", "UTC,UTC,0,0,-52.5", kBufferSize, file, &copied),
              "UTC,UTC,0,0,-52.5");
    EXPECT_EQ(copied, 17u);
    EXPECT_EQ(GetPrivateProfileIntA("PROC_INFO", "RND_INTERVAL", 60, path), 60);
    EXPECT_EQ(GetPrivateProfileStringA("MAP_INFO", "CODE_0", "x", kBufferSize, path), "x");
}

TEST(PrivateProfileRead, FolderInPlaceOfTheFileReadsDefaults)
{
    profile_test::TemporaryDirectory directory;
    auto file = ProfileFile::load(directory.path());
    EXPECT_FALSE(file.exists());
    EXPECT_EQ(GetPrivateProfileIntA("MAP_INFO", "NUMBER_OF_CITY", -1, file), -1);
}

struct StringReadCase {
    const char* section;
    const char* key;
    std::optional<std::string> expected;
};

TEST(PrivateProfileRead, StringsFollowTheFileFormat)
{
    auto file = ProfileFile::fromBytes(readFixture("reading.ini"));
    const StringReadCase cases[] = {
        { "Plain", "Number", "42" },
        { "plain", "NUMBER", "42" },
        { "Plain", "Text", "hello world" },
        { "Plain", "Spaced", "padded value" },
        { "Plain", "Empty", "" },
        { "Plain", "Blanks", "" },
        { "Plain", "Equals", "a=b=c" },
        { "Plain", "Semicolon", "value ; not a comment" },
        { "Plain", "Quoted", "quoted" },
        { "Plain", "NoEqualsSign", std::nullopt },
        { "Plain", ";Commented", std::nullopt },
        { "Plain", "Commented", std::nullopt },
        { "Plain", "# Indented", std::nullopt },
        { "Plain", "Indented", std::nullopt },
        { "Plain", "Repeated", "first" },
        { "Plain", "MIXEDCASE", "found" },
        // The second [PLAIN] is never read: neither its copy of Number nor
        // its own keys.
        { "Plain", "OnlyInSecondBlock", std::nullopt },
        { "", "ORPHAN", std::nullopt },
        { "Plain", "ORPHAN", std::nullopt },
        { "Trimmed Name", "Key", "trimmed section" },
        { "  trimmed name ", " key ", "trimmed section" },
        // "[Unclosed" is no header: its Key is a second Key of the section above.
        { "Unclosed", "Key", std::nullopt },
        { "Last", "NoNewline", "end" },
        { "Numbers", "Negative", "-15" },
        { "Missing", "Number", std::nullopt },
        { "Plain", "Missing", std::nullopt },
    };
    for (const auto& testCase : cases) {
        EXPECT_EQ(readString(file, testCase.section, testCase.key), testCase.expected)
            << "[" << testCase.section << "] " << testCase.key;
    }
}

struct IntReadCase {
    const char* section;
    const char* key;
    int32_t defaultValue;
    int32_t expected;
};

TEST(PrivateProfileRead, IntegersFollowTheWindowsService)
{
    auto file = ProfileFile::fromBytes(readFixture("reading.ini"));
    const IntReadCase cases[] = {
        { "Numbers", "Negative", 99, -15 },
        { "Numbers", "Positive", 99, 15 },
        { "Numbers", "LeadingBlanks", 99, 8 },
        { "Numbers", "Zero", 99, 0 },
        // A key that is present without a value reads the default; one that
        // holds no number reads 0.
        { "Numbers", "Empty", 99, 99 },
        { "Numbers", "Junk", 99, 0 },
        { "Numbers", "DigitsThenJunk", 99, 12 },
        { "Numbers", "SignOnly", 99, 0 },
        { "Numbers", "DoubleSign", 99, 0 },
        { "Numbers", "SpaceAfterSign", 99, 0 },
        { "Numbers", "Hex", 99, 16 },
        { "Numbers", "Decimal", 99, 3 },
        { "Numbers", "Max", 99, INT32_MAX },
        { "Numbers", "Min", 99, INT32_MIN },
        { "Numbers", "AboveMax", 99, INT32_MAX },
        { "Numbers", "BelowMin", 99, INT32_MIN },
        { "Numbers", "Huge", 99, INT32_MAX },
        { "Numbers", "HugeNegative", 99, INT32_MIN },
        // Numbers that a 32-bit or 64-bit accumulator would wrap to 1.
        { "Numbers", "Wraps32", 99, INT32_MAX },
        { "Numbers", "Wraps64", 99, INT32_MAX },
        { "Numbers", "Wraps64Negative", 99, INT32_MIN },
        { "Numbers", "Missing", 99, 99 },
        { "Plain", "Number", 99, 42 },
        { "PLAIN", "number", 99, 42 },
        { "Plain", "OnlyInSecondBlock", -1, -1 },
        { "Missing", "Number", -1, -1 },
    };
    for (const auto& testCase : cases) {
        EXPECT_EQ(GetPrivateProfileIntA(testCase.section, testCase.key, testCase.defaultValue, file),
                  testCase.expected)
            << "[" << testCase.section << "] " << testCase.key;
    }
}

// A file written or edited on Windows reads here as the Windows services
// read it: file text -> the answer of GetPrivateProfileStringA (nullopt for
// the default) and of GetPrivateProfileIntA with the default 60.
struct WindowsReadCase {
    const char* name;
    std::string fileText;
    const char* key;
    std::optional<std::string> text;
    int32_t number;
};

TEST(PrivateProfileRead, FilesFromWindowsReadTheSame)
{
    constexpr int32_t kIntDefault = 60;
    const WindowsReadCase cases[] = {
        // One pair of matching quotes around a value is taken off.
        { "double quotes", "[S]\r\nA=\"quoted\"\r\n", "A", "quoted", 0 },
        { "single quotes", "[S]\r\nA='x'\r\n", "A", "x", 0 },
        { "empty quotes", "[S]\r\nA=\"\"\r\n", "A", "", kIntDefault },
        { "quoted number", "[S]\r\nCity_SelectNo0=\"-1\"\r\n", "City_SelectNo0", "-1", -1 },
        { "quotes inside blanks", "[S]\r\nA = \" padded \" \r\n", "A", " padded ", 0 },
        { "only one pair taken off", "[S]\r\nA=\"\"x\"\"\r\n", "A", "\"x\"", 0 },
        { "lone quote stays", "[S]\r\nA=\"open\r\n", "A", "\"open", 0 },
        { "single quote character", "[S]\r\nA=\"\r\n", "A", "\"", 0 },
        { "unmatched quotes stay", "[S]\r\nA=\"mixed'\r\n", "A", "\"mixed'", 0 },
        { "quotes not at both ends stay", "[S]\r\nA=\"a\" b\r\n", "A", "\"a\" b", 0 },
        { "quoted record", "[S]\r\nCODE_0=\"UTC,UTC,UTC,UTC,0,0,-52.5\"\r\n", "CODE_0", "UTC,UTC,UTC,UTC,0,0,-52.5", 0 },
        // A key without a value gives the integer default, and the empty text.
        { "empty value", "[S]\r\nRND_INTERVAL=\r\n", "RND_INTERVAL", "", kIntDefault },
        { "blank value", "[S]\r\nA=  \t\r\n", "A", "", kIntDefault },
        { "empty value on the last line", "[S]\r\nA=", "A", "", kIntDefault },
        { "missing key", "[S]\r\nB=1\r\n", "A", std::nullopt, kIntDefault },
        { "no number", "[S]\r\nA=x\r\n", "A", "x", 0 },
        // Hexadecimal after 0x or 0X.
        { "hexadecimal", "[S]\r\nA=0x10\r\n", "A", "0x10", 16 },
        { "negative hexadecimal", "[S]\r\nA=-0x10\r\n", "A", "-0x10", -16 },
        { "upper-case hexadecimal", "[S]\r\nA= 0X1fZ\r\n", "A", "0X1fZ", 31 },
        { "0x without digits", "[S]\r\nA=0x\r\n", "A", "0x", 0 },
        { "largest hexadecimal", "[S]\r\nA=0x7FFFFFFF\r\n", "A", "0x7FFFFFFF", INT32_MAX },
        { "hexadecimal beyond 32 bits", "[S]\r\nA=0x100000001\r\n", "A", "0x100000001", INT32_MAX },
        { "decimal stays decimal", "[S]\r\nA=010\r\n", "A", "010", 10 },
        // CR alone ends a line; a CR before CRLF is not part of the value.
        { "CR-only file", "[S]\rB=1\rA=2\r", "A", "2", 2 },
        { "CR-only file without last line end", "[S]\rA=2", "A", "2", 2 },
        { "CR before CRLF", "[S]\r\nA=1\r\r\nB=2\r\n", "A", "1", 1 },
        { "mixed line ends", "[S]\nB=1\rA=3\r\n", "A", "3", 3 },
        { "LF-only file", "[S]\nA=4\n", "A", "4", 4 },
        // "[S" without its bracket is no section header.
        { "header without bracket", "[S\r\nA=1\r\n", "A", std::nullopt, kIntDefault },
        { "header with its bracket", "[S]\r\n[T\r\nA=5\r\n", "A", "5", 5 },
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        auto file = ProfileFile::fromBytes(testCase.fileText);
        EXPECT_EQ(readString(file, "S", testCase.key), testCase.text);
        EXPECT_EQ(GetPrivateProfileIntA("S", testCase.key, kIntDefault, file), testCase.number);
    }
}

// The first few sections and keys asked for are searched line by line, the
// rest through an index of the whole file, and a key read in the file's
// order is looked for on the line after the last one found: all give the
// same answers, first occurrences winning and letter case ignored, whatever
// the order of the reads.
TEST(PrivateProfileRead, SearchedAndIndexedNamesReadTheSame)
{
    enum class Order { KeysInFileOrder, KeysBackwards, SectionsFirst };
    for (bool repeats : { false, true }) {
        std::string bytes;
        for (int section = 0; section < 30; ++section) {
            bytes += "[Section" + std::to_string(section) + "]\r\n";
            for (int key = 0; key < 30; ++key) {
                bytes += "Key" + std::to_string(key) + "=" + std::to_string(section * 100 + key) + "\r\n";
                if (key % 7 == 3)
                    bytes += "; a comment\r\n\r\n";
            }
            if (repeats)
                bytes += "KEY0=repeated\r\nKey5=repeated\r\n";
        }
        if (repeats)
            bytes += "[SECTION3]\r\nKey0=repeated section\r\nOnlyHere=1\r\n";
        for (Order order : { Order::KeysInFileOrder, Order::KeysBackwards, Order::SectionsFirst }) {
            SCOPED_TRACE(std::string(repeats ? "repeated names, " : "") + "order " + std::to_string(int(order)));
            auto file = ProfileFile::fromBytes(bytes);
            auto check = [&](int section, int key) {
                std::string sectionName = (section % 2 ? "SECTION" : "section") + std::to_string(section);
                std::string keyName = (key % 3 ? "key" : "KEY") + std::to_string(key);
                EXPECT_EQ(GetPrivateProfileIntA(sectionName, keyName, -1, file), section * 100 + key)
                    << sectionName << " " << keyName;
            };
            for (int outer = 0; outer < 30; ++outer) {
                for (int inner = 0; inner < 30; ++inner) {
                    if (order == Order::KeysInFileOrder)
                        check(outer, inner);
                    else if (order == Order::KeysBackwards)
                        check(outer, 29 - inner);
                    else
                        check(29 - inner, outer);
                }
                // A key missing from a section, between keys that are there.
                EXPECT_EQ(readString(file, "Section" + std::to_string(outer), "Key30"), std::nullopt);
            }
            EXPECT_EQ(readString(file, "Section3", "OnlyHere"), std::nullopt);
            EXPECT_EQ(readString(file, "Section30", "Key0"), std::nullopt);
        }
    }
}

TEST(PrivateProfileRead, ByteOrderMarkAndCrlfAreNotPartOfNamesOrValues)
{
    auto file = ProfileFile::load(fixturePath("reading_bom_crlf.ini"));
    ASSERT_TRUE(file.exists());
    EXPECT_EQ(file.encoding(), ProfileEncoding::Utf8);
    EXPECT_EQ(readString(file, "Section", "Key"), "value");
    EXPECT_EQ(GetPrivateProfileIntA("Section", "Count", -1, file), 12);
    EXPECT_EQ(readString(file, "Other", "Last"), "no line end");
}

struct JapaneseReadCase {
    const char* section;
    const char* key;
    const char* expected;
};

TEST(PrivateProfileRead, JapaneseNamesReadTheSameInCp932AndUtf8)
{
    const JapaneseReadCase cases[] = {
        { "MAP_INFO", "CODE_0", "協定世界時,UTC,UTC,UTC,0,0,-52.5" },
        { "MAP_INFO", "CODE_1", "日本,東京,Japan,Tokyo,32400,139.69,-35.68" },
        { "都市", "名前", "東京" },
        // "ア" and "ヂ" differ in CP932 only in a trail byte that looks like
        // 'A' and 'a'; folding letter case must not make them one key.
        { "都市", "ア", "katakana a" },
        { "都市", "ヂ", "katakana di" },
        // "ゾ" ends in 5D (']') and "ソ" in 5C in CP932.
        { "データゾーン", "ソース", "表示" },
        { "データゾーン", "半角", "ｶﾀｶﾅ" },
    };
    const std::pair<const char*, ProfileEncoding> fixtures[] = {
        { "japanese_utf8.ini", ProfileEncoding::Utf8 },
        { "japanese_cp932.ini", ProfileEncoding::Cp932 },
    };
    for (const auto& [fixture, encoding] : fixtures) {
        SCOPED_TRACE(fixture);
        auto file = ProfileFile::load(fixturePath(fixture));
        EXPECT_EQ(file.encoding(), encoding);
        EXPECT_EQ(GetPrivateProfileIntA("MAP_INFO", "NUMBER_OF_CITY", -1, file), 1);
        for (const auto& testCase : cases) {
            EXPECT_EQ(readString(file, testCase.section, testCase.key), testCase.expected)
                << "[" << testCase.section << "] " << testCase.key;
        }
    }
}

TEST(PrivateProfileRead, CopiedCountsBytesInTheFilesEncoding)
{
    uint32_t copied = 0;
    auto utf8 = ProfileFile::load(fixturePath("japanese_utf8.ini"));
    EXPECT_EQ(GetPrivateProfileStringA("都市", "名前", "", kBufferSize, utf8, &copied), "東京");
    EXPECT_EQ(copied, 6u);
    auto cp932 = ProfileFile::load(fixturePath("japanese_cp932.ini"));
    EXPECT_EQ(GetPrivateProfileStringA("都市", "名前", "", kBufferSize, cp932, &copied), "東京");
    EXPECT_EQ(copied, 4u);
    // Half-width katakana take one byte each in CP932.
    EXPECT_EQ(GetPrivateProfileStringA("データゾーン", "半角", "", kBufferSize, cp932, &copied), "ｶﾀｶﾅ");
    EXPECT_EQ(copied, 4u);
}

TEST(PrivateProfileRead, LongValueIsCutToTheBuffer)
{
    std::string digits;
    for (int i = 0; i < 30; ++i)
        digits += "0123456789";
    auto file = ProfileFile::load(fixturePath("long_value.ini"));
    uint32_t copied = 0;
    EXPECT_EQ(GetPrivateProfileStringA("MAP_INFO", "CODE_0", "", 256, file, &copied), digits.substr(0, 255));
    EXPECT_EQ(copied, 255u);
    EXPECT_EQ(GetPrivateProfileStringA("MAP_INFO", "CODE_0", "", 301, file, &copied), digits);
    EXPECT_EQ(copied, 300u);
    EXPECT_EQ(GetPrivateProfileStringA("MAP_INFO", "CODE_0", "", 1, file, &copied), "");
    EXPECT_EQ(copied, 0u);
    copied = 99;
    EXPECT_EQ(GetPrivateProfileStringA("MAP_INFO", "CODE_0", "", 0, file, &copied), "");
    EXPECT_EQ(copied, 0u);
}

struct BoundaryCase {
    const char* name;
    std::string fileBytes;
    std::string expected;
    uint32_t copied;
};

TEST(PrivateProfileRead, CutAtTheBufferNeverSplitsACharacter)
{
    const std::string tokyoEastUtf8 = "東";
    const std::string tokyoEastCp932 = "\x93\x8c";
    const BoundaryCase cases[] = {
        { "utf-8 character ends at 255", "[A]\r\nK=" + std::string(252, 'x') + tokyoEastUtf8 + "\r\n",
          std::string(252, 'x') + tokyoEastUtf8, 255 },
        { "utf-8 character crosses 255", "[A]\r\nK=" + std::string(253, 'x') + tokyoEastUtf8 + "\r\n",
          std::string(253, 'x'), 253 },
        { "cp932 character ends at 255", "[A]\r\nK=" + std::string(253, 'x') + tokyoEastCp932 + "\r\n",
          std::string(253, 'x') + tokyoEastUtf8, 255 },
        { "cp932 character crosses 255", "[A]\r\nK=" + std::string(254, 'x') + tokyoEastCp932 + "\r\n",
          std::string(254, 'x'), 254 },
    };
    for (const auto& testCase : cases) {
        auto file = ProfileFile::fromBytes(testCase.fileBytes);
        uint32_t copied = 0;
        EXPECT_EQ(GetPrivateProfileStringA("A", "K", "", 256, file, &copied), testCase.expected) << testCase.name;
        EXPECT_EQ(copied, testCase.copied) << testCase.name;
    }
}

TEST(PrivateProfileRead, DefaultTextIsCutLikeAValue)
{
    uint32_t copied = 0;
    auto ascii = ProfileFile::fromBytes("[A]\r\nK=1\r\n");
    EXPECT_EQ(GetPrivateProfileStringA("A", "Missing", "UTC,UTC,0,0,-52.5", 4, ascii, &copied), "UTC");
    EXPECT_EQ(copied, 3u);
    EXPECT_EQ(GetPrivateProfileStringA("A", "Missing", "東京", 5, ascii, &copied), "東");
    EXPECT_EQ(copied, 3u);
    auto cp932 = ProfileFile::load(fixturePath("japanese_cp932.ini"));
    EXPECT_EQ(GetPrivateProfileStringA("A", "Missing", "東京", 5, cp932, &copied), "東京");
    EXPECT_EQ(copied, 4u);
    EXPECT_EQ(GetPrivateProfileStringA("A", "Missing", "東京", 4, cp932, &copied), "東");
    EXPECT_EQ(copied, 2u);
}

TEST(PrivateProfileRead, NulBytesAreOrdinaryBytes)
{
    auto file = ProfileFile::fromBytes("[S]\nK=a\0b\nN\0ame=2\n\0\n[T\0U]\nL=7\0"s);
    std::string value;
    ASSERT_TRUE(file.find("S", "K", value));
    EXPECT_EQ(value, "a\0b"s);
    EXPECT_EQ(GetPrivateProfileIntA("S", "N\0ame"s, -1, file), 2);
    EXPECT_EQ(GetPrivateProfileIntA("T\0U"s, "L", -1, file), 7);
    uint32_t copied = 0;
    EXPECT_EQ(GetPrivateProfileStringA("T\0U"s, "L", "", 256, file, &copied), "7\0"s);
    EXPECT_EQ(copied, 2u);
}

TEST(PrivateProfileRead, FindLeavesTheValueAloneWhenMissing)
{
    auto file = ProfileFile::fromBytes(readFixture("reading.ini"));
    std::string value = "unchanged";
    EXPECT_FALSE(file.find("Plain", "Missing", value));
    EXPECT_FALSE(file.find("Missing", "Number", value));
    EXPECT_EQ(value, "unchanged");
    EXPECT_TRUE(file.find("Plain", "Empty", value));
    EXPECT_EQ(value, "");
}

} // namespace
