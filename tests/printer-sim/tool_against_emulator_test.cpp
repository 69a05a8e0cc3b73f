// The tool's own discovery and link against the emulator: the two sides of the sysfs layout
// and of the protocol, written apart, have to agree.
#include <gtest/gtest.h>

#include <cstdlib>

#include "discovery/device_globals.h"
#include "discovery/usb_discovery.h"
#include "emulator.h"
#include "link/link_result.h"
#include "link/printer_queries.h"
#include "platform/services.h"
#include "platform/text.h"
#include "virtual_clock.h"

namespace tessel::sim {
namespace {

TEST(ToolAgainstEmulator, DiscoveryFindsTheSupportedPrintersAndTheLinkGetsTheirAnswers) {
    EmulatorOptions options;
    options.time_scale = 0.001;
    options.printers.resize(3);
    options.printers[0].status = 2;
    options.printers[1].vendor_id = 0x04B8;  // another maker's printer
    options.printers[1].product_id = 0x0005;
    options.printers[2].product_id = 0x0C14;
    options.printers[2].product = "R7400 Series";
    options.printers[2].version = "3.3.3.9";
    options.printers[2].status = 4;
    std::string error;
    auto emulator = Emulator::Start(options, &error);
    ASSERT_TRUE(emulator) << error;
    ::setenv("TESSEL_SYSFS_ROOT", emulator->sysfs_root().c_str(), 1);
    ::setenv("TESSEL_DEV_ROOT", emulator->dev_root().c_str(), 1);

    tessel::testing::VirtualClock clock;
    tessel::testing::RecordingDebugOutput debug;
    platform::Services services = platform::Current();
    services.clock = &clock;
    services.debug = &debug;
    platform::ScopedServices scoped(services);

    std::vector<discovery::UsbPrinterEntry> list;
    EXPECT_EQ(discovery::SearchUSBPrint(list), discovery::kSearchDone);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(platform::FixedView(list[0].achPrinterName, 260), u"Bexlot r7200 Series");
    EXPECT_EQ(platform::FixedView(list[1].achPrinterName, 260), u"Bexlot r7400 Series");
    EXPECT_EQ(discovery::g_strHardID, u"USB\\VID_7a3c&PID_0c14");
    EXPECT_EQ(platform::Utf16ToUtf8(discovery::g_strDevicePath), emulator->dev_root() + "/usb/lp2");

    auto device = platform::Current().devices->Open(discovery::g_strDevicePath);
    ASSERT_TRUE(device);
    std::uint8_t status = 0xFF;
    EXPECT_EQ(link::ReadPrinterSTATUS(*device, status), link::kLinkOk);
    EXPECT_EQ(status, 4);
    device.reset();
    EXPECT_EQ(link::CompareFirmwareVersion(), link::kPrinterVersionHigher);

    ::unsetenv("TESSEL_SYSFS_ROOT");
    ::unsetenv("TESSEL_DEV_ROOT");
}

}  // namespace
}  // namespace tessel::sim
