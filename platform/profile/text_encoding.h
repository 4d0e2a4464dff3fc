#pragma once

// The two text encodings a settings file can be in, and the conversions
// between them. A file written on a Japanese Windows system is in CP932
// (Microsoft's Shift-JIS); one written elsewhere is in UTF-8. Everything
// inside the program is UTF-8, so the settings-file services convert at the
// border and nowhere else.
//
// The conversions are the operating system's (Cp932Converter of
// platform/system/text.h).

#include "platform/system/text.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

enum class TextEncoding { Utf8, Cp932 };

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

// One-off conversions through a converter of their own.
std::optional<std::string> cp932ToUtf8(std::string_view cp932);
std::optional<std::string> utf8ToCp932(std::string_view utf8);

} // namespace platform
