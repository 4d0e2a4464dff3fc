#include "platform/system/text.h"

#include <cerrno>
#include <cstdint>
#include <iconv.h>

namespace platform {

namespace {

const auto kNotOpened = reinterpret_cast<void*>(static_cast<intptr_t>(-1));

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

bool system::isCp932(std::string_view bytes)
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

} // namespace platform
