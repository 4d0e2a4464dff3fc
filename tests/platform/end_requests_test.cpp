// SIGTERM and SIGINT, the way a screen-saver host ends the program drawing in
// its window, reach the event loop as a descriptor that becomes readable:
// the process goes on, and the loop ends the form.

#include "platform/system/signals.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <poll.h>
#include <sys/ioctl.h>

namespace {

bool readable(int descriptor)
{
    pollfd watched { descriptor, POLLIN, 0 };
    return ::poll(&watched, 1, 0) == 1 && (watched.revents & POLLIN) != 0;
}

TEST(EndRequests, EachSignalMakesTheDescriptorReadableUntilItIsCleared)
{
    const int descriptor = platform::system::watchEndRequests();
    ASSERT_GE(descriptor, 0);
    for (int signal : { SIGTERM, SIGINT, SIGTERM }) {
        EXPECT_FALSE(readable(descriptor)) << "nothing asked yet";
        ASSERT_EQ(::raise(signal), 0);
        EXPECT_TRUE(readable(descriptor)) << "signal " << signal;
        ASSERT_EQ(::raise(signal), 0);
        platform::system::clearEndRequests();
        EXPECT_FALSE(readable(descriptor)) << "two requests are cleared at once";
    }
    EXPECT_EQ(platform::system::watchEndRequests(), descriptor) << "every hosted form watches the same descriptor";
}

// The handler may run between any call of the program and its look at
// errno; it leaves errno as it found it, even when its own write fails
// because requests that nobody cleared have filled the pipe.
TEST(EndRequests, TheHandlerKeepsErrno)
{
    const int descriptor = platform::system::watchEndRequests();
    ASSERT_GE(descriptor, 0);
    // A request per byte: raise until the pipe takes no more.
    auto pending = [descriptor] {
        int bytes = 0;
        return ::ioctl(descriptor, FIONREAD, &bytes) == 0 ? bytes : -1;
    };
    for (int before = -1; pending() != before;) {
        before = pending();
        for (int request = 0; request < 4096; ++request)
            ASSERT_EQ(::raise(SIGTERM), 0);
    }
    for (int signal : { SIGTERM, SIGINT }) {
        errno = EDOM;
        ASSERT_EQ(::raise(signal), 0);
        EXPECT_EQ(errno, EDOM) << "signal " << signal;
    }
    platform::system::clearEndRequests();
    EXPECT_FALSE(readable(descriptor));
}

} // namespace
