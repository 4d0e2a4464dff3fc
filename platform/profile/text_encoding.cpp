#include "platform/profile/text_encoding.h"

#include "platform/system/text.h"

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace platform {

namespace {

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

bool isCp932LeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool isCp932TrailByte(unsigned char byte)
{
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}


} // namespace

std::size_t utf8CharacterLength(std::string_view text, std::size_t position)
{
    if (position >= text.size())
        return 0;
    auto byte = [&](std::size_t offset) -> unsigned char {
        return position + offset < text.size() ? static_cast<unsigned char>(text[position + offset]) : 0;
    };
    unsigned char first = byte(0);
    if (first < 0x80)
        return 1;
    if (first >= 0xC2 && first <= 0xDF)
        return isContinuation(byte(1)) ? 2 : 0;
    if (first >= 0xE0 && first <= 0xEF) {
        unsigned char second = byte(1);
        // E0 needs A0..BF (no overlong forms), ED needs 80..9F (no surrogates).
        bool secondValid = first == 0xE0 ? (second >= 0xA0 && second <= 0xBF)
            : first == 0xED              ? (second >= 0x80 && second <= 0x9F)
                                         : isContinuation(second);
        return secondValid && isContinuation(byte(2)) ? 3 : 0;
    }
    if (first >= 0xF0 && first <= 0xF4) {
        unsigned char second = byte(1);
        // F0 needs 90..BF (no overlong forms), F4 needs 80..8F (nothing above U+10FFFF).
        bool secondValid = first == 0xF0 ? (second >= 0x90 && second <= 0xBF)
            : first == 0xF4              ? (second >= 0x80 && second <= 0x8F)
                                         : isContinuation(second);
        return secondValid && isContinuation(byte(2)) && isContinuation(byte(3)) ? 4 : 0;
    }
    return 0;
}

bool isValidUtf8(std::string_view text)
{
    std::size_t position = 0;
    while (position < text.size()) {
        // Plain ASCII is most of any settings file; step over it eight bytes
        // at a time, and byte by byte without the full decoder.
        uint64_t word = 0;
        if (position + 8 <= text.size()
            && (std::memcpy(&word, text.data() + position, 8), (word & 0x8080808080808080ull) == 0)) {
            position += 8;
            continue;
        }
        if (static_cast<unsigned char>(text[position]) < 0x80) {
            ++position;
            continue;
        }
        std::size_t length = utf8CharacterLength(text, position);
        if (length == 0)
            return false;
        position += length;
    }
    return true;
}

std::size_t cp932CharacterLength(std::string_view text, std::size_t position)
{
    if (position + 1 < text.size() && isCp932LeadByte(static_cast<unsigned char>(text[position]))
        && isCp932TrailByte(static_cast<unsigned char>(text[position + 1])))
        return 2;
    return 1;
}


TextEncoding detectEncoding(std::string_view bytes)
{
    if (isValidUtf8(bytes))
        return TextEncoding::Utf8;
    if (system::isCp932(bytes))
        return TextEncoding::Cp932;
    return TextEncoding::Utf8;
}

std::string_view cutAtCharacterBoundary(std::string_view text, std::size_t maxBytes, TextEncoding encoding)
{
    if (text.size() <= maxBytes)
        return text;
    std::size_t position = 0;
    for (;;) {
        std::size_t length = 1;
        if (encoding == TextEncoding::Cp932) {
            length = cp932CharacterLength(text, position);
        } else if (std::size_t utf8Length = utf8CharacterLength(text, position); utf8Length != 0) {
            length = utf8Length;
        }
        if (position + length > maxBytes)
            return text.substr(0, position);
        position += length;
    }
}

std::optional<std::string> cp932ToUtf8(std::string_view cp932)
{
    Cp932Converter converter;
    return converter.toUtf8(cp932);
}

std::optional<std::string> utf8ToCp932(std::string_view utf8)
{
    Cp932Converter converter;
    return converter.fromUtf8(utf8);
}

} // namespace platform
