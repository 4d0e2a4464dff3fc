#pragma once

// The messages of a settings file that cannot be written: the settings
// dialog's when 設定 fails, start-up's when the first copy fails.

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

// The message of start-up when the user's new settings folder did not get
// its copy of the installed catalogue: "設定ファイルを作成できませんでした。",
// a blank line, the folder, a blank line and the reason, in the words of a
// failed save.
std::string SettingsCopyFailureMessage(const std::string& folder, const platform::FileReplaceFailure& failure);

} // namespace zandreth
