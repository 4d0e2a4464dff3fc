#include "platform/runtime/text_functions.h"

#include "platform/runtime/runtime_error.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <vector>

namespace platform {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Accepts [sign] digits [. digits] [e [sign] digits], at least one digit
// before the exponent.
bool isDecimalNumber(std::string_view text)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < text.size() && isDigit(text[i]))
        ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        std::size_t exponentDigits = 0;
        while (i < text.size() && isDigit(text[i]))
            ++i, ++exponentDigits;
        if (exponentDigits == 0)
            return false;
    }
    return i == text.size();
}

std::string quoted(std::string_view text)
{
    constexpr std::size_t kShown = 40;
    std::string shown(text.substr(0, kShown));
    if (text.size() > kShown)
        shown += "...";
    return "\"" + shown + "\"";
}

std::size_t utf8Length(std::string_view text)
{
    std::size_t count = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80)
            ++count;
    return count;
}

// Splits "a<sep>b<sep>c" into three whole numbers, blanks allowed around each.
bool splitThree(std::string_view text, char separator, std::array<int, 3>& parts)
{
    std::size_t field = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != separator)
            continue;
        if (field >= parts.size())
            return false;
        auto piece = trimBlanks(text.substr(start, i - start));
        if (piece.empty() || piece.size() > 6)
            return false;
        int value = 0;
        for (char c : piece) {
            if (!isDigit(c))
                return false;
            value = value * 10 + (c - '0');
        }
        parts[field++] = value;
        start = i + 1;
    }
    return field == parts.size();
}

std::string twoDigits(int value)
{
    std::string text = std::to_string(value);
    return text.size() < 2 ? "0" + text : text;
}

[[noreturn]] void raiseNotFormattable(std::string_view text, std::string_view pattern)
{
    raiseTypeMismatch(quoted(text) + " is not a " + (pattern.find('y') != std::string_view::npos ? "date" : "time")
                      + " that Format can write as " + quoted(pattern));
}

} // namespace

std::string Str(int64_t value)
{
    return value < 0 ? std::to_string(value) : " " + std::to_string(value);
}

std::string CStr(int64_t value)
{
    return std::to_string(value);
}

namespace {

// The conversions, with the description of what is converted asked for
// only when there is an error to report.
template <typename Describe>
double textToDouble(std::string_view text, const Describe& describe)
{
    auto number = trimBlanks(text);
    if (!isDecimalNumber(number))
        raiseTypeMismatch(describe() + " is " + quoted(text) + ", which is not a number");
    // from_chars reads the same decimal text as strtod, without a locale
    // and without a copy, but takes no '+'.
    std::string_view unsigned_ = number.front() == '+' ? number.substr(1) : number;
    double value = 0;
    auto [end, error] = std::from_chars(unsigned_.data(), unsigned_.data() + unsigned_.size(), value);
    if (error == std::errc() && end == unsigned_.data() + unsigned_.size())
        return value;
    // Beyond the range of a double (either way): the C library's answer,
    // infinity or the nearest value towards zero.
    std::string copy(number);
    errno = 0;
    value = std::strtod(copy.c_str(), nullptr);
    if (errno == ERANGE && std::isinf(value))
        raiseOverflow(describe() + " is " + quoted(text) + ", which is too large a number");
    return value;
}

template <typename Describe>
int32_t textToLong(std::string_view text, const Describe& describe)
{
    double value = textToDouble(text, describe);
    double rounded = std::nearbyint(value); // the default rounding mode: a half goes to the even neighbour
    if (!(rounded >= std::numeric_limits<int32_t>::min() && rounded <= std::numeric_limits<int32_t>::max()))
        raiseOverflow(describe() + " is " + quoted(text) + ", which does not fit in 32 bits");
    return static_cast<int32_t>(rounded);
}

} // namespace

double TextToDouble(std::string_view text, const std::string& what)
{
    return textToDouble(text, [&] { return what; });
}

double TextToDouble(std::string_view text, const std::function<std::string()>& describe)
{
    return textToDouble(text, describe);
}

int32_t TextToLong(std::string_view text, const std::string& what)
{
    return textToLong(text, [&] { return what; });
}

int32_t TextToLong(std::string_view text, const std::function<std::string()>& describe)
{
    return textToLong(text, describe);
}

int16_t ToInteger(int64_t value, const std::string& what)
{
    if (value < std::numeric_limits<int16_t>::min() || value > std::numeric_limits<int16_t>::max())
        raiseOverflow(what + " = " + std::to_string(value) + ": does not fit in 16 bits (-32768 to 32767)");
    return static_cast<int16_t>(value);
}

int32_t ToLong(int64_t value, const std::string& what)
{
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        raiseOverflow(what + " = " + std::to_string(value) + ": does not fit in 32 bits");
    return static_cast<int32_t>(value);
}

float ToSingle(double value, const std::string& what)
{
    if (std::isnan(value) || std::fabs(value) > std::numeric_limits<float>::max())
        raiseOverflow(what + " = " + std::to_string(value) + ": does not fit in a Single");
    return static_cast<float>(value);
}

std::string UCase(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return result;
}

std::string Left(std::string_view text, int64_t length)
{
    if (length <= 0)
        return {};
    if (static_cast<std::size_t>(length) >= utf8Length(text))
        return std::string(text);
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (characters == static_cast<std::size_t>(length))
                return std::string(text.substr(0, i));
            ++characters;
        }
    }
    return std::string(text);
}

std::string Space(int64_t count)
{
    return count > 0 ? std::string(static_cast<std::size_t>(count), ' ') : std::string();
}

std::string Format(std::string_view text, std::string_view pattern)
{
    std::array<int, 3> parts {};
    if (pattern == " hh:mm" || pattern == "hh:mm:ss") {
        if (!splitThree(text, ':', parts) || parts[0] > 23 || parts[1] > 59 || parts[2] > 59)
            raiseNotFormattable(text, pattern);
        std::string result = twoDigits(parts[0]) + ":" + twoDigits(parts[1]);
        if (pattern == " hh:mm")
            return " " + result;
        return result + ":" + twoDigits(parts[2]);
    }
    if (pattern == "  ddd, mmm d yyyy") {
        if (!splitThree(text, '/', parts))
            raiseNotFormattable(text, pattern);
        using namespace std::chrono;
        year_month_day date { year { parts[0] }, month { static_cast<unsigned>(parts[1]) },
                              day { static_cast<unsigned>(parts[2]) } };
        if (!date.ok() || parts[0] < 100 || parts[0] > 9999)
            raiseNotFormattable(text, pattern);
        static constexpr std::array<const char*, 7> kWeekdays { "Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat" };
        static constexpr std::array<const char*, 12> kMonths { "Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec" };
        weekday dayOfWeek { sys_days { date } };
        return std::string("  ") + kWeekdays[dayOfWeek.c_encoding()] + ", " + kMonths[parts[1] - 1] + " "
            + std::to_string(parts[2]) + " " + std::to_string(parts[0]);
    }
    raiseNotFormattable(text, pattern);
}

} // namespace platform
