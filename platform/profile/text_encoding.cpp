#include "platform/profile/text_encoding.h"

#include "platform/system/text.h"

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace platform {

namespace {

bool isCp932LeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool isCp932TrailByte(unsigned char byte)
{
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}


} // namespace

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
