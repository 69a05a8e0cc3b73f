#include <gtest/gtest.h>

#include "discovery/device_globals.h"
#include "discovery/unusable_printers.h"
#include "fake_discovery.h"

namespace tessel::discovery {
namespace {

using platform::UsbBusDevice;
using platform::UsbBusInterface;
using testing::DiscoveryTest;

UsbBusInterface Interface(std::uint8_t cls, std::u16string driver, bool node) {
    UsbBusInterface i;
    i.name = u"1-1:1.0";
    i.interface_class = cls;
    i.interface_subclass = 1;
    i.interface_protocol = 2;
    i.driver = std::move(driver);
    i.has_printer_node = node;
    return i;
}

using FindUnusablePrintersTest = DiscoveryTest;

TEST_F(FindUnusablePrintersTest, ReportsSupportedPrintersWithoutANodeAndWhy) {
    usb.bus = {
        {u"USB\\VID_7A3C&PID_0C11\\OK", u"1-1", {Interface(7, u"usblp", true)}},
        {u"USB\\VID_7A3C&PID_0C12\\HELD",
         u"1-2",
         {Interface(0xFF, u"", false), Interface(7, u"usbfs", false)}},
        {u"USB\\VID_7A3C&PID_0C13\\NODRV", u"1-3", {Interface(7, u"", false)}},
        {u"USB\\VID_7A3C&PID_0C14\\OTHER", u"1-4", {Interface(7, u"ipp_usb_drv", false)}},
        {u"USB\\VID_1286&PID_0000\\&2-1", u"2-1", {Interface(0xFF, u"", false)}},
        {u"USB\\VID_7A3C&PID_0C12\\NONODE", u"2-2", {Interface(7, u"usblp", false)}},
        {u"USB\\VID_04B8&PID_0005\\FOREIGN", u"2-3", {Interface(7, u"", false)}},
    };

    const std::vector<UnusablePrinter> found = FindUnusablePrinters();

    struct Expected {
        const char16_t* location;
        const char16_t* name;
        UnusableReason reason;
        const char16_t* driver;
    };
    const Expected expected[] = {
        {u"1-2", u"Bexlot r7200 Series", UnusableReason::kHeldByProgram, u"usbfs"},
        {u"1-3", u"Bexlot r7300 Series", UnusableReason::kNoDriver, u""},
        {u"1-4", u"Bexlot r7400 Series", UnusableReason::kOtherDriver, u"ipp_usb_drv"},
        {u"2-1", u"Bexlot DEFAULT Printer", UnusableReason::kNoPrinterInterface, u""},
        {u"2-2", u"Bexlot r7200 Series", UnusableReason::kNoDeviceNode, u"usblp"},
    };
    ASSERT_EQ(found.size(), std::size(expected));
    for (std::size_t i = 0; i < found.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(found[i].location, expected[i].location);
        EXPECT_EQ(found[i].printer_name, expected[i].name);
        EXPECT_EQ(found[i].reason, expected[i].reason);
        EXPECT_EQ(found[i].driver, expected[i].driver);
    }
    EXPECT_EQ(found[0].instance_id, u"USB\\VID_7A3C&PID_0C12\\HELD");
    EXPECT_EQ(g_strHardID, kEarlierHardId);
}

}  // namespace
}  // namespace tessel::discovery
