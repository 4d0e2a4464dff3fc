#pragma once

// The two text encodings a settings file can be in, and the conversions
// between them. A file written on a Japanese Windows system is in CP932
// (Microsoft's Shift-JIS); one written elsewhere is in UTF-8. Everything
// inside the program is UTF-8, so the settings-file services convert at the
// border and nowhere else.
//
// The conversions use the C library's iconv with its "CP932" table, which
// maps the ASCII bytes 0x00 to 0x7F to themselves (0x5C is the backslash and
// 0x7E the tilde, not the yen sign and the overline of JIS X 0201).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

enum class TextEncoding { Utf8, Cp932 };

// True when `text` is well-formed UTF-8: no stray continuation bytes, no
// truncated, overlong or surrogate sequences, nothing above U+10FFFF. NUL
// bytes are U+0000 and count as valid.
bool isValidUtf8(std::string_view text);

// The number of bytes of the well-formed UTF-8 character that starts at
// `position`, or 0 when the bytes there are not one.
std::size_t utf8CharacterLength(std::string_view text, std::size_t position);

// The number of bytes of the CP932 character that starts at `position`: 2
// for a lead byte followed by a valid trail byte, otherwise 1. CP932 trail
// bytes include ASCII letters and '[', '\\', ']', so any scan of CP932 text
// for an ASCII character must step by characters, not by bytes.
std::size_t cp932CharacterLength(std::string_view text, std::size_t position);

// The encoding of a file's bytes: UTF-8 when they are valid UTF-8 (so plain
// ASCII is UTF-8), otherwise CP932 when every byte converts cleanly from
// CP932, otherwise UTF-8 again, with the bytes passed through unchanged.
TextEncoding detectEncoding(std::string_view bytes);

// The longest start of `text` that is at most `maxBytes` long and does not
// end inside a character of `encoding`. A byte that starts no well-formed
// character counts as a character of its own, so malformed text is cut too.
std::string_view cutAtCharacterBoundary(std::string_view text, std::size_t maxBytes, TextEncoding encoding);

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

// One-off conversions through a converter of their own.
std::optional<std::string> cp932ToUtf8(std::string_view cp932);
std::optional<std::string> utf8ToCp932(std::string_view utf8);

} // namespace platform
