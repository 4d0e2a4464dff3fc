// The main of the widget tests: one forms runtime for the whole test
// program (Qt allows one application object per process), headless unless
// the environment says otherwise (Qt; the Windows build shows its windows
// on the display the test runs on).

#include "platform/forms/runtime.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
#ifndef _WIN32
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
#endif
    testing::InitGoogleTest(&argc, argv);
    platform::Runtime runtime(argc, argv);
    return RUN_ALL_TESTS();
}
