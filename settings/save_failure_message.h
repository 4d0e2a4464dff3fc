#pragma once

// The message of the settings dialog when 設定 cannot write the file.

#include "platform/system/file_replace.h"

#include <string>

namespace zandreth {

// "設定を保存できませんでした。", a blank line, the file's path, a blank line
// and the reason in Japanese: a read-only file, folder or disk, a full disk,
// access refused, something that is not a file in the file's place, or a file
// that could not be read. For a cause the program does not know, the reason
// is the system's own words (`systemText`, or the words for the error
// number).
std::string SaveFailureMessage(const std::string& path, const platform::FileReplaceFailure& failure,
                               const std::string& systemText);

} // namespace zandreth
