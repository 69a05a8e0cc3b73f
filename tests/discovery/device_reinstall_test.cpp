#include <gtest/gtest.h>

#include "discovery/device_reinstall.h"
#include "fake_discovery.h"
#include "platform/text.h"

namespace tessel::discovery {
namespace {

using testing::DiscoveryTest;
using testing::FakeInstance;

using Flags = std::vector<std::uint8_t>;
constexpr char16_t kEnumerator[] = u"USB\\VID_7a3c&PID_0c12";

using SetUSBDeviceReinstallTest = DiscoveryTest;

TEST_F(SetUSBDeviceReinstallTest, SetsOnlyTheReinstallBitOnEveryInstance) {
    flags.instances[kEnumerator] = {FakeInstance{{0x01, 0x02, 0x00, 0x80}},
                                    FakeInstance{{0x20, 0, 0, 0}},
                                    FakeInstance{{0xDF, 0xFF, 0xFF, 0xFF}}};

    EXPECT_TRUE(SetUSBDeviceReinstall(kEnumerator));

    const auto& instances = flags.instances[kEnumerator];
    EXPECT_EQ(instances[0].flags, (Flags{0x21, 0x02, 0x00, 0x80}));
    EXPECT_EQ(instances[1].flags, (Flags{0x20, 0, 0, 0}));  // already set: written back unchanged
    EXPECT_EQ(instances[1].writes, 1);
    EXPECT_EQ(instances[2].flags, (Flags{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(flags.opened, (std::vector<std::u16string>{kEnumerator}));
    EXPECT_EQ(flags.live_sets, 0);
}

TEST_F(SetUSBDeviceReinstallTest, NoInstancesIsSuccess) {
    EXPECT_TRUE(SetUSBDeviceReinstall(u"Bexlot r7200 Series"));
}

TEST_F(SetUSBDeviceReinstallTest, StopsAtTheFirstInstanceThatFails) {
    struct Case {
        const char* what;
        void (*spoil)(FakeInstance&);
    };
    const Case cases[] = {
        {"size unknown", [](FakeInstance& i) { i.size_unknown = true; }},
        {"read fails", [](FakeInstance& i) { i.read_fails = true; }},
        {"write fails", [](FakeInstance& i) { i.write_fails = true; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        flags.instances[kEnumerator] = {FakeInstance{}, FakeInstance{}, FakeInstance{}};
        c.spoil(flags.instances[kEnumerator][1]);
        const std::string refused = platform::Utf16ToUtf8(kReinstallWriteFailedLine);
        const std::size_t refused_before = debug.Count(refused);

        EXPECT_FALSE(SetUSBDeviceReinstall(kEnumerator));

        const auto& instances = flags.instances[kEnumerator];
        EXPECT_EQ(instances[0].flags, (Flags{0x20, 0, 0, 0}));
        EXPECT_EQ(instances[1].writes, 0);
        EXPECT_EQ(instances[2].writes, 0);
        EXPECT_EQ(flags.live_sets, 0);
        // A refused write is the one failure a user without rights meets: it leaves its line.
        EXPECT_EQ(debug.Count(refused) - refused_before,
                  c.what == std::string("write fails") ? 1u : 0u);
    }
}

TEST_F(SetUSBDeviceReinstallTest, NoSetOrNoEnumeratorFlagsNothing) {
    flags.open_fails = true;
    EXPECT_FALSE(SetUSBDeviceReinstall(kEnumerator));

    // An empty enumerator would select every device of the machine.
    flags.open_fails = false;
    flags.opened.clear();
    EXPECT_FALSE(SetUSBDeviceReinstall(u""));
    EXPECT_TRUE(flags.opened.empty());
}

}  // namespace
}  // namespace tessel::discovery
