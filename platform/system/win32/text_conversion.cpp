#include "platform/system/text.h"

#include <climits>
#include <optional>
#include <windows.h>

namespace platform {

namespace {

constexpr UINT kCp932 = 932;

// `bytes` of `codePage` as UTF-16; std::nullopt when any byte sequence is
// not a character of the code page.
std::optional<std::wstring> toWide(UINT codePage, std::string_view bytes)
{
    if (bytes.empty())
        return std::wstring();
    if (bytes.size() > INT_MAX)
        return std::nullopt;
    int size = static_cast<int>(bytes.size());
    int length = ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (length <= 0)
        return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), length) != length)
        return std::nullopt;
    return wide;
}

// UTF-16 as `codePage`; std::nullopt when a character has no code there
// (never a substitute or a best-fit look-alike).
std::optional<std::string> fromWide(UINT codePage, const std::wstring& wide)
{
    if (wide.empty())
        return std::string();
    if (wide.size() > INT_MAX)
        return std::nullopt;
    int size = static_cast<int>(wide.size());
    DWORD flags = codePage == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultOut = codePage == CP_UTF8 ? nullptr : &usedDefault;
    int length = ::WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, usedDefaultOut);
    if (length <= 0 || usedDefault)
        return std::nullopt;
    std::string bytes(static_cast<std::size_t>(length), '\0');
    if (::WideCharToMultiByte(codePage, flags, wide.data(), size, bytes.data(), length, nullptr, usedDefaultOut)
            != length
        || usedDefault)
        return std::nullopt;
    return bytes;
}

} // namespace

bool system::isCp932(std::string_view bytes)
{
    return toWide(kCp932, bytes).has_value();
}

// The conversions need no state kept between calls on Windows; the
// descriptors of the iconv build stay unused.
Cp932Converter::~Cp932Converter() = default;

std::optional<std::string> Cp932Converter::toUtf8(std::string_view cp932)
{
    auto wide = toWide(kCp932, cp932);
    if (!wide)
        return std::nullopt;
    return fromWide(CP_UTF8, *wide);
}

std::optional<std::string> Cp932Converter::fromUtf8(std::string_view utf8)
{
    if (!isValidUtf8(utf8))
        return std::nullopt;
    auto wide = toWide(CP_UTF8, utf8);
    if (!wide)
        return std::nullopt;
    auto cp932 = fromWide(kCp932, *wide);
    // A character that only looks alike in CP932 is no conversion: the
    // bytes must read back as the same characters.
    if (!cp932 || toWide(kCp932, *cp932) != wide)
        return std::nullopt;
    return cp932;
}

} // namespace platform
