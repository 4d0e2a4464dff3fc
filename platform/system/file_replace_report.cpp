#include "platform/system/file_replace_report.h"

#include <cerrno>
#include <utility>

namespace platform {

bool replaceFileContents(const std::string& path, std::string_view bytes, std::string& errorText)
{
    FileReplaceFailure failure;
    return replaceFileContents(path, bytes, errorText, failure);
}

FileReplaceReport::FileReplaceReport(std::string shownPath, std::string& errorText, FileReplaceFailure& failure)
    : shownPath_(std::move(shownPath))
    , errorText_(errorText)
    , failure_(failure)
{
    failure_ = {};
}

bool FileReplaceReport::fail(const std::string& reason, FileReplaceCause cause, int errorNumber)
{
    errorText_ = "Cannot save \"" + shownPath_ + "\": " + reason;
    failure_ = { cause, errorNumber };
    return false;
}

bool FileReplaceReport::failWith(const std::string& what, int errorNumber, const std::string& words)
{
    return fail(what + ": " + words, fileReplaceCauseOf(errorNumber), errorNumber);
}

bool FileReplaceReport::noFileName() { return fail("no file name was given"); }

bool FileReplaceReport::readOnlyFile(int errorNumber)
{
    return fail("the file is read-only", FileReplaceCause::ReadOnlyFile, errorNumber);
}

bool FileReplaceReport::noTemporaryFile(const std::string& folder, int errorNumber, const std::string& words)
{
    failWith("cannot create a temporary file in the folder \"" + folder + "\"", errorNumber, words);
    if (errorNumber == EACCES || errorNumber == EPERM)
        failure_.cause = FileReplaceCause::ReadOnlyFolder;
    return false;
}

bool FileReplaceReport::succeed()
{
    errorText_.clear();
    return true;
}

} // namespace platform
