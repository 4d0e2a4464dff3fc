#pragma once

// The end of the process asked for from outside (SIGTERM, SIGINT), turned
// into an event of the program's own loop: a screen-saver host ends the
// program that draws into its window this way. platform/system/posix/ implements
// it; a Windows screen saver is ended through its window instead.

namespace platform::system {

// Catches the requests to end from now on, and returns a descriptor that
// becomes readable when one has arrived; -1 when there can be none.
int watchEndRequests();
// Empties that descriptor once it has become readable.
void clearEndRequests();

} // namespace platform::system
