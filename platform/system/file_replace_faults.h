#pragma once

// Private to the file replacement of each system: the faults that tests
// inject through platform/testing/hooks.h, kept in one place for every system.

#include "platform/testing/hooks.h"

#include <cstddef>

namespace platform {

// The error number injected for the next call of `step`, once; 0 when none
// is.
int takeInjectedFault(FileReplaceStep step);
// The most bytes one write may take; 0 for no limit.
std::size_t injectedWriteLimit();
// True when tests ask for temporary files named from the start.
bool namedTemporaryFilesRequested();

} // namespace platform
