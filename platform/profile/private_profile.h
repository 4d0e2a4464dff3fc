#pragma once

// Private-profile ("INI") files, with the semantics of the Windows
// GetPrivateProfileIntA, GetPrivateProfileStringA and
// WritePrivateProfileStringA services that this program's settings file was
// designed for.
//
// A ProfileFile holds one file's bytes, read once, so a loader that reads
// hundreds of keys touches the disk once. Writes are kept beside the bytes
// and applied in one pass when the bytes are asked for or committed: only
// the bytes of the keys written change; every other byte of the file
// (comments, blank lines, order, spelling and spacing of other keys, line
// endings, the encoding) stays as it was. commit() then replaces the file on
// disk in one step: a temporary file beside it, flushed to disk, then renamed
// over it, so a crash or a full disk leaves either the old file or the new
// one, never a truncated mixture (details, leftovers of killed saves, ACLs,
// extended attributes and hard links: platform/system/file_replace.h).
//
// Cost: a load reads the file and looks once at every line for section
// headers; the keys of a section are indexed the first time that section is
// read or written. A read is then a hash lookup, a write a hash lookup and a
// note of the new text, and a commit one pass over the file, however many
// keys were written. The index holds positions in the file, 8 bytes for each
// section and for each key of a section in use, so memory stays within a
// small multiple of the file's size.
//
// File format, as the Windows services read it:
// - Lines end with CRLF, LF or a CR alone (files from old editors); a last
//   line without a line end counts. A=1 followed by CR CR LF is the line
//   A=1 ended by its CR, then an empty line.
// - "[name]" starts a section; "key=value" lines belong to the section above.
//   A line that begins with '[' (after any blanks, as everywhere below) and
//   holds a ']' is a section header, its name running to the first ']'; text
//   after the ']' is ignored. A line "[S" without ']' is not a header: it is
//   an ordinary line of the section above (a key when it holds '=').
// - Section and key names compare without regard to ASCII letter case.
// - Blanks and tabs around a key, a value and a section name are not part of
//   them. A value wrapped in one pair of matching double or single quotes
//   loses that pair: A="quoted" reads quoted, A='x' reads x, A="" reads
//   the empty text; a lone or unmatched quote stays (A="open reads "open).
// - Lines beginning with ';' or '#' are comments; lines without '=' outside a
//   section header are ignored, and so are keys above the first section.
//   The value is everything after the first '=', so it can hold '=', ';'
//   and '#'.
// - A section or key that occurs twice: the first occurrence wins, as on
//   Windows; the keys under a later header of the same section are neither
//   read nor written.
// - A UTF-8 byte-order mark at the start is skipped (and kept on write).
// - A NUL byte is an ordinary byte of the line it stands in.
//
// Encoding: the file may be UTF-8 or CP932 (Shift-JIS, as files written on
// Japanese Windows systems are). The file's encoding is detected once when it
// is read (valid UTF-8 is UTF-8, otherwise CP932 when it decodes as CP932;
// a file that is neither is taken as UTF-8 and its bytes are passed through
// unchanged). Names and values cross this interface as UTF-8 text; values
// written to a CP932 file are stored in CP932, so the file keeps one
// encoding.

#include "platform/system/file_replace.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

enum class ProfileEncoding { Utf8, Cp932 };

class ProfileFile {
public:
    // Reads the file at `path`. A missing or unreadable file gives an empty
    // profile (exists() false) and every read gives its default. A commit
    // creates a missing file; one that exists but could not be read (a
    // folder, a read error) is never overwritten, since what it holds would
    // be lost. A named pipe or a device (a link to /dev/zero) reads as a
    // missing file, without waiting or reading on, and a commit refuses it.
    static ProfileFile load(const std::string& path);
    // A profile parsed from bytes in memory, for tests and fuzzing; commit()
    // then writes to `path` if one is given. exists() is true.
    static ProfileFile fromBytes(std::string bytes, std::string path = {});

    bool exists() const;
    const std::string& path() const;
    ProfileEncoding encoding() const;
    // The file's bytes, with the edits made so far (applied now, in one
    // pass, if there are new ones).
    const std::string& bytes() const;

    // The value of `key` in `section`, as UTF-8, blanks around it removed.
    // False, leaving `value` alone, when the section or the key is missing.
    bool find(std::string_view section, std::string_view key, std::string& value) const;

    // Sets `key` in `section` to `value` in memory: replaces the value bytes
    // of the first occurrence of the key (its quotes included); adds the key
    // after the last key line of the section when the section has none;
    // adds the section at the end of the file when it is missing. New lines
    // use the file's own line ending, that of its first line (CRLF, LF or
    // CR; CRLF for a new file or one without a line end), so the file reads
    // the same everywhere afterwards. A value that would not read back as
    // itself (blanks around it, or one pair of matching quotes around it) is
    // stored inside double quotes, which reading takes off again, so every
    // accepted value reads back exactly. Returns false, changing nothing, when the value
    // cannot be stored (it holds a line break, is not valid UTF-8, or holds a
    // character the file's encoding cannot hold), and when a name could not
    // be found again once written: an empty name, a line break in a name,
    // '=' in a key or a key beginning with '[', ';' or '#', ']' in a section
    // name. Blanks around names are dropped, as reading drops them.
    bool set(std::string_view section, std::string_view key, std::string_view value);

    // Replaces the file on disk with bytes() through a temporary file and a
    // rename. Returns true on success. On failure (read-only file or folder,
    // full disk) the file on disk is unchanged, the temporary file is
    // removed and errorText() says why. Details: platform/system/file_replace.h.
    bool commit();
    // Names the file and the reason of the last failed commit; empty after a
    // successful one.
    const std::string& errorText() const;
    // The cause of the last failed commit, for a message in the program's
    // own words; cause None after a successful one.
    const FileReplaceFailure& failure() const;

    // A ProfileFile that was moved from may only be assigned to or destroyed.
    ProfileFile(ProfileFile&&) noexcept;
    ProfileFile& operator=(ProfileFile&&) noexcept;
    ~ProfileFile();

private:
    ProfileFile();
    struct Impl;
    // Gives the services below the value bytes in the file's own encoding.
    friend struct ProfileAccess;
    Impl* impl_;
};

// The overloads that take a file name read and parse the file on every
// call; a loader reading many keys loads one ProfileFile and reads from it.

// GetPrivateProfileIntA: `defaultValue` when the file, the section or the key
// is missing, and also when the key is present with an empty value (A= or
// A=""), as on Windows; otherwise the integer the value begins with
// (blanks, then an optional sign, then decimal digits, or hexadecimal digits
// after "0x" or "0X": "0x10" gives 16, "-0x10" gives -16), 0 when it does not
// begin with one, as on Windows. A number beyond the 32-bit range gives
// INT32_MAX or INT32_MIN (where Windows wraps it), so that a caller's range
// check still sees it out of range.
int32_t GetPrivateProfileIntA(std::string_view section, std::string_view key, int32_t defaultValue,
                              const ProfileFile& file);
int32_t GetPrivateProfileIntA(std::string_view section, std::string_view key, int32_t defaultValue,
                              const std::string& fileName);

// GetPrivateProfileStringA: the key's value (the empty text for a key
// present with an empty value), or `defaultText` when the file, the section
// or the key is missing, cut to `size` - 1 bytes (counted in the
// file's own encoding, never splitting a character), as the Windows service
// cuts it to its buffer. The text comes back as UTF-8, so for a CP932 file it
// can be longer than `size` - 1 bytes. `copied` (when given) receives the
// number of bytes copied in the file's encoding, as the Windows service
// returns it; 0 for an empty value, which a caller tells from a missing key
// only through the default. A `size` of 0 gives the empty text.
std::string GetPrivateProfileStringA(std::string_view section, std::string_view key,
                                     std::string_view defaultText, uint32_t size, const ProfileFile& file,
                                     uint32_t* copied = nullptr);
std::string GetPrivateProfileStringA(std::string_view section, std::string_view key,
                                     std::string_view defaultText, uint32_t size, const std::string& fileName,
                                     uint32_t* copied = nullptr);

// WritePrivateProfileStringA on a file held in memory: set(); the caller
// commits, so that many writes land in one replacement of the file.
bool WritePrivateProfileStringA(std::string_view section, std::string_view key, std::string_view text,
                                ProfileFile& file);
// WritePrivateProfileStringA on a path: load, set, commit. True when the file
// on disk now holds the value.
bool WritePrivateProfileStringA(std::string_view section, std::string_view key, std::string_view text,
                                const std::string& fileName);

} // namespace platform
