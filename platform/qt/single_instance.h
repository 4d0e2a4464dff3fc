#pragma once

#include <string>

namespace platform {

// Takes the instance lock of a program directory: an exclusive lock on the
// directory itself, held while the process lives. The system drops it when
// the process ends, however it ends, so a crashed instance never leaves it
// stuck, and nothing is written anywhere. Returns true when another process
// holds it.
bool anotherInstanceHolds(const std::string& directory);

} // namespace platform
