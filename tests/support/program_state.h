#pragma once

// A fixture for tests of forms that gives each test the program's state as a
// fresh start has it, and leaves it so: no run-time error and no form, the
// cursor shown, the real clock and random draws, modal shows that wait, no
// injected file-replacement faults.

#include "platform/forms/cursor.h"
#include "platform/forms/runtime.h"
#include "platform/testing/hooks.h"

#include <gtest/gtest.h>

#include <optional>

namespace testing_support {

inline void resetProgramState()
{
    platform::setModalShowObserverForTesting({});
    platform::setRandomSourceForTesting({});
    platform::clearFixedSystemTimeForTesting();
    platform::clearFileReplaceFaultsForTesting();
    platform::restoreCursor();
    platform::resetRuntimeForTesting();
}

// Base is testing::Test or a testing::TestWithParam<>.
template<typename Base = testing::Test>
class FreshProgramState : public Base {
protected:
    void SetUp() override { resetProgramState(); }
    void TearDown() override { resetProgramState(); }
};

} // namespace testing_support
