#include "platform/system/file_replace_faults.h"

#include <array>

namespace platform {

namespace {

struct InjectedFaults {
    std::array<int, 4> nextError {};
    std::size_t writeLimit = 0;
    bool namedTemporaryFiles = false;
};

InjectedFaults& injectedFaults()
{
    static InjectedFaults faults;
    return faults;
}

} // namespace

int takeInjectedFault(FileReplaceStep step)
{
    int& slot = injectedFaults().nextError[static_cast<std::size_t>(step)];
    int errorNumber = slot;
    slot = 0;
    return errorNumber;
}

std::size_t injectedWriteLimit() { return injectedFaults().writeLimit; }

bool namedTemporaryFilesRequested() { return injectedFaults().namedTemporaryFiles; }

void failNextFileReplaceStepForTesting(FileReplaceStep step, int errorNumber)
{
    injectedFaults().nextError[static_cast<std::size_t>(step)] = errorNumber;
}

void limitFileReplaceWriteSizeForTesting(std::size_t bytes) { injectedFaults().writeLimit = bytes; }

// Windows has no files without a name: there every temporary file is named
// from the start whatever this asks.
void useNamedTemporaryFilesForTesting(bool named) { injectedFaults().namedTemporaryFiles = named; }

void clearFileReplaceFaultsForTesting() { injectedFaults() = InjectedFaults {}; }

} // namespace platform
