#pragma once

// Private to the file replacement of each system: how a failed replacement
// is told, the same on every system. The sentence is "Cannot save "<the
// file>": <reason>", the cause comes from the error number through
// fileReplaceCauseOf, and a temporary file that the folder refuses (EACCES,
// EPERM) makes the folder the read-only one.

#include "platform/system/file_replace.h"

#include <string>

namespace platform {

class FileReplaceReport {
public:
    // `shownPath` is the file as the user knows it (with backslashes on
    // Windows). Clears `failure`.
    FileReplaceReport(std::string shownPath, std::string& errorText, FileReplaceFailure& failure);

    // Each returns false, for `return report.fail(...)`.
    bool fail(const std::string& reason, FileReplaceCause cause = FileReplaceCause::Other, int errorNumber = 0);
    // `what` went wrong; `words` are the system's for `errorNumber`.
    bool failWith(const std::string& what, int errorNumber, const std::string& words);
    bool noFileName();
    bool readOnlyFile(int errorNumber = 0);
    // No temporary file could be made in `folder` (as the user knows it).
    bool noTemporaryFile(const std::string& folder, int errorNumber, const std::string& words);
    // Done: no error text.
    bool succeed();

private:
    std::string shownPath_;
    std::string& errorText_;
    FileReplaceFailure& failure_;
};

} // namespace platform
