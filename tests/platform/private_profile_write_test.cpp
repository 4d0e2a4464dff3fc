#include "platform/profile/private_profile.h"

#include "profile_test_support.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;
using platform::ProfileEncoding;
using platform::ProfileFile;
using profile_test::readFixture;

std::optional<std::string> findValue(const ProfileFile& file, const std::string& section, const std::string& key)
{
    std::string value;
    if (!file.find(section, key, value))
        return std::nullopt;
    return value;
}

struct EditCase {
    const char* name;
    std::string before;
    std::string section;
    std::string key;
    std::string value;
    std::string after;
    // What a read gives afterwards, when it differs from `value`.
    std::optional<std::string> readBack = std::nullopt;
};

TEST(PrivateProfileWrite, SetChangesExactlyTheBytesItMust)
{
    const EditCase cases[] = {
        { "value bytes only", "[A]\r\nKey  =  old  \r\nNext=1\r\n", "A", "key", "new",
          "[A]\r\nKey  =  new  \r\nNext=1\r\n" },
        { "empty value gets one", "[A]\nK=\nL=2\n", "A", "K", "5", "[A]\nK=5\nL=2\n" },
        { "value made empty", "[A]\nK=old\nL=2\n", "A", "K", "", "[A]\nK=\nL=2\n" },
        { "first of two keys", "[A]\nK=1\nK=2\n", "A", "K", "9", "[A]\nK=9\nK=2\n" },
        { "first of two sections", "[A]\nK=1\n[a]\nK=2\n", "A", "K", "9", "[A]\nK=9\n[a]\nK=2\n" },
        { "file's spelling kept", "[select_city]\nCity_MarkNo0=0\n", "SELECT_CITY", "CITY_MARKNO0", "1",
          "[select_city]\nCity_MarkNo0=1\n" },
        { "last line keeps having no line end", "[A]\nK=old", "A", "K", "new", "[A]\nK=new" },
        { "longer value moves what follows", "[A]\nK=1\nL=2\n[B]\nM=3\n", "A", "K", "1000",
          "[A]\nK=1000\nL=2\n[B]\nM=3\n" },
        { "new key above a trailing blank line and comment", "[A]\r\nK=1\r\n\r\n; about B\r\n[B]\r\nL=2\r\n", "A",
          "New", "v", "[A]\r\nK=1\r\nNew=v\r\n\r\n; about B\r\n[B]\r\nL=2\r\n" },
        { "new key under a bare header", "[A]\n[B]\n", "A", "New", "v", "[A]\nNew=v\n[B]\n" },
        { "new key after a last line without line end", "[A]\nK=1", "A", "New", "v", "[A]\nK=1\nNew=v\n" },
        { "new key under a header without line end", "[A]", "A", "New", "v", "[A]\r\nNew=v\r\n" },
        // A CR alone ends the line: the new line follows it directly.
        { "new key after a last line ending in CR alone", "[A]\nK=1\r", "A", "New", "v", "[A]\nK=1\rNew=v\n" },
        { "new key in the first of two sections", "[A]\nK=1\n[B]\n[A]\nL=2\n", "A", "New", "v",
          "[A]\nK=1\nNew=v\n[B]\n[A]\nL=2\n" },
        { "new key after the last key, not after a stray line", "[A]\nK=1\nstray\n", "A", "New", "v",
          "[A]\nK=1\nNew=v\nstray\n" },
        { "new section at the end", "[A]\r\nK=1\r\n", "B", "New", "v", "[A]\r\nK=1\r\n[B]\r\nNew=v\r\n" },
        { "new section after a line end added", "[A]\nK=1", "B", "New", "v", "[A]\nK=1\n[B]\nNew=v\n" },
        { "new file uses CRLF", "", "B", "New", "v", "[B]\r\nNew=v\r\n" },
        { "comment without line end", "; note", "B", "New", "v", "; note\r\n[B]\r\nNew=v\r\n" },
        { "first line end decides", "[A]\nK=1\r\n", "B", "New", "v", "[A]\nK=1\r\n[B]\nNew=v\n" },
        { "byte-order mark kept", "\xEF\xBB\xBF[A]\nK=1\n", "A", "K", "2", "\xEF\xBB\xBF[A]\nK=2\n" },
        { "byte-order mark only", "\xEF\xBB\xBF", "B", "New", "v", "\xEF\xBB\xBF[B]\r\nNew=v\r\n" },
        { "blanks around names dropped", "[A]\n", " A ", "\tNew ", "v", "[A]\nNew=v\n" },
        // Quotes keep what reading would otherwise drop.
        { "blanks around a value kept in quotes", "[A]\nK=1\n", "A", "K", " two words ", "[A]\nK=\" two words \"\n" },
        { "quoted value kept in quotes", "[A]\nK=1\n", "A", "K", "'x'", "[A]\nK=\"'x'\"\n" },
        { "quotes of the old value replaced", "[A]\nK=\"old\"\n", "A", "K", "new", "[A]\nK=new\n" },
        { "lone quote stored as it is", "[A]\nK=1\n", "A", "K", "\"open", "[A]\nK=\"open\n" },
        { "new key in a CR-only file", "[A]\rK=1\r[B]\rL=2\r", "A", "New", "v", "[A]\rK=1\rNew=v\r[B]\rL=2\r" },
        { "new section in a CR-only file", "[A]\rK=1\r", "B", "New", "v", "[A]\rK=1\r[B]\rNew=v\r" },
        { "new key in an LF-only file", "[A]\nK=1\n[B]\n", "A", "New", "v", "[A]\nK=1\nNew=v\n[B]\n" },
        { "CR before CRLF is a line end of its own", "[A]\r\nK=1\r\r\n", "A", "K", "2", "[A]\r\nK=2\r\r\n" },
        // The key line ends at its CR; the new line follows it, with CRLF.
        { "CR before the first CRLF makes no CR-only file", "[A]\r\r\nK=1\r\r\n", "A", "New", "v",
          "[A]\r\r\nK=1\rNew=v\r\n\r\n" },
        { "nul byte in a value", "[A]\nK=1\n", "A", "K", "a\0b"s, "[A]\nK=a\0b\n"s },
        { "japanese value in a utf-8 file", "[A]\nK=1\n", "A", "K", "東京", "[A]\nK=東京\n" },
        { "japanese names in a utf-8 file", "[A]\nK=1\n", "都市", "名前", "東京", "[A]\nK=1\n[都市]\n名前=東京\n" },
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        auto file = ProfileFile::fromBytes(testCase.before);
        ASSERT_TRUE(file.set(testCase.section, testCase.key, testCase.value));
        EXPECT_EQ(file.bytes(), testCase.after);
        std::string expected = testCase.readBack.value_or(testCase.value);
        EXPECT_EQ(findValue(file, testCase.section, testCase.key), expected);
        EXPECT_EQ(findValue(ProfileFile::fromBytes(file.bytes()), testCase.section, testCase.key), expected);
    }
}

// Edits in many sections and keys, past the point where sections and keys
// are indexed rather than searched: every value reads back before and
// after the edits are applied to the bytes, and a fresh parse agrees.
TEST(PrivateProfileWrite, ManyEditsReadBackAndMatchAFreshParse)
{
    std::string bytes;
    for (int section = 0; section < 12; ++section) {
        bytes += "[S" + std::to_string(section) + "]\n";
        for (int key = 0; key < 12; ++key)
            bytes += "K" + std::to_string(key) + "=" + std::to_string(key) + "\n";
        bytes += "; about the next section\n";
    }
    auto file = ProfileFile::fromBytes(bytes);
    auto expected = [](int section, int key) -> std::optional<std::string> {
        if (section >= 12 && key >= 3)
            return std::nullopt;
        if (key % 2 == 0 || section >= 12)
            return "v" + std::to_string(section) + "." + std::to_string(key);
        return key < 12 ? std::optional<std::string>(std::to_string(key)) : std::nullopt;
    };
    for (int section = 0; section < 20; ++section) {
        for (int key = 0; key < 14; ++key) {
            if (auto value = expected(section, key); value && value->front() == 'v') {
                ASSERT_TRUE(file.set("s" + std::to_string(section), "k" + std::to_string(key), *value));
            }
        }
    }
    auto readAll = [&](const ProfileFile& profile) {
        for (int section = 0; section < 20; ++section) {
            for (int key = 0; key < 14; ++key) {
                EXPECT_EQ(findValue(profile, "S" + std::to_string(section), "K" + std::to_string(key)),
                          expected(section, key))
                    << "[S" << section << "] K" << key;
            }
        }
    };
    readAll(file);
    auto fresh = ProfileFile::fromBytes(file.bytes());
    readAll(fresh);
    readAll(file);
    // New keys went after the last key of their section, above its comment.
    EXPECT_NE(file.bytes().find("K11=11\nk12=v0.12\n; about the next section\n[S1]\n"), std::string::npos);
}

struct RefusedCase {
    const char* name;
    std::string section;
    std::string key;
    std::string value;
};

TEST(PrivateProfileWrite, UnstorableTextIsRefusedAndChangesNothing)
{
    const std::string before = "[A]\r\nK=1\r\n";
    const RefusedCase cases[] = {
        { "carriage return in the value", "A", "K", "1\r2" },
        { "line feed in the value", "A", "K", "1\n[B]" },
        { "line break in a new key's value", "A", "New", "a\r\nb" },
        { "value not utf-8", "A", "K", "\x93\x8c" },
        { "empty key", "A", "", "1" },
        { "blank key", "A", "  ", "1" },
        { "'=' in the key", "A", "K=2", "1" },
        { "key that reads as a header", "A", "[B", "1" },
        { "key that reads as a comment", "A", ";K", "1" },
        { "key that reads as a hash comment", "A", "#K", "1" },
        { "line break in the key", "A", "K\nL", "1" },
        { "empty section", "", "K", "1" },
        { "']' in the section", "A]B", "K", "1" },
        { "line break in the section", "A\r\n[B", "K", "1" },
    };
    for (const auto& testCase : cases) {
        auto file = ProfileFile::fromBytes(before);
        EXPECT_FALSE(file.set(testCase.section, testCase.key, testCase.value)) << testCase.name;
        EXPECT_EQ(file.bytes(), before) << testCase.name;
        EXPECT_EQ(findValue(file, "A", "K"), "1") << testCase.name;
    }
}

TEST(PrivateProfileWrite, Cp932FileRefusesWhatCp932CannotHold)
{
    const std::string before = readFixture("writer_cp932.ini");
    auto file = ProfileFile::fromBytes(before);
    ASSERT_EQ(file.encoding(), ProfileEncoding::Cp932);
    EXPECT_FALSE(file.set("表示", "都市名", "\xF0\x9F\x98\x80"));  // an emoji
    EXPECT_FALSE(file.set("表示", "都市名", "서울"));               // Hangul
    EXPECT_FALSE(file.set("표시", "都市名", "大阪"));               // a Hangul section name
    EXPECT_FALSE(file.set("表示", "\xF0\x9F\x98\x80", "大阪"));     // an emoji key
    EXPECT_EQ(file.bytes(), before);
    EXPECT_EQ(findValue(file, "表示", "都市名"), "東京");
}

struct GoldenEdit {
    const char* section;
    const char* key;
    const char* value;
};

// The edits the saved-settings writer makes, on a file laid out as users
// keep it: a changed value with blanks around '=', a key spelled in another
// case, a new key in a section followed by a comment, a new key after a
// last line without line end, and a new section.
const GoldenEdit kSettingsEdits[] = {
    { "SELECT_CITY", "TimeZone", "0" },
    { "SELECT_CITY", "City_MarkNo0", "1" },
    { "SELECT_CITY", "City_SelectNo1", "-1" },
    { "PROC_INFO", "RND_INTERVAL", "15" },
    { "PROC_INFO", "MARK_INTERVAL", "2" },
    { "NEW_SECTION", "Added", "yes" },
};

TEST(PrivateProfileWrite, GoldenFilesKeepTheirLineEndings)
{
    const std::pair<const char*, const char*> fixtures[] = {
        { "writer_lf.ini", "writer_lf.expected.ini" },
        { "writer_crlf.ini", "writer_crlf.expected.ini" },
    };
    for (const auto& [input, expected] : fixtures) {
        SCOPED_TRACE(input);
        auto file = ProfileFile::fromBytes(readFixture(input));
        for (const auto& edit : kSettingsEdits)
            ASSERT_TRUE(file.set(edit.section, edit.key, edit.value)) << edit.key;
        EXPECT_EQ(file.bytes(), readFixture(expected));
    }
}

TEST(PrivateProfileWrite, GoldenCp932FileStaysCp932)
{
    auto file = ProfileFile::fromBytes(readFixture("writer_cp932.ini"));
    ASSERT_EQ(file.encoding(), ProfileEncoding::Cp932);
    ASSERT_TRUE(file.set("表示", "都市名", "大阪"));
    ASSERT_TRUE(file.set("表示", "国名", "日本"));
    ASSERT_TRUE(file.set("新しい節", "キー", "値"));
    EXPECT_EQ(file.bytes(), readFixture("writer_cp932.expected.ini"));
    auto reread = ProfileFile::fromBytes(file.bytes());
    EXPECT_EQ(reread.encoding(), ProfileEncoding::Cp932);
    EXPECT_EQ(findValue(reread, "新しい節", "キー"), "値");
    EXPECT_EQ(findValue(reread, "MAP_INFO", "CODE_0"), "協定世界時,UTC,UTC,UTC,0,0,-52.5");
}

TEST(PrivateProfileWrite, WritingTheSameValueChangesNoByte)
{
    for (const char* fixture : { "reading.ini", "writer_crlf.ini", "japanese_cp932.ini" }) {
        SCOPED_TRACE(fixture);
        const std::string before = readFixture(fixture);
        auto file = ProfileFile::fromBytes(before);
        std::string value;
        for (const auto& [section, key] : { std::pair { "Plain", "Spaced" }, std::pair { "PROC_INFO", "RND_INTERVAL" },
                                            std::pair { "都市", "名前" }, std::pair { "MAP_INFO", "CODE_1" } }) {
            if (file.find(section, key, value)) {
                ASSERT_TRUE(file.set(section, key, value)) << key;
            }
        }
        EXPECT_EQ(file.bytes(), before);
    }
}

// Many edits in a row must leave the in-memory index exactly where a fresh
// parse of the edited bytes would put it: every later lookup depends on the
// positions moved by each earlier edit.
TEST(PrivateProfileWrite, EditsKeepTheIndexEqualToAFreshParse)
{
    struct Flavour {
        const char* name;
        std::string firstLine;
        std::vector<std::string> lines;
        std::vector<std::string> sections;
        std::vector<std::string> keys;
    };
    const Flavour flavours[] = {
        { "utf-8", "",
          { "[A]", "[a]", "[B]", " [ C ] ", "K=1", "k = 2", "L=", "; c", "# d", "", "stray", "M\t=\t3\t", "N=\0"s,
            "=orphan" },
          { "A", "B", "C", "D" },
          { "K", "L", "M", "N" } },
        // "ゾ" ends in ']' and "ア"/"ヂ" differ only by a trail byte that looks
        // like a letter; a CP932 comment first makes the file CP932.
        { "cp932", "; \x93\x8c\x8b\x9e",
          { "[\x83\x5d]", "[A]", "\x83\x41=1", "\x83\x61 = 2", "K=\x95\x5c", "", "; \x83\x5d", "[\x83\x41]" },
          { "ゾ", "A", "ア", "ヂ" },
          { "ア", "ヂ", "K", "表" } },
    };
    const std::string values[] = { "", "v", "a longer value", " padded ", "東京", "\"quoted\"", "'" };
    const std::string lineEndings[] = { "\n", "\r\n", "\r" };
    std::mt19937 random(20240601);
    for (const auto& flavour : flavours) {
        for (int round = 0; round < 150; ++round) {
            std::string bytes = flavour.firstLine.empty() ? "" : flavour.firstLine + "\r\n";
            int lineCount = static_cast<int>(random() % 12);
            for (int i = 0; i < lineCount; ++i)
                bytes += flavour.lines[random() % flavour.lines.size()] + lineEndings[random() % std::size(lineEndings)];
            // The last line without its line end, or with a CR but no LF.
            if (random() % 2 == 0 && !bytes.empty() && bytes.back() == '\n') {
                bytes.erase(bytes.find_last_not_of("\r\n") + 1);
                if (random() % 3 == 0)
                    bytes += '\r';
            }
            auto file = ProfileFile::fromBytes(bytes);
            for (int edit = 0; edit < 8; ++edit) {
                const std::string& section = flavour.sections[random() % flavour.sections.size()];
                const std::string& key = flavour.keys[random() % flavour.keys.size()];
                const std::string& value = values[random() % std::size(values)];
                ASSERT_TRUE(file.set(section, key, value)) << flavour.name << " round " << round;
                // What the edited profile reads before its bytes are asked
                // for, against a fresh parse of those bytes.
                std::vector<std::optional<std::string>> edited;
                for (const auto& anySection : flavour.sections)
                    for (const auto& anyKey : flavour.keys)
                        edited.push_back(findValue(file, anySection, anyKey));
                auto fresh = ProfileFile::fromBytes(file.bytes());
                ASSERT_EQ(fresh.encoding(), file.encoding());
                std::size_t index = 0;
                for (const auto& anySection : flavour.sections) {
                    for (const auto& anyKey : flavour.keys) {
                        ASSERT_EQ(edited[index++], findValue(fresh, anySection, anyKey))
                            << flavour.name << " round " << round << " edit " << edit << " [" << anySection
                            << "] " << anyKey << " in:\n"
                            << file.bytes();
                    }
                }
                ASSERT_EQ(findValue(file, section, key), value);
            }
        }
    }
}

} // namespace
