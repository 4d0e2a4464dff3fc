#pragma once

// Private to the file replacement of each system: which temporary files of
// killed saves a save may remove, one rule for every system.

namespace platform {

enum class ReplacedFileState { Exists, Missing };

// Whether a save may remove the temporary files that killed saves of the file
// left in its folder (the caller knows that no save running now owns them).
// Only while the file itself exists: a temporary file is newer than a missing
// file, and it may be the only copy of what the user last saved (a save
// killed between naming its complete file and the rename, or a file lost
// some other way), so it stays until a save has put the file back in place.
bool mayRemoveLeftovers(ReplacedFileState file);

} // namespace platform
