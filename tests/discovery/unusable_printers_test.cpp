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

// The descriptors of a printer whose one interface is the bidirectional printer interface with
// a bulk OUT endpoint 0x01 and a bulk IN endpoint 0x82.
std::vector<std::uint8_t> PrinterDescriptors() {
    return {18,   0x01, 0x00, 0x02, 0, 0, 0, 64, 0x3C, 0x7A, 0x12, 0x0C, 0, 1, 1, 2, 3, 1,
            9,    0x02, 32,   0,    1, 1, 0, 0xC0, 1,
            9,    0x04, 0,    0,    2, 7, 1, 2, 0,
            7,    0x05, 0x01, 0x02, 0x00, 0x02, 0,
            7,    0x05, 0x82, 0x02, 0x00, 0x02, 0};
}

UsbBusDevice WithDescriptors(UsbBusDevice device, std::vector<std::uint8_t> descriptors) {
    device.descriptors = std::move(descriptors);
    device.active_configuration = 1;
    return device;
}

TEST_F(FindUnusablePrintersTest, ReportsSupportedPrintersWithoutANodeAndWhy) {
    std::vector<std::uint8_t> interrupt_in = PrinterDescriptors();
    interrupt_in[18 + 9 + 9 + 7 + 3] = 0x03;  // the IN endpoint is an interrupt endpoint
    usb.bus = {
        WithDescriptors({u"USB\\VID_7A3C&PID_0C11\\USABLE", u"1-0", {Interface(7, u"", false)}},
                        PrinterDescriptors()),
        WithDescriptors({u"USB\\VID_7A3C&PID_0C13\\ODD", u"1-0", {Interface(7, u"", false)}},
                        interrupt_in),
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
        {u"1-0", u"Bexlot r7300 Series", UnusableReason::kOddDescriptors, u""},
        {u"1-2", u"Bexlot r7200 Series", UnusableReason::kOddDescriptors, u"usbfs"},
        {u"1-3", u"Bexlot r7300 Series", UnusableReason::kOddDescriptors, u""},
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
    EXPECT_EQ(found[0].descriptor_problem, platform::DescriptorProblem::kNoBulkIn);
    EXPECT_EQ(found[1].instance_id, u"USB\\VID_7A3C&PID_0C12\\HELD");
    // Without descriptors to read (as the fake gives none) nothing is opened either.
    EXPECT_EQ(found[1].descriptor_problem, platform::DescriptorProblem::kMalformed);
    EXPECT_EQ(g_strHardID, kEarlierHardId);
}

}  // namespace
}  // namespace tessel::discovery
