// The Windows backends on a machine without a USB printer (Wine): discovery runs to its end
// and finds nothing, and the spooler check does not block.
#include <gtest/gtest.h>

#include "discovery/device_globals.h"
#include "discovery/printer_list.h"
#include "discovery/usb_discovery.h"
#include "platform/device_config_flags.h"
#include "platform/print_spooler.h"
#include "platform/services.h"
#include "platform/usb_printer_interfaces.h"
#include "virtual_clock.h"

namespace tessel::discovery {
namespace {

TEST(WindowsBackend, NoPrinterIsFoundAndNoPortIsBusy) {
    testing::VirtualClock clock;
    testing::RecordingDebugOutput debug;
    platform::ScopedServices services(
        platform::Services{&clock, &debug, nullptr, &platform::SystemUsbPrinterInterfaces(),
                           &platform::SystemPrintSpooler(), &platform::SystemDeviceConfigFlags()});
    g_strDevicePath = u"earlier path";

    std::vector<UsbPrinterEntry> list;
    EXPECT_EQ(SearchUSBPrint(list), kSearchDone);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(debug.Count("SearchUSBPrint()----->"), 1u);

    EXPECT_EQ(RefreshPrinterList(), 0);
    EXPECT_EQ(PrinterList().Selection(), PrinterListModel::kNoSelection);
    EXPECT_EQ(g_strDevicePath, u"earlier path");

    EXPECT_FALSE(IsUSBPortBusy(u"USB001"));
}

}  // namespace
}  // namespace tessel::discovery
