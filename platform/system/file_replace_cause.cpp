#include "platform/system/file_replace.h"

#include <cerrno>

namespace platform {

FileReplaceCause fileReplaceCauseOf(int errorNumber)
{
    switch (errorNumber) {
    case EACCES:
    case EPERM:
        return FileReplaceCause::PermissionDenied;
    case EROFS:
        return FileReplaceCause::ReadOnlyDisk;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return FileReplaceCause::DiskFull;
    case EISDIR:
    case ENOTDIR:
        return FileReplaceCause::NotAFile;
    default:
        return FileReplaceCause::Other;
    }
}

} // namespace platform
