// The logind inhibitor lock against a stand-in logind on a private bus.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/power.h"
#include "platform/services.h"
#include "platform/text.h"
#include "private_logind.h"

namespace tessel::platform {
namespace {

using tessel::testing::Inhibitor;
using tessel::testing::PrivateLogind;

const Inhibitor kTesselLock{"sleep", kSleepBlockWho, kSleepBlockWhy, "block"};

class RecordingDebug final : public DebugOutput {
  public:
    void Write(std::u16string_view line) override { lines.push_back(Utf16ToUtf8(line)); }
    std::vector<std::string> lines;
};

class PowerLinuxTest : public ::testing::Test {
  protected:
    ~PowerLinuxTest() override { unsetenv("DBUS_SYSTEM_BUS_ADDRESS"); }
    RecordingDebug debug;
    ScopedServices services{{Current().clock, &debug, nullptr, nullptr, nullptr, nullptr}};
};

TEST_F(PowerLinuxTest, TheLockIsHeldUntilTheBlockIsDestroyed) {
    PrivateLogind logind;
    std::string error;
    ASSERT_TRUE(logind.Start(error)) << error;
    setenv("DBUS_SYSTEM_BUS_ADDRESS", logind.address().c_str(), 1);

    auto block = SystemPower().BlockSleep();
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(logind.Inhibitors(), std::vector<Inhibitor>{kTesselLock});
    block.reset();
    EXPECT_EQ(logind.WaitForInhibitors({}), std::vector<Inhibitor>{});
}

// Without a bus, or without logind on it, there is no lock and a debugger line says so.
TEST_F(PowerLinuxTest, NoLogindMeansNoLockAndADebuggerLine) {
    PrivateLogind bus_only;
    std::string error;
    ASSERT_TRUE(bus_only.Start(error, false)) << error;
    for (const std::string& address :
         {std::string("unix:path=/nonexistent/tessel-bus"), bus_only.address()}) {
        SCOPED_TRACE(address);
        debug.lines.clear();
        setenv("DBUS_SYSTEM_BUS_ADDRESS", address.c_str(), 1);
        EXPECT_EQ(SystemPower().BlockSleep(), nullptr);
        ASSERT_EQ(debug.lines.size(), 1u);
        EXPECT_TRUE(debug.lines[0].starts_with("BlockSleep(): no inhibitor lock ("))
            << debug.lines[0];
    }
}

}  // namespace
}  // namespace tessel::platform
