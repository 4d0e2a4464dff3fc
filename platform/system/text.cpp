#include "platform/system/text.h"

#include <cstdint>
#include <cstring>

namespace platform {

namespace {

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

} // namespace

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

} // namespace platform
