#pragma once

// The end of the process asked for from outside (SIGTERM, SIGINT), turned
// into an event of the program's own loop: a screen-saver host ends the
// program that draws into its window this way; and the signal of the
// file-size limit, ignored. platform/system/posix/ implements them; a Windows
// screen saver is ended through its window instead, and Windows has no such
// signal.

namespace platform::system {

// Catches the requests to end from now on, and returns a descriptor that
// becomes readable when one has arrived; -1 when there can be none.
int watchEndRequests();
// Empties that descriptor once it has become readable.
void clearEndRequests();

// From now on a write past the file-size limit (ulimit -f) fails with EFBIG,
// which a save reports like any other failed write, instead of SIGXFSZ
// ending the process. The writers of files call it before they write.
void ignoreFileSizeLimitSignal();

} // namespace platform::system
