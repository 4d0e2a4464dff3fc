#include "platform/system/file_replace_leftovers.h"

namespace platform {

bool mayRemoveLeftovers(ReplacedFileState file)
{
    return file == ReplacedFileState::Exists;
}

} // namespace platform
