#include "platform/profile/private_profile.h"

#include "platform/system/file_replace.h"
#include "platform/system/files.h"
#include "platform/profile/text_encoding.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <unordered_map>
#include <utility>
#include <vector>

namespace platform {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kNewFileLineEnding = "\r\n";
// Searches line by line, for sections and for the keys of one section,
// before they are indexed: a few passes cost less than an index that is
// never used much, and more would add up.
constexpr std::size_t kSearchesBeforeIndex = 8;

bool isBlank(char character)
{
    return character == ' ' || character == '\t';
}

bool isLineBreak(char character)
{
    return character == '\r' || character == '\n';
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

// A value wrapped in one pair of matching double or single quotes loses
// that pair; a lone or unmatched quote stays.
std::string_view unquote(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// What a value's stored text reads as: blanks around it dropped, then one
// pair of quotes around it.
std::string_view readForm(std::string_view stored)
{
    return unquote(trimBlanks(stored));
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

char asciiLower(char character)
{
    return character >= 'A' && character <= 'Z' ? static_cast<char>(character - 'A' + 'a') : character;
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
        folded[position] = asciiLower(folded[position]);
        ++position;
    }
    return folded;
}

// Eight bytes with their ASCII capital letters made small, all at once: a
// byte below 0x80 is a capital when adding 0x80 - 'A' sets its top bit and
// adding 0x80 - 'Z' - 1 does not.
uint64_t lowerAsciiWord(uint64_t word)
{
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    constexpr uint64_t kHighBits = 0x8080808080808080ull;
    uint64_t low = word & ~kHighBits;
    uint64_t atLeastA = low + kOnes * (0x80 - 'A');
    uint64_t aboveZ = low + kOnes * (0x80 - 'Z' - 1);
    uint64_t capitals = atLeastA & ~aboveZ & ~word & kHighBits;
    return word | (capitals >> 2);
}

// The names' hash is keyed, with a key drawn once per process: a file
// cannot hold names chosen to meet in one run of the index's probes, since
// where a name lands depends on a key the file's author does not know.
struct NameHashKey {
    uint64_t k0;
    uint64_t k1;
};

const NameHashKey& nameHashKey()
{
    static const NameHashKey key = [] {
        std::random_device device;
        auto draw = [&device] { return (uint64_t { device() } << 32) ^ uint64_t { device() }; };
        return NameHashKey { draw(), draw() };
    }();
    return key;
}

// SipHash-1-3 of a stream of 8-byte words.
class NameHasher {
public:
    explicit NameHasher(const NameHashKey& key)
        : v0_(0x736F6D6570736575ull ^ key.k0)
        , v1_(0x646F72616E646F6Dull ^ key.k1)
        , v2_(0x6C7967656E657261ull ^ key.k0)
        , v3_(0x7465646279746573ull ^ key.k1)
    {
    }

    void word(uint64_t m)
    {
        v3_ ^= m;
        round();
        v0_ ^= m;
    }

    // The last 0 to 7 bytes (`tail`, in the low bytes) and the name's length.
    uint64_t finish(uint64_t tail, std::size_t length)
    {
        word(tail | (static_cast<uint64_t>(length) << 56));
        v2_ ^= 0xFF;
        round();
        round();
        round();
        return v0_ ^ v1_ ^ v2_ ^ v3_;
    }

private:
    static uint64_t rotate(uint64_t x, int bits) { return (x << bits) | (x >> (64 - bits)); }
    void round()
    {
        v0_ += v1_;
        v1_ = rotate(v1_, 13) ^ v0_;
        v0_ = rotate(v0_, 32);
        v2_ += v3_;
        v3_ = rotate(v3_, 16) ^ v2_;
        v0_ += v3_;
        v3_ = rotate(v3_, 21) ^ v0_;
        v2_ += v1_;
        v1_ = rotate(v1_, 17) ^ v2_;
        v2_ = rotate(v2_, 32);
    }

    uint64_t v0_, v1_, v2_, v3_;
};

// A hash of the folded name, computed without building it, eight bytes at a
// time. A name with bytes of 0x80 and above in a CP932 file is folded byte
// by byte, stepping over double-byte characters, into the same words.
uint64_t hashName(std::string_view name, TextEncoding encoding)
{
    NameHasher hasher(nameHashKey());
    bool byCharacter = encoding == TextEncoding::Cp932 && !isAscii(name);
    std::size_t position = 0;
    if (!byCharacter) {
        for (; position + 8 <= name.size(); position += 8) {
            uint64_t word = 0;
            std::memcpy(&word, name.data() + position, 8);
            hasher.word(lowerAsciiWord(word));
        }
    }
    char buffer[8];
    std::size_t filled = 0;
    auto put = [&](char character) {
        buffer[filled++] = character;
        if (filled == 8) {
            uint64_t word = 0;
            std::memcpy(&word, buffer, 8);
            hasher.word(word);
            filled = 0;
        }
    };
    while (position < name.size()) {
        if (byCharacter && cp932CharacterLength(name, position) == 2) {
            put(name[position]);
            put(name[position + 1]);
            position += 2;
            continue;
        }
        put(asciiLower(name[position]));
        ++position;
    }
    uint64_t tail = 0;
    std::memcpy(&tail, buffer, filled);
    return hasher.finish(tail, name.size());
}

// Whether `name` folds to `folded`, without building its folded form.
bool foldsTo(std::string_view name, std::string_view folded, TextEncoding encoding)
{
    if (name.size() != folded.size())
        return false;
    std::size_t position = 0;
    while (position < name.size()) {
        if (encoding == TextEncoding::Cp932 && cp932CharacterLength(name, position) == 2) {
            if (name[position] != folded[position] || name[position + 1] != folded[position + 1])
                return false;
            position += 2;
            continue;
        }
        if (asciiLower(name[position]) != folded[position])
            return false;
        ++position;
    }
    return true;
}

// An open-addressing hash set of names that lie in the file's bytes. A slot
// holds only the position of the name's line and a part of its hash, packed
// into 8 bytes, so that a file of millions of keys costs an index of about
// the file's own size: the names themselves are read from the bytes.
class NameIndex {
public:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    // The position stored for the name that folds to `folded` (with hash
    // `hash`), or kNone. `nameAt` gives the name of a stored position.
    std::size_t size() const { return count_; }

    template <typename NameAt>
    std::size_t find(std::string_view folded, uint64_t hash, TextEncoding encoding, const NameAt& nameAt) const
    {
        if (slots_.empty())
            return kNone;
        std::size_t mask = slots_.size() - 1;
        for (std::size_t at = home(hash);; at = (at + 1) & mask) {
            uint64_t slot = slots_[at];
            if (slot == 0)
                return kNone;
            if ((slot >> kPositionBits) == tag(hash)) {
                std::size_t position = static_cast<std::size_t>((slot & kPositionMask) - 1);
                if (foldsTo(nameAt(position), folded, encoding))
                    return position;
            }
        }
    }

    // Adds `position` (its name hashing to `hash`) unless a name that folds
    // the same is there already: the first occurrence wins. `nameAt` as above.
    template <typename NameAt>
    void addFirst(std::size_t position, uint64_t hash, TextEncoding encoding, const NameAt& nameAt)
    {
        if ((count_ + 1) * 4 > slots_.size() * 3)
            grow(encoding, nameAt);
        std::size_t mask = slots_.size() - 1;
        std::string folded;
        for (std::size_t at = home(hash);; at = (at + 1) & mask) {
            uint64_t slot = slots_[at];
            if (slot == 0) {
                slots_[at] = pack(position, hash);
                ++count_;
                return;
            }
            if ((slot >> kPositionBits) == tag(hash)) {
                if (folded.empty())
                    folded = foldName(nameAt(position), encoding);
                if (foldsTo(nameAt(static_cast<std::size_t>((slot & kPositionMask) - 1)), folded, encoding))
                    return;
            }
        }
    }

    // Asks the processor to fetch the slot where a name with `hash` goes.
    void prefetch(uint64_t hash) const
    {
        if (!slots_.empty())
            __builtin_prefetch(slots_.data() + home(hash), 1);
    }

private:
    // 40 bits of position (files up to a terabyte), 24 bits of hash.
    static constexpr int kPositionBits = 40;
    static constexpr uint64_t kPositionMask = (uint64_t { 1 } << kPositionBits) - 1;

    static constexpr int kTagBits = 64 - kPositionBits;
    static uint64_t tag(uint64_t hash) { return hash >> kPositionBits; }
    // The first slot to try: the top bits of the hash, so that up to 2^24
    // slots the tag alone says where an entry goes when the table grows.
    std::size_t home(uint64_t hash) const { return static_cast<std::size_t>(hash >> (64 - bits_)); }
    static uint64_t pack(std::size_t position, uint64_t hash)
    {
        return (tag(hash) << kPositionBits) | (static_cast<uint64_t>(position) + 1);
    }

    template <typename NameAt>
    void grow(TextEncoding encoding, const NameAt& nameAt)
    {
        std::vector<uint64_t> old = std::move(slots_);
        bits_ = old.empty() ? 4 : bits_ + 1;
        slots_.assign(std::size_t { 1 } << bits_, 0);
        std::size_t mask = slots_.size() - 1;
        for (uint64_t slot : old) {
            if (slot == 0)
                continue;
            uint64_t hash = (slot >> kPositionBits) << kPositionBits;
            if (bits_ > kTagBits)
                hash = hashName(nameAt(static_cast<std::size_t>((slot & kPositionMask) - 1)), encoding);
            std::size_t at = home(hash);
            while (slots_[at] != 0)
                at = (at + 1) & mask;
            slots_[at] = slot;
        }
    }

    std::vector<uint64_t> slots_;
    int bits_ = 0;
    std::size_t count_ = 0;
};

// Feeds the names of a pass over the file to an index a few names behind,
// fetching the slot of each name ahead of its turn: a large index lies
// beyond the processor's caches, and one slot after the other would wait
// for memory each time. The names keep their order, so the first
// occurrence still wins.
template <typename NameAt>
class IndexFeeder {
public:
    IndexFeeder(NameIndex& index, TextEncoding encoding, const NameAt& nameAt)
        : index_(index)
        , encoding_(encoding)
        , nameAt_(nameAt)
    {
    }
    ~IndexFeeder() { flush(); }
    IndexFeeder(const IndexFeeder&) = delete;
    IndexFeeder& operator=(const IndexFeeder&) = delete;

    void add(std::size_t position, uint64_t hash)
    {
        if (count_ == kAhead)
            addOldest();
        index_.prefetch(hash);
        pending_[(first_ + count_) % kAhead] = { position, hash };
        ++count_;
    }

    void flush()
    {
        while (count_ > 0)
            addOldest();
    }

private:
    static constexpr std::size_t kAhead = 16;

    void addOldest()
    {
        auto [position, hash] = pending_[first_];
        index_.addFirst(position, hash, encoding_, nameAt_);
        first_ = (first_ + 1) % kAhead;
        --count_;
    }

    NameIndex& index_;
    TextEncoding encoding_;
    const NameAt& nameAt_;
    std::pair<std::size_t, uint64_t> pending_[kAhead] {};
    std::size_t first_ = 0;
    std::size_t count_ = 0;
};

// GetPrivateProfileIntA's reading of a value: blanks, an optional sign, then
// decimal digits, or hexadecimal digits after "0x" or "0X"; 0 without
// digits. Beyond 32 bits the result sticks at the limit, so that
// 99999999999 still fails a caller's range check instead of wrapping into
// range.
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
    int base = 10;
    if (position + 1 < text.size() && text[position] == '0' && (text[position + 1] == 'x' || text[position + 1] == 'X')) {
        base = 16;
        position += 2;
    }
    auto digitValue = [base](char character) -> int {
        if (character >= '0' && character <= '9')
            return character - '0';
        if (base == 16 && character >= 'a' && character <= 'f')
            return character - 'a' + 10;
        if (base == 16 && character >= 'A' && character <= 'F')
            return character - 'A' + 10;
        return -1;
    };
    constexpr int64_t kBeyondRange = int64_t { INT32_MAX } + 2;
    int64_t magnitude = 0;
    for (; position < text.size(); ++position) {
        int digit = digitValue(text[position]);
        if (digit < 0)
            break;
        if (magnitude < kBeyondRange)
            magnitude = magnitude * base + digit;
    }
    int64_t value = negative ? -magnitude : magnitude;
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

// A key added by set(): its name and its value as they stand in the file.
struct AddedKey {
    std::string name;
    std::string stored;
};

// What set() changed in a section: new keys, in the order they were added,
// and an index of them by folded name.
struct AddedKeys {
    std::vector<AddedKey> keys;
    std::unordered_map<std::string, std::size_t> byName;

    AddedKey* find(const std::string& folded)
    {
        auto entry = byName.find(folded);
        return entry == byName.end() ? nullptr : &keys[entry->second];
    }
    void add(std::string folded, AddedKey key)
    {
        byName.emplace(std::move(folded), keys.size());
        keys.push_back(std::move(key));
    }
};

// A section of the file as far as reads and writes have looked at it. Its
// key lines are first searched line by line, each search stopping at the
// key it looks for; a search that finds nothing has seen every key line and
// so learns where a new key goes. After a few searches the section's keys
// are indexed in one pass, so a loader reading thousands of keys pays one
// pass over the section, and one reading three keys of a huge section pays
// no index at all.
struct SectionInfo {
    // Where a new key line goes, once `insertAtKnown`: the start of the line
    // after the section's last key line, or after its header when it has no
    // key. A comment or blank line after the last key usually introduces
    // what follows, so a new key goes above it.
    std::size_t insertAt = 0;
    bool insertAtKnown = false;
    std::size_t searches = 0;
    bool indexed = false;
    // Once `indexed`: the first occurrence of each key name, by the position
    // of its line's first byte that is not a blank.
    NameIndex keys;
    // Whether no key name occurs twice in the section, so that any line of
    // a key is its first occurrence; and where the line after the last key
    // found starts. A loader reading keys in the file's order (CODE_0,
    // CODE_1, ...) then finds each one on the next line, without the index.
    bool keysUnique = false;
    std::size_t nextLine = 0;
    AddedKeys added;
};

// A new value of a key of the file: the bytes from `begin` to `end` (the
// value as it stands, blanks around it left out) are replaced by `stored`.
struct ValueEdit {
    std::size_t end = 0;
    std::string stored;
};

// A section added by set() at the end of the file.
struct AddedSection {
    std::string name;
    AddedKeys added;
};

// A line of the file: its bytes are [begin, contentEnd), its line break (if
// any) runs to `end`. CR, LF and CRLF all end a line.
struct Line {
    std::size_t begin = 0;
    std::size_t contentEnd = 0;
    std::size_t end = 0;
};

// The first CR or LF at or after `position`, or `size`. Eight bytes at a
// time: a word holds a CR or LF when one of its bytes, XORed with it, is 0.
std::size_t findLineBreak(const char* data, std::size_t position, std::size_t size)
{
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    constexpr uint64_t kHighBits = 0x8080808080808080ull;
    auto holdsZeroByte = [](uint64_t word) { return ((word - kOnes) & ~word & kHighBits) != 0; };
    while (position + 8 <= size) {
        uint64_t word = 0;
        std::memcpy(&word, data + position, 8);
        if (holdsZeroByte(word ^ (kOnes * '\n')) || holdsZeroByte(word ^ (kOnes * '\r')))
            break;
        position += 8;
    }
    while (position < size && !isLineBreak(data[position]))
        ++position;
    return position;
}

Line lineAt(std::string_view bytes, std::size_t begin)
{
    const char* data = bytes.data();
    std::size_t size = bytes.size();
    std::size_t position = findLineBreak(data, begin, size);
    Line line { begin, position, position };
    if (position < size) {
        line.end = position + 1;
        if (data[position] == '\r' && position + 1 < size && data[position + 1] == '\n')
            line.end = position + 2;
    }
    return line;
}

} // namespace

struct ProfileFile::Impl {
    std::string path;
    bool exists = false;
    // The errno of a load that found the file but could not read it.
    int loadError = 0;
    // The bytes as read (or as last brought up to date with the edits below).
    std::string bytes;
    TextEncoding encoding = TextEncoding::Utf8;
    std::string lineEnding { kNewFileLineEnding };

    // First occurrence of each section name, by the position of its '['. A
    // later header of the same name is neither read nor written, as on
    // Windows. Sections are first searched header by header, and the search
    // results kept; after a few searches every header is indexed at once.
    NameIndex sectionIndex;
    bool sectionsIndexed = false;
    std::unordered_map<std::string, std::size_t> sectionsSearched;
    // Sections read or written so far, by the position of their '['.
    std::unordered_map<std::size_t, SectionInfo> sections;
    // Edits not yet in `bytes`: new values of keys by their value's
    // position, and sections added at the end.
    std::map<std::size_t, ValueEdit> valueEdits;
    std::vector<AddedSection> addedSections;
    std::unordered_map<std::string, std::size_t> addedSectionsByName;
    bool edited = false;
    // The key line found last, so that reading its value does not look for
    // its '=' and its end again.
    struct KeyLine {
        std::size_t first = NameIndex::kNone;
        std::size_t valueBegin = 0;
        std::size_t contentEnd = 0;
    } lastKeyLine;
    // The last section found, by folded name: a loader reads many keys of
    // one section in a row.
    std::string lastSectionName;
    std::size_t lastSection = NameIndex::kNone;

    std::string errorText;
    FileReplaceFailure failure;
    mutable Cp932Converter converter;

    std::size_t contentBegin() const { return bytes.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0; }

    void parse(bool detect);
    void indexSections();
    std::size_t searchSection(std::string_view foldedName) const;
    std::size_t findKey(SectionInfo& section, std::size_t bracket, std::string_view foldedName);
    void indexKeys(SectionInfo& section, std::size_t bracket);
    template <typename Visit>
    void forEachLine(std::size_t from, const Visit& visit) const;
    bool isHeader(const Line& line, std::size_t first, std::size_t& nameEnd) const;
    std::size_t sectionNameEnd(std::size_t begin, std::size_t contentEnd) const;
    std::string_view sectionNameAt(std::size_t bracket) const;
    std::string_view keyNameAt(std::size_t first) const;
    std::optional<std::string_view> keyNameOfLine(const Line& line, std::size_t first) const;
    std::pair<std::size_t, std::size_t> valueSpanAt(std::size_t first) const;
    SectionInfo& sectionAt(std::size_t bracket);

    std::optional<std::string> toFileEncoding(std::string_view utf8) const;
    std::string toUtf8(std::string_view fileText) const;
    std::optional<std::string> indexName(std::string_view utf8Name) const;
    std::optional<std::string_view> lookup(std::string_view section, std::string_view key);
    std::size_t findSection(const std::string& foldedName);

    bool set(std::string_view section, std::string_view key, std::string_view value);
    const std::string& upToDate();
};

void ProfileFile::Impl::parse(bool detect)
{
    if (detect) {
        std::size_t begin = contentBegin();
        // Bytes after a byte-order mark are UTF-8 by the mark's own word.
        encoding = begin > 0 ? TextEncoding::Utf8 : detectEncoding(bytes);
        // New lines copy the file's first line end: CRLF, LF or CR alone.
        std::size_t lineBreak = bytes.find_first_of("\r\n", begin);
        if (lineBreak == std::string::npos)
            lineEnding = kNewFileLineEnding;
        else if (bytes[lineBreak] == '\n')
            lineEnding = "\n";
        else {
            // A stray CR before a CRLF (CR CR LF) does not make a CR-only file.
            std::size_t after = lineBreak;
            while (after < bytes.size() && bytes[after] == '\r')
                ++after;
            lineEnding = after < bytes.size() && bytes[after] == '\n' ? "\r\n" : "\r";
        }
    }
    sectionIndex = NameIndex {};
    sectionsIndexed = false;
    sectionsSearched.clear();
    sections.clear();
    valueEdits.clear();
    addedSections.clear();
    addedSectionsByName.clear();
    edited = false;
    lastSectionName.clear();
    lastSection = NameIndex::kNone;
    lastKeyLine = KeyLine {};
}

// Calls visit(line, first, isHeader, nameEnd) for each line from `from` on,
// `first` being the position of its first byte that is not a blank and
// `nameEnd` that of a header's ']'; stops when visit returns false.
template <typename Visit>
void ProfileFile::Impl::forEachLine(std::size_t from, const Visit& visit) const
{
    std::size_t position = from;
    while (position < bytes.size()) {
        Line line = lineAt(bytes, position);
        std::size_t first = position;
        while (first < line.contentEnd && isBlank(bytes[first]))
            ++first;
        std::size_t nameEnd = 0;
        bool header = isHeader(line, first, nameEnd);
        if (!visit(line, first, header, nameEnd))
            return;
        position = line.end;
    }
}

// The '[' of the first header whose name folds to `foldedName`, searched
// header by header; NameIndex::kNone when there is none.
std::size_t ProfileFile::Impl::searchSection(std::string_view foldedName) const
{
    std::size_t found = NameIndex::kNone;
    forEachLine(contentBegin(), [&](const Line&, std::size_t first, bool header, std::size_t nameEnd) {
        if (header && foldsTo(trimBlanks(std::string_view(bytes).substr(first + 1, nameEnd - first - 1)), foldedName,
                              encoding))
            found = first;
        return found == NameIndex::kNone;
    });
    return found;
}

void ProfileFile::Impl::indexSections()
{
    auto nameAt = [this](std::size_t bracket) { return sectionNameAt(bracket); };
    IndexFeeder feeder(sectionIndex, encoding, nameAt);
    forEachLine(contentBegin(), [&](const Line&, std::size_t first, bool header, std::size_t nameEnd) {
        if (header)
            feeder.add(first, hashName(trimBlanks(std::string_view(bytes).substr(first + 1, nameEnd - first - 1)), encoding));
        return true;
    });
    feeder.flush();
    sectionsIndexed = true;
}

// A line whose first byte that is not a blank (at `first`) is '[' and that
// holds a ']' after it is a section header; `nameEnd` is then the ']'.
bool ProfileFile::Impl::isHeader(const Line& line, std::size_t first, std::size_t& nameEnd) const
{
    if (first >= line.contentEnd || bytes[first] != '[')
        return false;
    nameEnd = sectionNameEnd(first + 1, line.contentEnd);
    return nameEnd < line.contentEnd;
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

// The name of the section whose header's '[' is at `bracket`.
std::string_view ProfileFile::Impl::sectionNameAt(std::size_t bracket) const
{
    Line line = lineAt(bytes, bracket);
    std::size_t nameEnd = sectionNameEnd(bracket + 1, line.contentEnd);
    return trimBlanks(std::string_view(bytes).substr(bracket + 1, nameEnd - bracket - 1));
}

// The name of the key whose line's first byte that is not a blank is at
// `first`: the text up to the first '=', blanks around it left out. '=' (3D)
// is below every CP932 trail byte, so a byte search is safe.
std::string_view ProfileFile::Impl::keyNameAt(std::size_t first) const
{
    auto* equals = static_cast<const char*>(std::memchr(bytes.data() + first, '=', bytes.size() - first));
    return trimBlanks(std::string_view(bytes.data() + first, static_cast<std::size_t>(equals - bytes.data()) - first));
}

// The name of the key on a line whose text starts at `first`, or nothing
// for a blank line, a comment or a line without '='.
std::optional<std::string_view> ProfileFile::Impl::keyNameOfLine(const Line& line, std::size_t first) const
{
    if (first >= line.contentEnd || bytes[first] == ';' || bytes[first] == '#')
        return std::nullopt;
    auto* equals = static_cast<const char*>(std::memchr(bytes.data() + first, '=', line.contentEnd - first));
    if (equals == nullptr)
        return std::nullopt;
    return trimBlanks(std::string_view(bytes.data() + first, static_cast<std::size_t>(equals - bytes.data()) - first));
}

// Where the value of the key line at `first` stands: after the first '=' to
// the line's end, blanks around it left out.
std::pair<std::size_t, std::size_t> ProfileFile::Impl::valueSpanAt(std::size_t first) const
{
    std::size_t begin = 0;
    std::size_t end = 0;
    if (first == lastKeyLine.first) {
        begin = lastKeyLine.valueBegin;
        end = lastKeyLine.contentEnd;
    } else {
        auto* equals = static_cast<const char*>(std::memchr(bytes.data() + first, '=', bytes.size() - first));
        begin = static_cast<std::size_t>(equals - bytes.data()) + 1;
        end = findLineBreak(bytes.data(), begin, bytes.size());
    }
    while (begin < end && isBlank(bytes[begin]))
        ++begin;
    while (end > begin && isBlank(bytes[end - 1]))
        --end;
    return { begin, end };
}

// What reads and writes learned so far of the section whose header's '['
// is at `bracket`.
SectionInfo& ProfileFile::Impl::sectionAt(std::size_t bracket)
{
    return sections[bracket];
}

// The position of the first key line of the section at `bracket` whose key
// folds to `foldedName`, or NameIndex::kNone. The key lines of a section are
// the lines after its header up to the next header, except comments (';'
// or '#' first) and lines without '='.
std::size_t ProfileFile::Impl::findKey(SectionInfo& section, std::size_t bracket, std::string_view foldedName)
{
    if (!section.indexed && ++section.searches > kSearchesBeforeIndex)
        indexKeys(section, bracket);
    if (section.indexed) {
        if (section.keysUnique && section.nextLine < bytes.size()) {
            std::size_t first = section.nextLine;
            Line line = lineAt(bytes, first);
            while (first < line.contentEnd && isBlank(bytes[first]))
                ++first;
            std::size_t nameEnd = 0;
            if (!isHeader(line, first, nameEnd) && first < line.contentEnd && bytes[first] != ';'
                && bytes[first] != '#') {
                auto* equals =
                    static_cast<const char*>(std::memchr(bytes.data() + first, '=', line.contentEnd - first));
                if (equals != nullptr
                    && foldsTo(trimBlanks(std::string_view(bytes.data() + first,
                                                           static_cast<std::size_t>(equals - bytes.data()) - first)),
                               foldedName, encoding)) {
                    section.nextLine = line.end;
                    lastKeyLine = { first, static_cast<std::size_t>(equals - bytes.data()) + 1, line.contentEnd };
                    return first;
                }
            }
        }
        std::size_t found = section.keys.find(foldedName, hashName(foldedName, encoding), encoding,
                                              [this](std::size_t at) { return keyNameAt(at); });
        if (found != NameIndex::kNone)
            section.nextLine = lineAt(bytes, found).end;
        return found;
    }
    std::size_t found = NameIndex::kNone;
    std::size_t insertAt = lineAt(bytes, bracket).end;
    forEachLine(insertAt, [&](const Line& line, std::size_t first, bool header, std::size_t) {
        if (header)
            return false;
        if (auto name = keyNameOfLine(line, first)) {
            if (foldsTo(*name, foldedName, encoding))
                found = first;
            insertAt = line.end;
        }
        return found == NameIndex::kNone;
    });
    if (found == NameIndex::kNone) {
        section.insertAt = insertAt;
        section.insertAtKnown = true;
    }
    return found;
}

void ProfileFile::Impl::indexKeys(SectionInfo& section, std::size_t bracket)
{
    auto nameAt = [this](std::size_t first) { return keyNameAt(first); };
    IndexFeeder feeder(section.keys, encoding, nameAt);
    std::size_t insertAt = lineAt(bytes, bracket).end;
    std::size_t keyLines = 0;
    forEachLine(insertAt, [&](const Line& line, std::size_t first, bool header, std::size_t) {
        if (header)
            return false;
        if (auto name = keyNameOfLine(line, first)) {
            feeder.add(first, hashName(*name, encoding));
            insertAt = line.end;
            ++keyLines;
        }
        return true;
    });
    feeder.flush();
    section.keysUnique = section.keys.size() == keyLines;
    section.nextLine = bytes.size();
    section.insertAt = insertAt;
    section.insertAtKnown = true;
    section.indexed = true;
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
    utf8Name = trimBlanks(utf8Name);
    if (encoding != TextEncoding::Cp932 || isAscii(utf8Name))
        return foldName(utf8Name, encoding);
    auto name = toFileEncoding(utf8Name);
    if (!name)
        return std::nullopt;
    return foldName(*name, encoding);
}

// The position of the '[' of the first header of the section whose name
// folds to `foldedName`, or NameIndex::kNone.
std::size_t ProfileFile::Impl::findSection(const std::string& foldedName)
{
    if (lastSection != NameIndex::kNone && foldedName == lastSectionName)
        return lastSection;
    std::size_t bracket = NameIndex::kNone;
    if (!sectionsIndexed) {
        if (auto searched = sectionsSearched.find(foldedName); searched != sectionsSearched.end())
            bracket = searched->second;
        else if (sectionsSearched.size() < kSearchesBeforeIndex)
            bracket = sectionsSearched[foldedName] = searchSection(foldedName);
        else
            indexSections();
    }
    if (sectionsIndexed)
        bracket = sectionIndex.find(foldedName, hashName(foldedName, encoding), encoding,
                                    [this](std::size_t at) { return sectionNameAt(at); });
    if (bracket != NameIndex::kNone) {
        lastSectionName = foldedName;
        lastSection = bracket;
    }
    return bracket;
}

// The value of `key` in `section` as it reads, in the file's encoding.
std::optional<std::string_view> ProfileFile::Impl::lookup(std::string_view section, std::string_view key)
{
    auto sectionName = indexName(section);
    auto keyName = indexName(key);
    if (!sectionName || !keyName)
        return std::nullopt;
    AddedKeys* added = nullptr;
    std::size_t bracket = findSection(*sectionName);
    if (bracket != NameIndex::kNone) {
        SectionInfo& info = sectionAt(bracket);
        std::size_t first = findKey(info, bracket, *keyName);
        if (first != NameIndex::kNone) {
            auto [begin, end] = valueSpanAt(first);
            if (auto edit = valueEdits.find(begin); edit != valueEdits.end())
                return readForm(edit->second.stored);
            return unquote(std::string_view(bytes).substr(begin, end - begin));
        }
        added = &info.added;
    } else if (auto entry = addedSectionsByName.find(*sectionName); entry != addedSectionsByName.end()) {
        added = &addedSections[entry->second].added;
    }
    if (added == nullptr)
        return std::nullopt;
    if (AddedKey* addedKey = added->find(*keyName))
        return readForm(addedKey->stored);
    return std::nullopt;
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
    // A value that would not read back as itself (blanks around it, or a
    // pair of quotes around it that reading takes off) is stored in one
    // more pair of quotes, which reading takes off again.
    std::string stored = readForm(*valueText) == *valueText ? std::move(*valueText) : "\"" + *valueText + "\"";
    std::string sectionName = foldName(*sectionText, encoding);
    std::string keyName = foldName(*keyText, encoding);
    edited = true;

    std::size_t bracket = findSection(sectionName);
    AddedKeys* added = nullptr;
    if (bracket != NameIndex::kNone) {
        SectionInfo& info = sectionAt(bracket);
        std::size_t first = findKey(info, bracket, keyName);
        if (first != NameIndex::kNone) {
            auto [begin, end] = valueSpanAt(first);
            valueEdits[begin] = ValueEdit { end, std::move(stored) };
            return true;
        }
        added = &info.added;
    } else if (auto entry = addedSectionsByName.find(sectionName); entry != addedSectionsByName.end()) {
        added = &addedSections[entry->second].added;
    } else {
        addedSectionsByName.emplace(std::move(sectionName), addedSections.size());
        addedSections.push_back(AddedSection { std::move(*sectionText), {} });
        added = &addedSections.back().added;
    }
    if (AddedKey* addedKey = added->find(keyName))
        addedKey->stored = std::move(stored);
    else
        added->add(std::move(keyName), AddedKey { std::move(*keyText), std::move(stored) });
    return true;
}

// Brings `bytes` up to date with the edits made since the last time, in
// one pass over the file: new values in place of the old ones, new keys
// after the last key line of their section, new sections at the end. The
// index is then built again from the new bytes.
const std::string& ProfileFile::Impl::upToDate()
{
    if (!edited)
        return bytes;
    std::vector<std::pair<std::size_t, const AddedKeys*>> insertions;
    std::size_t extra = 0;
    for (const auto& [bracket, info] : sections) {
        if (!info.added.keys.empty())
            insertions.emplace_back(info.insertAt, &info.added);
        for (const AddedKey& key : info.added.keys)
            extra += key.name.size() + key.stored.size() + 1 + lineEnding.size();
    }
    std::sort(insertions.begin(), insertions.end());
    for (const auto& [begin, edit] : valueEdits)
        extra += edit.stored.size();
    for (const AddedSection& section : addedSections) {
        extra += section.name.size() + 2 + lineEnding.size();
        for (const AddedKey& key : section.added.keys)
            extra += key.name.size() + key.stored.size() + 1 + lineEnding.size();
    }

    std::string out;
    out.reserve(bytes.size() + extra + lineEnding.size());
    std::size_t copied = 0;
    bool terminated = bytes.size() == contentBegin() || isLineBreak(bytes.back());
    auto copyTo = [&](std::size_t position) {
        out.append(bytes, copied, position - copied);
        copied = position;
    };
    // A last line without a line end gets one before a line follows it.
    auto startLine = [&]() {
        if (copied == bytes.size() && !terminated) {
            out += lineEnding;
            terminated = true;
        }
    };
    auto appendKeys = [&](const AddedKeys& added) {
        for (const AddedKey& key : added.keys) {
            out += key.name;
            out += '=';
            out += key.stored;
            out += lineEnding;
        }
    };
    auto edit = valueEdits.begin();
    auto insertion = insertions.begin();
    while (edit != valueEdits.end() || insertion != insertions.end()) {
        // At the same position a value edit comes first: it belongs to the
        // line before a key inserted there.
        if (edit != valueEdits.end() && (insertion == insertions.end() || edit->first <= insertion->first)) {
            copyTo(edit->first);
            out += edit->second.stored;
            copied = edit->second.end;
            ++edit;
        } else {
            copyTo(insertion->first);
            startLine();
            appendKeys(*insertion->second);
            ++insertion;
        }
    }
    copyTo(bytes.size());
    for (const AddedSection& section : addedSections) {
        startLine();
        out += '[';
        out += section.name;
        out += ']';
        out += lineEnding;
        appendKeys(section.added);
    }
    bytes = std::move(out);
    parse(false);
    return bytes;
}

// The services' way to the value bytes in the file's own encoding, which
// the public find() hands out only as UTF-8.
struct ProfileAccess {
    static std::optional<std::string_view> rawValue(const ProfileFile& file, std::string_view section,
                                                    std::string_view key)
    {
        return file.impl_->lookup(section, key);
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
    std::string bytes;
    int errorNumber = 0;
    switch (system::readRegularFile(path, bytes, errorNumber)) {
    case system::ReadOutcome::Failed:
        impl.loadError = errorNumber;
        return file;
    case system::ReadOutcome::NotRegular:
        // A pipe or a device (a link to /dev/zero) has no end to read to: it
        // is taken as no file at all. A commit then refuses it too, since
        // only a regular file is ever replaced.
        return file;
    case system::ReadOutcome::Read:
        break;
    }
    impl.exists = true;
    impl.bytes = std::move(bytes);
    impl.parse(true);
    return file;
}

ProfileFile ProfileFile::fromBytes(std::string bytes, std::string path)
{
    ProfileFile file;
    file.impl_->path = std::move(path);
    file.impl_->exists = true;
    file.impl_->bytes = std::move(bytes);
    file.impl_->parse(true);
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
    return impl_->upToDate();
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
    if (!replaceFileContents(impl_->path, impl_->upToDate(), impl_->errorText, impl_->failure))
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
    // Digits, signs and blanks are the same bytes in both encodings. A key
    // without a value gives the default, as a missing one does.
    auto raw = ProfileAccess::rawValue(file, section, key);
    return raw && !raw->empty() ? leadingInteger(*raw) : defaultValue;
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
