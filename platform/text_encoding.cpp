#include "platform/text_encoding.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iconv.h>

namespace platform {

namespace {

const auto kNotOpened = reinterpret_cast<void*>(static_cast<intptr_t>(-1));

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

// Runs one whole conversion. `growth` is the most output bytes one input
// byte can give, so that the first output buffer is large enough; the loop
// on E2BIG only guards against a table that breaks that bound.
std::optional<std::string> convert(void*& descriptor, const char* to, const char* from, std::string_view input,
                                   std::size_t growth)
{
    if (descriptor == nullptr)
        descriptor = reinterpret_cast<void*>(iconv_open(to, from));
    if (descriptor == kNotOpened)
        return std::nullopt;
    auto handle = reinterpret_cast<iconv_t>(descriptor);
    // Forget what an earlier, failed conversion left half done.
    iconv(handle, nullptr, nullptr, nullptr, nullptr);
    if (input.empty())
        return std::string();

    std::string output(input.size() * growth + 4, '\0');
    // iconv does not write through its input pointer; its signature predates const.
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    std::size_t written = 0;
    for (;;) {
        char* out = output.data() + written;
        std::size_t outLeft = output.size() - written;
        std::size_t result = iconv(handle, &in, &inLeft, &out, &outLeft);
        written = output.size() - outLeft;
        if (result != static_cast<std::size_t>(-1))
            break;
        if (errno != E2BIG)
            return std::nullopt;
        output.resize(output.size() * 2);
    }
    output.resize(written);
    return output;
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

bool isCp932(std::string_view bytes)
{
    iconv_t handle = iconv_open("UTF-8", "CP932");
    if (handle == reinterpret_cast<iconv_t>(kNotOpened))
        return false;
    // Only the verdict matters, so the output goes through one small buffer
    // again and again instead of into a copy of a whole file.
    char output[16 * 1024];
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    bool clean = true;
    while (inLeft > 0) {
        char* out = output;
        std::size_t outLeft = sizeof output;
        if (iconv(handle, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) && errno != E2BIG) {
            clean = false;
            break;
        }
    }
    iconv_close(handle);
    return clean;
}

TextEncoding detectEncoding(std::string_view bytes)
{
    if (isValidUtf8(bytes))
        return TextEncoding::Utf8;
    if (isCp932(bytes))
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

Cp932Converter::~Cp932Converter()
{
    for (void* descriptor : { toUtf8Descriptor_, fromUtf8Descriptor_ }) {
        if (descriptor != nullptr && descriptor != kNotOpened)
            iconv_close(reinterpret_cast<iconv_t>(descriptor));
    }
}

std::optional<std::string> Cp932Converter::toUtf8(std::string_view cp932)
{
    // A CP932 byte gives at most three UTF-8 bytes (a half-width katakana).
    return convert(toUtf8Descriptor_, "UTF-8", "CP932", cp932, 3);
}

std::optional<std::string> Cp932Converter::fromUtf8(std::string_view utf8)
{
    // Every character CP932 holds takes no more bytes in CP932 than in UTF-8.
    return convert(fromUtf8Descriptor_, "CP932", "UTF-8", utf8, 1);
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
