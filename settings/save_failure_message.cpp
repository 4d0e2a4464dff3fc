#include "settings/save_failure_message.h"

#include <cstring>

namespace zandreth {

namespace {

std::string reasonOf(const platform::FileReplaceFailure& failure, const std::string& systemText)
{
    using platform::FileReplaceCause;
    switch (failure.cause) {
    case FileReplaceCause::ReadOnlyFile:
        return "ファイルが読み取り専用になっています。";
    case FileReplaceCause::ReadOnlyFolder:
        return "ファイルのあるフォルダーが読み取り専用になっています。";
    case FileReplaceCause::ReadOnlyDisk:
        return "ファイルのあるディスクが読み取り専用になっています。";
    case FileReplaceCause::DiskFull:
        return "ディスクの空き領域が足りません。";
    case FileReplaceCause::PermissionDenied:
        return "ファイルへのアクセスが拒否されました。";
    case FileReplaceCause::NotAFile:
        return "ファイルの場所に、ファイルではないもの（フォルダーなど）があります。";
    case FileReplaceCause::Unreadable:
        return "ファイルを読み込めないため、上書きするとその内容が失われます。";
    case FileReplaceCause::None:
    case FileReplaceCause::Other:
        break;
    }
    if (failure.errorNumber != 0)
        return std::strerror(failure.errorNumber);
    return systemText;
}

} // namespace

std::string SaveFailureMessage(const std::string& path, const platform::FileReplaceFailure& failure,
                               const std::string& systemText)
{
    return "設定を保存できませんでした。\n\n" + path + "\n\n" + reasonOf(failure, systemText);
}

std::string SettingsCopyFailureMessage(const std::string& folder, const platform::FileReplaceFailure& failure)
{
    return "設定ファイルを作成できませんでした。\n\n" + folder + "\n\n" + reasonOf(failure, "");
}

} // namespace zandreth
