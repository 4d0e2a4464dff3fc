// Compiled with the flags of the program's data: the settings-file and clock
// services are reachable from there, the forms API is not. The first
// includes must compile everywhere, so a failure on them is not taken for
// the expected one.
#include "platform/profile/private_profile.h"
#include "platform/runtime/system_time.h"
#include "platform/forms/form.h"
