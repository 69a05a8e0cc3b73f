// The thread's execution state while a sleep block is held. Setting a state returns the one
// in force before, which is how the test reads it.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/power.h"

namespace tessel::platform {
namespace {

TEST(PowerWindows, TheSystemIsRequiredUntilTheBlockIsDestroyed) {
    auto block = SystemPower().BlockSleep();
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED),
              static_cast<EXECUTION_STATE>(ES_CONTINUOUS | ES_SYSTEM_REQUIRED));
    block.reset();
    EXPECT_EQ(SetThreadExecutionState(ES_CONTINUOUS), static_cast<EXECUTION_STATE>(ES_CONTINUOUS));
}

}  // namespace
}  // namespace tessel::platform
