#include "platform/system/files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <map>

namespace platform::system {

bool anotherInstanceHolds(const std::string& directory)
{
    // One answer per directory for the life of the process; the descriptor
    // stays open so the lock is held until the process ends.
    static std::map<std::string, bool> answers;
    auto found = answers.find(directory);
    if (found != answers.end())
        return found->second;
    bool held = false;
    int descriptor = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0 && ::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        held = true;
        ::close(descriptor);
    }
    answers[directory] = held;
    return held;
}

} // namespace platform::system
