#pragma once

// The operating system's character-set conversion between CP932 and UTF-8,
// as the settings-file services (platform/profile/text_encoding.h) and the
// system's own command line use it. platform/system/posix/ implements it with
// the C library's iconv and its "CP932" table, which maps the ASCII bytes
// 0x00 to 0x7F to themselves (0x5C is the backslash and 0x7E the tilde, not
// the yen sign and the overline of JIS X 0201); platform/system/win32/ with
// the system's own code page 932.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// True when `text` is well-formed UTF-8: no stray continuation bytes, no
// truncated, overlong or surrogate sequences, nothing above U+10FFFF. NUL
// bytes are U+0000 and count as valid.
bool isValidUtf8(std::string_view text);

// The number of bytes of the well-formed UTF-8 character that starts at
// `position`, or 0 when the bytes there are not one.
std::size_t utf8CharacterLength(std::string_view text, std::size_t position);

// Converts between CP932 and UTF-8. Each conversion is all or nothing:
// std::nullopt when any character of the input cannot be converted (a
// malformed sequence, or a character CP932 has no code for), never a partly
// converted or substituted text. One converter keeps its iconv descriptors
// open, so a loop of many small conversions does not open them each time.
class Cp932Converter {
public:
    Cp932Converter() = default;
    ~Cp932Converter();
    Cp932Converter(const Cp932Converter&) = delete;
    Cp932Converter& operator=(const Cp932Converter&) = delete;

    std::optional<std::string> toUtf8(std::string_view cp932);
    std::optional<std::string> fromUtf8(std::string_view utf8);

private:
    // iconv_t descriptors, opened on first use; (void*)-1 when opening failed.
    void* toUtf8Descriptor_ = nullptr;
    void* fromUtf8Descriptor_ = nullptr;
};

} // namespace platform

namespace platform::system {

// `bytes` is text in code page 932 (Shift_JIS with its extensions) throughout.
bool isCp932(std::string_view bytes);

} // namespace platform::system
