// Fuzzes the private-profile reader and writer on bytes held in memory.
//
// The input is a whole settings file. The names to read and write are taken
// from the input itself by a scan of its own (every "[section]" and every
// "key=" it sees), in several spellings, together with a few fixed names, so
// that a mutated file mutates the names too. For every name:
// - GetPrivateProfileIntA gives the default for a missing key or an empty
//   value and otherwise the integer the value begins with, held at the
//   32-bit limits;
// - GetPrivateProfileStringA never copies more than size - 1 bytes, never
//   cuts a character of a well-formed file, and with a large buffer gives
//   what find() gives.
// Then up to four edits with set(), each one checked:
// - a refused edit changes nothing;
// - an accepted edit reads back exactly, changes no byte outside the edited line,
//   changes no other name's value, and a fresh parse of the new bytes reads
//   every name as the edited profile does.

#include "fuzz_support.h"

#include "platform/profile/private_profile.h"
#include "platform/profile/text_encoding.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using platform::ProfileEncoding;
using platform::ProfileFile;

struct Name {
    std::string section;
    std::string key;
};

// Enough names to reach every kind of line, few enough that one input runs
// in well under a millisecond: each edit reads every name four times.
constexpr std::size_t kMostNames = 16;
constexpr std::size_t kMostSpelledNames = 4;

std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

std::string asciiLower(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return result;
}

std::string asciiUpper(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return result;
}

// The names that the interface takes are UTF-8; a CP932 file's names are
// converted, and bytes that convert in neither way are passed as they are.
std::string interfaceText(std::string_view fileText, ProfileEncoding encoding)
{
    if (encoding == ProfileEncoding::Cp932) {
        if (auto converted = platform::cp932ToUtf8(fileText))
            return *converted;
    }
    return std::string(fileText);
}

// A scan of its own, simpler than the reader's: it is only a source of names
// to try, so where it splits a line differently the names are still worth
// trying.
std::vector<Name> namesIn(std::string_view bytes, ProfileEncoding encoding)
{
    std::vector<Name> names;
    std::string section;
    std::size_t position = 0;
    while (position < bytes.size() && names.size() < kMostNames) {
        std::size_t end = bytes.find_first_of("\r\n", position);
        std::string_view line = bytes.substr(position, end == std::string_view::npos ? bytes.npos : end - position);
        position = end == std::string_view::npos ? bytes.size() : end + 1;
        line = trimBlanks(line);
        if (line.empty())
            continue;
        if (line.front() == '[') {
            std::size_t close = line.find(']');
            section = interfaceText(line.substr(1, close == line.npos ? line.npos : close - 1), encoding);
            continue;
        }
        std::size_t equals = line.find('=');
        if (equals != line.npos && !section.empty())
            names.push_back({ section, interfaceText(line.substr(0, equals), encoding) });
    }
    return names;
}

std::vector<Name> probeNames(std::string_view bytes, ProfileEncoding encoding)
{
    std::vector<Name> found = namesIn(bytes, encoding);
    std::vector<Name> names = found;
    for (std::size_t i = 0; i < found.size() && i < kMostSpelledNames; ++i) {
        const Name& name = found[i];
        names.push_back({ asciiUpper(name.section), asciiLower(name.key) });
        names.push_back({ " " + name.section + "\t", "\t" + name.key + " " });
    }
    names.push_back({ "MAP_INFO", "NUMBER_OF_CITY" });
    names.push_back({ "map_info", "code_0" });
    names.push_back({ "SELECT_CITY", "TimeZone" });
    names.push_back({ "PROC_INFO", "RND_INTERVAL" });
    names.push_back({ "NO_SUCH_SECTION", "NO_SUCH_KEY" });
    names.push_back({ "日本語", "名前" });
    return names;
}

// The reading GetPrivateProfileIntA promises: blanks, an optional sign,
// decimal digits or "0x" and hexadecimal digits; 0 without digits; held at
// the 32-bit limits.
int32_t expectedInteger(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    int base = 10;
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    auto digit = [&](char c) {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (base == 16 && c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (base == 16 && c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    int64_t magnitude = 0;
    for (; i < text.size() && digit(text[i]) >= 0; ++i)
        magnitude = std::min<int64_t>(magnitude * base + digit(text[i]), int64_t { 1 } << 40);
    int64_t value = negative ? -magnitude : magnitude;
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

std::string describe(const Name& name)
{
    return "[" + fuzz_support::printable(name.section) + "] " + fuzz_support::printable(name.key);
}

void checkReaders(const ProfileFile& file, const Name& name, bool wellFormed)
{
    std::string value;
    bool found = file.find(name.section, name.key, value);

    constexpr int32_t kDefault = -12345;
    int32_t number = platform::GetPrivateProfileIntA(name.section, name.key, kDefault, file);
    FUZZ_CHECK(number == (found && !value.empty() ? expectedInteger(value) : kDefault),
               describe(name) + " read as " + std::to_string(number));

    for (uint32_t size : { 0u, 1u, 2u, 3u, 8u, 256u }) {
        uint32_t copied = 99999;
        std::string text = platform::GetPrivateProfileStringA(name.section, name.key, "DEFAULT,デフォルト", size,
                                                              file, &copied);
        FUZZ_CHECK(size == 0 ? copied == 0 && text.empty() : copied <= size - 1,
                   describe(name) + " copied " + std::to_string(copied) + " bytes into " + std::to_string(size));
        if (wellFormed)
            FUZZ_CHECK(platform::isValidUtf8(text), describe(name) + " was cut inside a character");
        if (found && file.encoding() == ProfileEncoding::Utf8)
            FUZZ_CHECK(copied == text.size() && value.starts_with(text), describe(name) + " cut badly");
    }
    uint32_t copied = 0;
    std::string whole = platform::GetPrivateProfileStringA(name.section, name.key, "", 1u << 24, file, &copied);
    if (found)
        FUZZ_CHECK(whole == value, describe(name) + " differs between find() and GetPrivateProfileStringA");
    else
        FUZZ_CHECK(whole.empty() && copied == 0, describe(name) + " missing but read as text");
}

// Whether two names name the same key: blanks around them dropped, ASCII
// letters compared without case.
bool sameKey(const Name& a, const Name& b)
{
    return asciiLower(trimBlanks(a.section)) == asciiLower(trimBlanks(b.section))
        && asciiLower(trimBlanks(a.key)) == asciiLower(trimBlanks(b.key));
}

std::optional<std::string> lookup(const ProfileFile& file, const Name& name)
{
    std::string value;
    if (!file.find(name.section, name.key, value))
        return std::nullopt;
    return value;
}

// A 64-bit FNV-1a hash of the input, to pick the edits deterministically.
uint64_t hashOf(std::string_view bytes)
{
    uint64_t hash = 1469598103934665603ull;
    for (unsigned char c : bytes)
        hash = (hash ^ c) * 1099511628211ull;
    return hash;
}

const std::vector<std::string>& fixedValues()
{
    static const std::vector<std::string> values {
        "", "-1", "0", " 60 ", "99999999999", "\"quoted\"", "'", "0x1F", "東京,Tokyo,Japan,Japan,32400,139.69,-35.69", "a=b;c#d[e]",
        "\xE2\x82\xAC",      // the euro sign, one CP932 byte in Windows' table
        "\xEF\xBD\x9E",      // a full-width tilde, which CP932 tables map differently
        "\xF0\x9F\x98\x80",  // outside CP932 altogether: refused for a CP932 file
        "line\nbreak",       // refused
        "\xFF\xFE",          // not UTF-8: refused
        std::string("nul\0byte", 8),
    };
    return values;
}

void checkEdit(ProfileFile& file, const Name& name, const std::string& value, const std::vector<Name>& names)
{
    const std::string before = file.bytes();
    std::vector<std::optional<std::string>> valuesBefore;
    for (const Name& other : names)
        valuesBefore.push_back(lookup(file, other));

    bool stored = file.set(name.section, name.key, value);
    std::string edit = describe(name) + " = " + fuzz_support::printable(value);

    if (!stored) {
        FUZZ_CHECK(file.bytes() == before, "refused edit " + edit + " changed the bytes");
        return;
    }

    // What the edited profile reads, before its bytes are asked for (which
    // applies the edit to them).
    auto readBack = lookup(file, name);
    FUZZ_CHECK(readBack && *readBack == value,
               edit + " read back as " + (readBack ? fuzz_support::printable(*readBack) : "nothing"));
    std::vector<std::optional<std::string>> valuesAfter;
    for (const Name& other : names)
        valuesAfter.push_back(lookup(file, other));

    for (std::size_t i = 0; i < names.size(); ++i) {
        if (sameKey(names[i], name))
            continue;
        const auto& now = valuesAfter[i];
        // A name that folds onto the edited key through its encoding (a
        // CP932 character with two UTF-8 spellings) reads the new value.
        if (now && readBack && *now == *readBack && now != valuesBefore[i])
            continue;
        FUZZ_CHECK(now == valuesBefore[i], edit + " changed " + describe(names[i]));
    }

    // The bytes that differ lie within one line of the old file: no line
    // break of it is touched. A pure insertion touches none at all.
    const std::string& after = file.bytes();
    std::size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix])
        ++prefix;
    std::size_t suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix
           && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    std::string_view replaced = std::string_view(before).substr(prefix, before.size() - prefix - suffix);
    FUZZ_CHECK(replaced.find_first_of("\r\n") == std::string_view::npos,
               edit + " changed bytes across lines: " + fuzz_support::printable(replaced));

    // A fresh parse of the new bytes sees what the edited profile saw, and
    // what it sees now, unless the edit changed which encoding the bytes
    // are in.
    ProfileFile again = ProfileFile::fromBytes(after);
    if (again.encoding() == file.encoding()) {
        for (std::size_t i = 0; i < names.size(); ++i) {
            FUZZ_CHECK(lookup(again, names[i]) == valuesAfter[i],
                       "after " + edit + ", a fresh parse reads " + describe(names[i]) + " differently");
            FUZZ_CHECK(lookup(file, names[i]) == valuesAfter[i],
                       "after " + edit + ", the bytes read " + describe(names[i]) + " differently");
        }
        FUZZ_CHECK(lookup(again, name) == readBack, "after " + edit + ", a fresh parse reads it differently");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string bytes(reinterpret_cast<const char*>(data), size);
    ProfileFile file = ProfileFile::fromBytes(bytes);
    FUZZ_CHECK(file.bytes() == bytes, "parsing changed the bytes");

    std::vector<Name> names = probeNames(bytes, file.encoding());
    bool wellFormed = platform::isValidUtf8(bytes)
        || (file.encoding() == ProfileEncoding::Cp932 && platform::cp932ToUtf8(bytes).has_value());
    for (const Name& name : names)
        checkReaders(file, name, wellFormed);

    // Edits: names and values picked by the input's hash, from the names
    // found, the fixed ones and a new section; values from the file's own
    // lines and the fixed list.
    uint64_t pick = hashOf(bytes);
    auto next = [&](std::size_t range) {
        pick = pick * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::size_t>((pick >> 33) % range);
    };
    std::vector<Name> targets = names;
    targets.push_back({ "NEW_SECTION", "New_Key" });
    std::vector<std::string> values = fixedValues();
    for (const Name& name : names) {
        if (auto value = lookup(file, name))
            values.push_back(*value + "x");
    }
    std::size_t edits = 1 + next(4);
    for (std::size_t i = 0; i < edits; ++i) {
        const Name& target = targets[next(targets.size())];
        const std::string& value = values[next(values.size())];
        checkEdit(file, target, value, names);
    }
    return 0;
}
