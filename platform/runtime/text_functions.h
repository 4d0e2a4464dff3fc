#pragma once

// The text services of the forms runtime: number/text conversions with the
// runtime's errors, blanks, upper-casing, and Format with the date and time
// patterns the program uses. Texts are UTF-8; lengths and positions count
// characters, not bytes.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace platform {

// Str: a number as text with a blank before a number of 0 or more and a minus
// sign before a negative one: 8 gives " 8", -1 gives "-1".
std::string Str(int64_t value);
// CStr: a number as decimal text, no blanks, no leading zeros: "60", "-1".
std::string CStr(int64_t value);

// Text to number, as the runtime converts it: optional blanks, an optional
// sign, digits with an optional point and fraction and an optional exponent,
// optional blanks. Anything else, the empty text included, raises the type
// mismatch run-time error whose report quotes the text and says what was
// converted (`what`, e.g. "the offset of CODE_12").
double TextToDouble(std::string_view text, const std::string& what);
// The same, then the nearest integer, a half going to the even neighbour; a
// result beyond 32 bits raises the overflow error.
int32_t TextToLong(std::string_view text, const std::string& what);
// The same two, with the description built only for an error report, so a
// loop that converts many numbers builds no texts.
double TextToDouble(std::string_view text, const std::function<std::string()>& describe);
int32_t TextToLong(std::string_view text, const std::function<std::string()>& describe);

// Narrowing to 16 bits with a range check: overflow error when the value is
// outside -32768..32767, the report naming `what` and the value.
int16_t ToInteger(int64_t value, const std::string& what);
// Narrowing to 32 bits with a range check.
int32_t ToLong(int64_t value, const std::string& what);
// Narrowing to Single: overflow error when the value is beyond its range.
float ToSingle(double value, const std::string& what);

std::string UCase(std::string_view text);
std::string Left(std::string_view text, int64_t length);
std::string Space(int64_t count);

// Format of a text of hours, minutes and seconds joined by ":" (" 8: 30: 15")
// with " hh:mm" or "hh:mm:ss", or of year, month and day joined by "/"
// (" 2002/ 5/ 7") with "  ddd, mmm d yyyy". Weekday and month names are
// English, whatever the system's locale. A text that is not a time or a date
// raises the type mismatch error.
std::string Format(std::string_view text, std::string_view pattern);

} // namespace platform
