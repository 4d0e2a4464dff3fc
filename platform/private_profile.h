#pragma once

// Private-profile ("INI") files, with the semantics of the Windows
// GetPrivateProfileIntA, GetPrivateProfileStringA and
// WritePrivateProfileStringA services that this program's settings file was
// designed for.
//
// A ProfileFile holds one file's bytes, read once and parsed once, so a
// loader that reads hundreds of keys touches the disk once. Writes edit the
// bytes in memory and replace only the bytes of the key written; every other
// byte of the file (comments, blank lines, order, spelling and spacing of
// other keys, line endings, the encoding) stays as it was. commit() then
// replaces the file on disk in one step: a temporary file beside it, flushed
// to disk, then renamed over it, so a crash or a full disk leaves either the
// old file or the new one, never a truncated mixture.
//
// File format, as the Windows services read it:
// - "[name]" starts a section; "key=value" lines belong to the section above.
// - Section and key names compare without regard to ASCII letter case.
// - Blanks and tabs around a key and around a value are not part of them.
// - Lines beginning with ';' or '#' are comments; lines without '=' outside a
//   section header are ignored.
// - A section or key that occurs twice: the first occurrence wins, as on
//   Windows.
// - Lines end with CRLF or LF; a last line without a line end counts; a UTF-8
//   byte-order mark at the start is skipped (and kept on write).
//
// Encoding: the file may be UTF-8 or CP932 (Shift-JIS, as files written on
// Japanese Windows systems are). The file's encoding is detected once when it
// is read (valid UTF-8 is UTF-8, otherwise CP932 when it decodes as CP932).
// Names and values cross this interface as UTF-8 text; values written to a
// CP932 file are stored in CP932, so the file keeps one encoding.

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

enum class ProfileEncoding { Utf8, Cp932 };

class ProfileFile {
public:
    // Reads the file at `path`. A missing or unreadable file gives an empty
    // profile (exists() false): every read gives its default, and a commit
    // creates the file.
    static ProfileFile load(const std::string& path);
    // A profile parsed from bytes in memory, for tests and fuzzing; commit()
    // then writes to `path` if one is given.
    static ProfileFile fromBytes(std::string bytes, std::string path = {});

    bool exists() const;
    const std::string& path() const;
    ProfileEncoding encoding() const;
    // The file's bytes, with the edits made so far.
    const std::string& bytes() const;

    // The value of `key` in `section`, as UTF-8, blanks around it removed.
    // False, leaving `value` alone, when the section or the key is missing.
    bool find(std::string_view section, std::string_view key, std::string& value) const;

    // Sets `key` in `section` to `value` in memory: replaces the value bytes
    // of the first occurrence of the key; adds the key at the end of the
    // section when the section has none; adds the section at the end of the
    // file when it is missing. New lines use the file's own line ending
    // (CRLF for a new file). Returns false, changing nothing, when the value
    // cannot be stored (it holds a line break, or a character the file's
    // encoding cannot hold).
    bool set(std::string_view section, std::string_view key, std::string_view value);

    // Replaces the file on disk with bytes() through a temporary file and a
    // rename. Returns true on success. On failure (read-only file or folder,
    // full disk) the file on disk is unchanged, the temporary file is
    // removed and errorText() says why.
    bool commit();
    const std::string& errorText() const;

    ProfileFile(ProfileFile&&) noexcept;
    ProfileFile& operator=(ProfileFile&&) noexcept;
    ~ProfileFile();

private:
    ProfileFile();
    struct Impl;
    Impl* impl_;
};

// GetPrivateProfileIntA: `defaultValue` when the file, the section or the key
// is missing; otherwise the integer the value begins with (blanks, then an
// optional sign, then decimal digits), 0 when it does not begin with one,
// as on Windows. A number beyond the 32-bit range gives INT32_MAX or
// INT32_MIN, so that a caller's range check still sees it out of range.
int32_t GetPrivateProfileIntA(std::string_view section, std::string_view key, int32_t defaultValue,
                              const ProfileFile& file);
int32_t GetPrivateProfileIntA(std::string_view section, std::string_view key, int32_t defaultValue,
                              const std::string& fileName);

// GetPrivateProfileStringA: the key's value, or `defaultText` when the file,
// the section or the key is missing, cut to `size` - 1 bytes (counted in the
// file's own encoding, never splitting a character), as the Windows service
// cuts it to its buffer. `copied` (when given) receives the number of bytes
// copied, as the Windows service returns it.
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
