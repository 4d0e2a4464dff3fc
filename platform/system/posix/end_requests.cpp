#include "platform/system/signals.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace platform::system {

namespace {

// The handler only writes a byte into a pipe that the event loop watches.
int signalPipe[2] = { -1, -1 };

// It keeps errno: the signal may arrive between a call of the program and
// its look at errno.
extern "C" void onEndSignal(int)
{
    const int savedErrno = errno;
    char byte = 1;
    ssize_t written = ::write(signalPipe[1], &byte, 1);
    (void)written;
    errno = savedErrno;
}

} // namespace

int watchEndRequests()
{
    if (signalPipe[0] < 0) {
        if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
            return -1;
    }
    struct sigaction action {};
    action.sa_handler = onEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    return signalPipe[0];
}

void clearEndRequests()
{
    char bytes[16];
    while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
    }
}

void ignoreFileSizeLimitSignal()
{
    struct sigaction action {};
    action.sa_handler = SIG_IGN;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGXFSZ, &action, nullptr);
}

} // namespace platform::system
