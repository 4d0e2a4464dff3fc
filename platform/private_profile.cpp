#include "platform/private_profile.h"

#include "platform/file_replace.h"
#include "platform/text_encoding.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <utility>

namespace platform {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kNewFileLineEnding = "\r\n";
constexpr std::size_t kReadChunk = 64 * 1024;

bool isBlank(char character)
{
    return character == ' ' || character == '\t';
}

std::string_view trimBlanks(std::string_view text)
{
    std::size_t begin = 0;
    while (begin < text.size() && isBlank(text[begin]))
        ++begin;
    std::size_t end = text.size();
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

bool isAscii(std::string_view text)
{
    for (char character : text) {
        if (static_cast<unsigned char>(character) >= 0x80)
            return false;
    }
    return true;
}

bool holdsLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// The index key of a section or key name: ASCII letters folded to lower
// case. In CP932 the two bytes of a double-byte character are stepped over
// whole, since a trail byte can look like an ASCII letter ("ア" is 83 41,
// "ヂ" is 83 61) and folding it would make two names equal.
std::string foldName(std::string_view name, TextEncoding encoding)
{
    std::string folded(name);
    std::size_t position = 0;
    while (position < folded.size()) {
        if (encoding == TextEncoding::Cp932 && cp932CharacterLength(folded, position) == 2) {
            position += 2;
            continue;
        }
        char character = folded[position];
        if (character >= 'A' && character <= 'Z')
            folded[position] = static_cast<char>(character - 'A' + 'a');
        ++position;
    }
    return folded;
}

// Where a value's bytes start and end in the file, blanks around it left out.
struct ValueSpan {
    std::size_t begin = 0;
    std::size_t end = 0;
};

struct Section {
    // Where a new key line goes: the start of the line after the section's
    // last key line, or after its header when it has no key. A comment or
    // blank line after the last key usually introduces what follows, so a
    // new key goes above it. Every key of the section lies before it, since
    // a section's keys all come from its first occurrence.
    std::size_t insertAt = 0;
    std::unordered_map<std::string, ValueSpan> keys;
};

// GetPrivateProfileIntA's reading of a value: blanks, an optional sign, then
// decimal digits; 0 without digits. Beyond 32 bits the result sticks at the
// limit, so that 99999999999 still fails a caller's range check instead of
// wrapping into range.
int32_t leadingInteger(std::string_view text)
{
    std::size_t position = 0;
    while (position < text.size() && isBlank(text[position]))
        ++position;
    bool negative = false;
    if (position < text.size() && (text[position] == '-' || text[position] == '+')) {
        negative = text[position] == '-';
        ++position;
    }
    constexpr int64_t kBeyondRange = int64_t { INT32_MAX } + 2;
    int64_t magnitude = 0;
    while (position < text.size() && text[position] >= '0' && text[position] <= '9') {
        if (magnitude < kBeyondRange)
            magnitude = magnitude * 10 + (text[position] - '0');
        ++position;
    }
    int64_t value = negative ? -magnitude : magnitude;
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

} // namespace

struct ProfileFile::Impl {
    std::string path;
    bool exists = false;
    // The errno of a load that found the file but could not read it.
    int loadError = 0;
    std::string bytes;
    TextEncoding encoding = TextEncoding::Utf8;
    std::string lineEnding { kNewFileLineEnding };
    // First occurrence of each section only: a later one with the same name
    // is neither read nor written, as on Windows.
    std::unordered_map<std::string, Section> sections;
    std::string errorText;
    FileReplaceFailure failure;
    mutable Cp932Converter converter;

    std::size_t contentBegin() const { return bytes.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0; }

    void parse();
    void parseLine(std::size_t begin, std::size_t contentEnd, std::size_t lineEnd, Section*& current);
    std::size_t sectionNameEnd(std::size_t begin, std::size_t contentEnd) const;
    ValueSpan valueSpan(std::size_t begin, std::size_t end) const;

    std::optional<std::string> toFileEncoding(std::string_view utf8) const;
    std::string toUtf8(std::string_view fileText) const;
    std::optional<std::string> indexName(std::string_view utf8Name) const;
    const ValueSpan* lookup(std::string_view section, std::string_view key) const;

    bool set(std::string_view section, std::string_view key, std::string_view value);
    void shiftOffsets(std::size_t from, std::ptrdiff_t delta);
    void terminateLastLine();
};

void ProfileFile::Impl::parse()
{
    sections.clear();
    std::size_t position = contentBegin();
    // Bytes after a byte-order mark are UTF-8 by the mark's own word.
    encoding = position > 0 ? TextEncoding::Utf8 : detectEncoding(bytes);

    std::size_t firstNewline = bytes.find('\n', position);
    if (firstNewline == std::string::npos)
        lineEnding = kNewFileLineEnding;
    else
        lineEnding = firstNewline > position && bytes[firstNewline - 1] == '\r' ? "\r\n" : "\n";

    Section* current = nullptr;
    const char* data = bytes.data();
    while (position < bytes.size()) {
        auto* newline = static_cast<const char*>(std::memchr(data + position, '\n', bytes.size() - position));
        std::size_t lineEnd = bytes.size();
        std::size_t contentEnd = bytes.size();
        if (newline != nullptr) {
            contentEnd = static_cast<std::size_t>(newline - data);
            lineEnd = contentEnd + 1;
        }
        // A CR at the very end is a CRLF whose LF is missing; elsewhere a CR
        // without LF is an ordinary byte.
        if (contentEnd > position && data[contentEnd - 1] == '\r')
            --contentEnd;
        parseLine(position, contentEnd, lineEnd, current);
        position = lineEnd;
    }
}

void ProfileFile::Impl::parseLine(std::size_t begin, std::size_t contentEnd, std::size_t lineEnd, Section*& current)
{
    std::size_t first = begin;
    while (first < contentEnd && isBlank(bytes[first]))
        ++first;
    if (first == contentEnd)
        return;
    char lead = bytes[first];
    if (lead == ';' || lead == '#')
        return;
    std::string_view text(bytes);
    if (lead == '[') {
        std::size_t nameEnd = sectionNameEnd(first + 1, contentEnd);
        auto name = trimBlanks(text.substr(first + 1, nameEnd - first - 1));
        auto [entry, inserted] = sections.try_emplace(foldName(name, encoding));
        current = inserted ? &entry->second : nullptr;
        if (inserted)
            entry->second.insertAt = lineEnd;
        return;
    }
    if (current == nullptr)
        return;
    // '=' (3D) is below every CP932 trail byte, so a byte search is safe.
    auto* equals = static_cast<const char*>(std::memchr(bytes.data() + first, '=', contentEnd - first));
    if (equals == nullptr)
        return;
    std::size_t equalsAt = static_cast<std::size_t>(equals - bytes.data());
    auto key = trimBlanks(text.substr(first, equalsAt - first));
    current->keys.try_emplace(foldName(key, encoding), valueSpan(equalsAt + 1, contentEnd));
    current->insertAt = lineEnd;
}

// The position of the ']' that ends a section name, or `contentEnd`. CP932
// uses 5D (']') as a trail byte ("ゾ" is 83 5D), so the scan steps by
// characters there.
std::size_t ProfileFile::Impl::sectionNameEnd(std::size_t begin, std::size_t contentEnd) const
{
    if (encoding != TextEncoding::Cp932) {
        auto* bracket = static_cast<const char*>(std::memchr(bytes.data() + begin, ']', contentEnd - begin));
        return bracket == nullptr ? contentEnd : static_cast<std::size_t>(bracket - bytes.data());
    }
    std::string_view line = std::string_view(bytes).substr(0, contentEnd);
    std::size_t position = begin;
    while (position < contentEnd && line[position] != ']')
        position += cp932CharacterLength(line, position);
    return position < contentEnd ? position : contentEnd;
}

ValueSpan ProfileFile::Impl::valueSpan(std::size_t begin, std::size_t end) const
{
    while (begin < end && isBlank(bytes[begin]))
        ++begin;
    while (end > begin && isBlank(bytes[end - 1]))
        --end;
    return { begin, end };
}

std::optional<std::string> ProfileFile::Impl::toFileEncoding(std::string_view utf8) const
{
    if (encoding == TextEncoding::Cp932 && !isAscii(utf8))
        return converter.fromUtf8(utf8);
    return std::string(utf8);
}

std::string ProfileFile::Impl::toUtf8(std::string_view fileText) const
{
    if (encoding == TextEncoding::Cp932 && !isAscii(fileText)) {
        // The whole file converted when it was read, so a value cut at a
        // character boundary converts too; the raw bytes are only a fallback.
        if (auto converted = converter.toUtf8(fileText))
            return *converted;
    }
    return std::string(fileText);
}

std::optional<std::string> ProfileFile::Impl::indexName(std::string_view utf8Name) const
{
    auto name = toFileEncoding(trimBlanks(utf8Name));
    if (!name)
        return std::nullopt;
    return foldName(*name, encoding);
}

const ValueSpan* ProfileFile::Impl::lookup(std::string_view section, std::string_view key) const
{
    auto sectionName = indexName(section);
    if (!sectionName)
        return nullptr;
    auto sectionEntry = sections.find(*sectionName);
    if (sectionEntry == sections.end())
        return nullptr;
    auto keyName = indexName(key);
    if (!keyName)
        return nullptr;
    auto keyEntry = sectionEntry->second.keys.find(*keyName);
    return keyEntry == sectionEntry->second.keys.end() ? nullptr : &keyEntry->second;
}

bool ProfileFile::Impl::set(std::string_view section, std::string_view key, std::string_view value)
{
    section = trimBlanks(section);
    key = trimBlanks(key);
    if (section.empty() || holdsLineBreak(section) || section.find(']') != std::string_view::npos)
        return false;
    if (key.empty() || holdsLineBreak(key) || key.find('=') != std::string_view::npos || key.front() == '['
        || key.front() == ';' || key.front() == '#')
        return false;
    if (holdsLineBreak(value))
        return false;
    if (!isValidUtf8(section) || !isValidUtf8(key) || !isValidUtf8(value))
        return false;
    auto sectionText = toFileEncoding(section);
    auto keyText = toFileEncoding(key);
    auto valueText = toFileEncoding(value);
    if (!sectionText || !keyText || !valueText)
        return false;
    std::string sectionName = foldName(*sectionText, encoding);
    std::string keyName = foldName(*keyText, encoding);

    auto sectionEntry = sections.find(sectionName);
    if (sectionEntry != sections.end()) {
        Section& target = sectionEntry->second;
        if (auto keyEntry = target.keys.find(keyName); keyEntry != target.keys.end()) {
            ValueSpan old = keyEntry->second;
            bytes.replace(old.begin, old.end - old.begin, *valueText);
            shiftOffsets(old.end, static_cast<std::ptrdiff_t>(valueText->size())
                                      - static_cast<std::ptrdiff_t>(old.end - old.begin));
            keyEntry->second = valueSpan(old.begin, old.begin + valueText->size());
            return true;
        }
        if (target.insertAt == bytes.size())
            terminateLastLine();
        std::size_t at = target.insertAt;
        std::string line = *keyText + "=" + *valueText + lineEnding;
        bytes.insert(at, line);
        shiftOffsets(at, static_cast<std::ptrdiff_t>(line.size()));
        std::size_t valueBegin = at + keyText->size() + 1;
        target.keys.emplace(std::move(keyName), valueSpan(valueBegin, valueBegin + valueText->size()));
        return true;
    }

    terminateLastLine();
    bytes += "[" + *sectionText + "]" + lineEnding;
    std::size_t valueBegin = bytes.size() + keyText->size() + 1;
    bytes += *keyText + "=" + *valueText + lineEnding;
    Section& added = sections[std::move(sectionName)];
    added.insertAt = bytes.size();
    added.keys.emplace(std::move(keyName), valueSpan(valueBegin, valueBegin + valueText->size()));
    return true;
}

// Moves every recorded position at or after `from` by `delta` bytes, after
// an edit at `from`. A set edits a file of thousands of keys a few dozen
// times, so a pass over the index per edit costs less than parsing again;
// and the sections that end before the edit (the catalogue, before the
// saved settings) are skipped whole.
void ProfileFile::Impl::shiftOffsets(std::size_t from, std::ptrdiff_t delta)
{
    auto shift = [&](std::size_t& offset) {
        if (offset >= from)
            offset = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(offset) + delta);
    };
    for (auto& [name, section] : sections) {
        if (section.insertAt < from)
            continue;
        shift(section.insertAt);
        for (auto& [keyName, span] : section.keys) {
            shift(span.begin);
            shift(span.end);
        }
    }
}

// Gives a last line without a line end its line end, so a line can follow.
// A last line that ends in a CR gets just the LF that completes it, which
// keeps its value as a fresh read sees it.
void ProfileFile::Impl::terminateLastLine()
{
    std::size_t oldSize = bytes.size();
    if (oldSize == contentBegin() || bytes.back() == '\n')
        return;
    bytes += bytes.back() == '\r' ? std::string_view("\n") : std::string_view(lineEnding);
    for (auto& [name, section] : sections) {
        if (section.insertAt == oldSize)
            section.insertAt = bytes.size();
    }
}

// The services' way to the value bytes in the file's own encoding, which
// the public find() hands out only as UTF-8.
struct ProfileAccess {
    static std::optional<std::string_view> rawValue(const ProfileFile& file, std::string_view section,
                                                    std::string_view key)
    {
        const ValueSpan* span = file.impl_->lookup(section, key);
        if (span == nullptr)
            return std::nullopt;
        return std::string_view(file.impl_->bytes).substr(span->begin, span->end - span->begin);
    }

    static std::string toUtf8(const ProfileFile& file, std::string_view fileText)
    {
        return file.impl_->toUtf8(fileText);
    }

    // The default text cut to `limit` bytes as it would be in the file's
    // encoding, returned as the start of the UTF-8 text itself: converting
    // it to CP932 and back could change characters that CP932 folds together.
    static std::string cutDefault(const ProfileFile& file, std::string_view defaultText, std::size_t limit,
                                  uint32_t* copied)
    {
        const ProfileFile::Impl& impl = *file.impl_;
        std::size_t width = 0;
        std::string_view cut;
        if (impl.encoding != TextEncoding::Cp932) {
            cut = cutAtCharacterBoundary(defaultText, limit, TextEncoding::Utf8);
            width = cut.size();
        } else {
            std::size_t position = 0;
            while (position < defaultText.size()) {
                std::size_t length = std::max<std::size_t>(utf8CharacterLength(defaultText, position), 1);
                std::size_t characterWidth = length;
                if (length > 1) {
                    if (auto converted = impl.converter.fromUtf8(defaultText.substr(position, length)))
                        characterWidth = converted->size();
                }
                if (width + characterWidth > limit)
                    break;
                width += characterWidth;
                position += length;
            }
            cut = defaultText.substr(0, position);
        }
        if (copied != nullptr)
            *copied = static_cast<uint32_t>(width);
        return std::string(cut);
    }
};

ProfileFile::ProfileFile()
    : impl_(new Impl)
{
}

ProfileFile::ProfileFile(ProfileFile&& other) noexcept
    : impl_(std::exchange(other.impl_, nullptr))
{
}

ProfileFile& ProfileFile::operator=(ProfileFile&& other) noexcept
{
    std::swap(impl_, other.impl_);
    return *this;
}

ProfileFile::~ProfileFile()
{
    delete impl_;
}

ProfileFile ProfileFile::load(const std::string& path)
{
    ProfileFile file;
    Impl& impl = *file.impl_;
    impl.path = path;
    // O_NONBLOCK: opening a named pipe would otherwise wait for a writer.
    int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0) {
        impl.loadError = errno;
        return file;
    }
    struct stat status {};
    if (fstat(descriptor, &status) != 0 || S_ISDIR(status.st_mode)) {
        impl.loadError = S_ISDIR(status.st_mode) ? EISDIR : errno;
        close(descriptor);
        return file;
    }
    // A pipe or a device (a link to /dev/zero) has no end to read to: it is
    // taken as no file at all. A commit then refuses it too, since only a
    // regular file is ever replaced.
    if (!S_ISREG(status.st_mode)) {
        close(descriptor);
        return file;
    }
    std::string bytes;
    if (status.st_size > 0)
        bytes.reserve(static_cast<std::size_t>(status.st_size));
    char buffer[kReadChunk];
    for (;;) {
        ssize_t count = read(descriptor, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            impl.loadError = errno;
            close(descriptor);
            return file;
        }
        if (count == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    close(descriptor);
    impl.exists = true;
    impl.bytes = std::move(bytes);
    impl.parse();
    return file;
}

ProfileFile ProfileFile::fromBytes(std::string bytes, std::string path)
{
    ProfileFile file;
    file.impl_->path = std::move(path);
    file.impl_->exists = true;
    file.impl_->bytes = std::move(bytes);
    file.impl_->parse();
    return file;
}

bool ProfileFile::exists() const
{
    return impl_->exists;
}

const std::string& ProfileFile::path() const
{
    return impl_->path;
}

ProfileEncoding ProfileFile::encoding() const
{
    return impl_->encoding == TextEncoding::Cp932 ? ProfileEncoding::Cp932 : ProfileEncoding::Utf8;
}

const std::string& ProfileFile::bytes() const
{
    return impl_->bytes;
}

bool ProfileFile::find(std::string_view section, std::string_view key, std::string& value) const
{
    auto raw = ProfileAccess::rawValue(*this, section, key);
    if (!raw)
        return false;
    value = impl_->toUtf8(*raw);
    return true;
}

bool ProfileFile::set(std::string_view section, std::string_view key, std::string_view value)
{
    return impl_->set(section, key, value);
}

bool ProfileFile::commit()
{
    if (impl_->loadError != 0 && impl_->loadError != ENOENT) {
        impl_->errorText = "Cannot save \"" + impl_->path + "\": it exists but could not be read ("
            + std::strerror(impl_->loadError) + "), and saving would lose what it holds";
        impl_->failure = { impl_->loadError == EISDIR ? FileReplaceCause::NotAFile : FileReplaceCause::Unreadable,
                           impl_->loadError };
        return false;
    }
    if (!replaceFileContents(impl_->path, impl_->bytes, impl_->errorText, impl_->failure))
        return false;
    impl_->exists = true;
    impl_->loadError = 0;
    return true;
}

const std::string& ProfileFile::errorText() const
{
    return impl_->errorText;
}

const FileReplaceFailure& ProfileFile::failure() const
{
    return impl_->failure;
}

int32_t GetPrivateProfileIntA(std::string_view section, std::string_view key, int32_t defaultValue,
                              const ProfileFile& file)
{
    // Digits, signs and blanks are the same bytes in both encodings.
    auto raw = ProfileAccess::rawValue(file, section, key);
    return raw ? leadingInteger(*raw) : defaultValue;
}

int32_t GetPrivateProfileIntA(std::string_view section, std::string_view key, int32_t defaultValue,
                              const std::string& fileName)
{
    return GetPrivateProfileIntA(section, key, defaultValue, ProfileFile::load(fileName));
}

std::string GetPrivateProfileStringA(std::string_view section, std::string_view key,
                                     std::string_view defaultText, uint32_t size, const ProfileFile& file,
                                     uint32_t* copied)
{
    if (copied != nullptr)
        *copied = 0;
    if (size == 0)
        return {};
    std::size_t limit = size - 1;
    auto raw = ProfileAccess::rawValue(file, section, key);
    if (!raw)
        return ProfileAccess::cutDefault(file, defaultText, limit, copied);
    auto cut = cutAtCharacterBoundary(*raw, limit,
                                      file.encoding() == ProfileEncoding::Cp932 ? TextEncoding::Cp932
                                                                                : TextEncoding::Utf8);
    if (copied != nullptr)
        *copied = static_cast<uint32_t>(cut.size());
    return ProfileAccess::toUtf8(file, cut);
}

std::string GetPrivateProfileStringA(std::string_view section, std::string_view key,
                                     std::string_view defaultText, uint32_t size, const std::string& fileName,
                                     uint32_t* copied)
{
    return GetPrivateProfileStringA(section, key, defaultText, size, ProfileFile::load(fileName), copied);
}

bool WritePrivateProfileStringA(std::string_view section, std::string_view key, std::string_view text,
                                ProfileFile& file)
{
    return file.set(section, key, text);
}

bool WritePrivateProfileStringA(std::string_view section, std::string_view key, std::string_view text,
                                const std::string& fileName)
{
    ProfileFile file = ProfileFile::load(fileName);
    return file.set(section, key, text) && file.commit();
}

} // namespace platform
