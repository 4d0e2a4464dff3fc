// Compiled with the flags of the operating system's seam: the platform's
// libraries stand on it, so it cannot reach them. The first include is the
// seam's own, so a failure on it is not taken for the expected one.
#include "platform/system/file_replace.h"
#include "platform/runtime/runtime_error.h"
