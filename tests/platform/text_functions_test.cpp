// The runtime's text functions, which the clock texts and the settings files
// depend on: the conversions of numbers both ways, with the run-time errors
// they raise, character-wise cuts, and Format. The same table runs in the
// Windows build, where the C library is another.

#include "platform/runtime/runtime_error.h"
#include "platform/runtime/text_functions.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace {

using platform::RuntimeError;
using platform::RuntimeErrorKind;

struct NumberCase {
    const char* text;
    // The result, or the error it raises.
    std::optional<int32_t> value;
    std::optional<RuntimeErrorKind> error = std::nullopt;
};

TEST(TextFunctions, TextToLongReadsNumbersAsTheRuntimeDoes)
{
    const NumberCase cases[] = {
        { "60", 60 },
        { "  -540 ", -540 },
        { "+7", 7 },
        { "\t12\t", 12 },
        { "2.5", 2 },   // a half goes to the even neighbour
        { "3.5", 4 },
        { "-2.5", -2 },
        { "1e3", 1000 },
        { "1.5E+2", 150 },
        { "1e-400", 0 }, // below a double's range: towards zero
        { ".5", 0 },
        { "2147483647.4", 2147483647 },
        { "-2147483648.5", -2147483648 },
        { "2147483647.5", std::nullopt, RuntimeErrorKind::Overflow },
        { "2147483648", std::nullopt, RuntimeErrorKind::Overflow },
        { "1e400", std::nullopt, RuntimeErrorKind::Overflow },
        { "-1e400", std::nullopt, RuntimeErrorKind::Overflow },
        { "", std::nullopt, RuntimeErrorKind::TypeMismatch },
        { " ", std::nullopt, RuntimeErrorKind::TypeMismatch },
        { "1,5", std::nullopt, RuntimeErrorKind::TypeMismatch },
        { "0x10", std::nullopt, RuntimeErrorKind::TypeMismatch },
        { "1e", std::nullopt, RuntimeErrorKind::TypeMismatch },
        { "inf", std::nullopt, RuntimeErrorKind::TypeMismatch },
        { "nan", std::nullopt, RuntimeErrorKind::TypeMismatch },
        { "12abc", std::nullopt, RuntimeErrorKind::TypeMismatch },
        { "\xef\xbc\x91", std::nullopt, RuntimeErrorKind::TypeMismatch }, // a full-width 1
    };
    for (const NumberCase& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.text + "\"");
        try {
            int32_t value = platform::TextToLong(c.text, "the offset of CODE_1");
            EXPECT_EQ(value, c.value);
            EXPECT_FALSE(c.error) << "no error was raised";
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.kind(), c.error) << error.report();
            EXPECT_NE(error.detail().find("the offset of CODE_1"), std::string::npos) << error.detail();
        }
    }
}

TEST(TextFunctions, TextToDoubleKeepsEveryDigitItCan)
{
    EXPECT_EQ(platform::TextToDouble("0.1", "x"), 0.1);
    EXPECT_EQ(platform::TextToDouble("-123.456e-2", "x"), -1.23456);
    EXPECT_EQ(platform::TextToDouble("1.7976931348623157e308", "x"), std::numeric_limits<double>::max());
    EXPECT_EQ(platform::TextToDouble("4.9e-324", "x"), std::numeric_limits<double>::denorm_min());
}

struct TextCase {
    std::string result;
    std::string expected;
};

TEST(TextFunctions, NumbersAndCutsGiveTheRuntimesTexts)
{
    const TextCase cases[] = {
        { platform::Str(8), " 8" },
        { platform::Str(0), " 0" },
        { platform::Str(-1), "-1" },
        { platform::Str(std::numeric_limits<int64_t>::min()), "-9223372036854775808" },
        { platform::CStr(60), "60" },
        { platform::CStr(-32768), "-32768" },
        { platform::UCase("/c:abc \xc3\xa9"), "/C:ABC \xc3\xa9" }, // only ASCII letters change
        { platform::Left("\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e", 2), "\xe6\x97\xa5\xe6\x9c\xac" }, // 日本語 → 日本
        { platform::Left("/s", 5), "/s" },
        { platform::Left("abc", 0), "" },
        { platform::Left("abc", -1), "" },
        { platform::Space(3), "   " },
        { platform::Space(-3), "" },
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(c.result, c.expected);
}

struct FormatCase {
    const char* text;
    const char* pattern;
    const char* expected; // nullptr: a type mismatch
};

TEST(TextFunctions, FormatWritesTimesAndDatesInEnglish)
{
    const FormatCase cases[] = {
        { " 8: 5: 3", " hh:mm", " 08:05" },
        { "23:59:59", "hh:mm:ss", "23:59:59" },
        { "0:0:0", "hh:mm:ss", "00:00:00" },
        { " 2002/ 5/ 7", "  ddd, mmm d yyyy", "  Tue, May 7 2002" },
        { "2024/2/29", "  ddd, mmm d yyyy", "  Thu, Feb 29 2024" },
        { "24:00:00", "hh:mm:ss", nullptr },
        { "12:60:00", " hh:mm", nullptr },
        { "12:00", "hh:mm:ss", nullptr },
        { "2023/2/29", "  ddd, mmm d yyyy", nullptr },
        { "2002/13/1", "  ddd, mmm d yyyy", nullptr },
        { "12:00:00", "yyyy", nullptr },
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " as " + c.pattern);
        try {
            std::string result = platform::Format(c.text, c.pattern);
            ASSERT_NE(c.expected, nullptr) << "gave \"" << result << "\"";
            EXPECT_EQ(result, c.expected);
        } catch (const RuntimeError& error) {
            EXPECT_EQ(c.expected, nullptr) << error.report();
            EXPECT_EQ(error.kind(), RuntimeErrorKind::TypeMismatch);
        }
    }
}

} // namespace
