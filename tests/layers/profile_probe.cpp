// Compiled with the flags of the run-time services: the settings-file
// services stand beside them, on the same seam, and neither reaches the
// other. The first includes are reachable from both, so a failure on them is
// not taken for the expected one.
#include "platform/system/file_replace.h"
#include "platform/runtime/runtime_error.h"
#include "platform/profile/private_profile.h"
