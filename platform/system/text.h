#pragma once

// The operating system's character-set conversion, as the platform's own
// text functions use it: platform/system/posix/ implements it with iconv, and the
// conversions of Cp932Converter (platform/profile/text_encoding.h) with it.

#include <string_view>

namespace platform::system {

// `bytes` is text in code page 932 (Shift_JIS with its extensions) throughout.
bool isCp932(std::string_view bytes);

} // namespace platform::system
