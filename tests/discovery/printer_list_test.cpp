#include <gtest/gtest.h>

#include "discovery/device_globals.h"
#include "discovery/printer_list.h"
#include "discovery/usb_discovery.h"
#include "fake_discovery.h"

namespace tessel::discovery {
namespace {

using testing::DiscoveryTest;
using testing::Printer;
using testing::U8;

class PrinterListTest : public DiscoveryTest {
  protected:
    PrinterListTest() {
        g_vecUsbPrinters.clear();
        PrinterList().Reset();
    }
    std::vector<std::string> Rows() const {
        std::vector<std::string> rows;
        for (int i = 0; i < PrinterList().Count(); ++i) {
            rows.push_back(U8(PrinterList().Row(i)));
        }
        return rows;
    }
};

TEST_F(PrinterListTest, RefreshListsPrintersInDiscoveryOrderAndSelectsTheFirst) {
    usb.elements = {Printer(u"USB\\VID_7A3C&PID_0C12\\A", u"A", 1),
                    Printer(u"USB\\VID_1286&PID_0000\\B", u"B", 2)};

    EXPECT_EQ(RefreshPrinterList(), 2);

    EXPECT_EQ(Rows(), (std::vector<std::string>{"Bexlot r7200 Series", "Bexlot DEFAULT Printer"}));
    ASSERT_EQ(PrinterList().Selection(), 0);
    // The worker takes row 0's name and port, while the device path is the later printer's.
    EXPECT_EQ(U8(platform::FixedView(g_vecUsbPrinters[0].achUSBPort, kUsbPortCapacity)), "USB001");
    EXPECT_EQ(g_strDevicePath, usb.elements[1].device_path);

    // A later refresh replaces everything.
    usb.elements = {Printer(u"USB\\VID_7A3C&PID_0C13\\C", u"C", 3)};
    EXPECT_EQ(RefreshPrinterList(), 1);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Bexlot r7300 Series"}));
    EXPECT_EQ(g_vecUsbPrinters.size(), 1u);
    EXPECT_EQ(PrinterList().Selection(), 0);
}

TEST_F(PrinterListTest, NoPrinterMeansNoSelection) {
    usb.elements = {Printer(u"USB\\VID_7A3C&PID_0C12\\A", u"A", 1)};
    ASSERT_EQ(RefreshPrinterList(), 1);

    usb.elements = {Printer(u"USB\\VID_04B8&PID_0005\\X", u"X", 1)};
    EXPECT_EQ(RefreshPrinterList(), 0);
    EXPECT_EQ(PrinterList().Count(), 0);
    EXPECT_EQ(PrinterList().Selection(), PrinterListModel::kNoSelection);
}

TEST_F(PrinterListTest, AFailedPassLeavesTheListEmptyButKeepsWhatItAppended) {
    usb.elements = {Printer(u"USB\\VID_7A3C&PID_0C12\\A", u"A", 1),
                    Printer(u"USB\\VID_7A3C&PID_0C13\\B", u"B", 2)};
    usb.elements[1].has_interface = false;

    EXPECT_EQ(RefreshPrinterList(), kSearchNoPrinterInterface);
    EXPECT_EQ(PrinterList().Count(), 0);
    EXPECT_EQ(PrinterList().Selection(), PrinterListModel::kNoSelection);
    EXPECT_EQ(g_vecUsbPrinters.size(), 1u);

    usb.open_fails = true;
    EXPECT_EQ(RefreshPrinterList(), kSearchNoDeviceSet);
    EXPECT_TRUE(g_vecUsbPrinters.empty());
}

TEST_F(PrinterListTest, TheListenerSeesTheListAsEachRefreshLeftIt) {
    std::vector<std::pair<std::vector<std::string>, int>> told;
    SetPrinterListListener([&](const PrinterListModel& list) {
        EXPECT_EQ(&list, &PrinterList());
        told.emplace_back(Rows(), list.Selection());
    });
    usb.elements = {Printer(u"USB\\VID_7A3C&PID_0C12\\A", u"A", 1)};
    RefreshPrinterList();
    usb.open_fails = true;  // a failed pass is told too: the list is empty
    RefreshPrinterList();
    SetPrinterListListener(nullptr);
    RefreshPrinterList();

    using Told = std::vector<std::pair<std::vector<std::string>, int>>;
    EXPECT_EQ(told, (Told{{{"Bexlot r7200 Series"}, 0}, {{}, PrinterListModel::kNoSelection}}));
}

using IsUSBPortBusyTest = DiscoveryTest;

TEST_F(IsUSBPortBusyTest, TheFirstQueueOnExactlyThatPortDecides) {
    using Queues = std::vector<platform::PrintQueue>;
    struct Case {
        const char* what;
        std::u16string port;
        Queues queues;
        bool busy;
    };
    const Case cases[] = {
        {"two jobs", u"USB001", {{u"USB002", 0}, {u"USB001", 2}}, true},
        {"no jobs", u"USB001", {{u"USB001", 0}}, false},
        {"first queue empty, second busy", u"USB001", {{u"USB001", 0}, {u"USB001", 4}}, false},
        {"first queue busy, second empty", u"USB001", {{u"USB001", 1}, {u"USB001", 0}}, true},
        {"no queue on the port", u"USB001", {{u"USB002", 3}}, false},
        {"letter case differs", u"USB001", {{u"usb001", 3}}, false},
        {"port is only a prefix", u"USB00", {{u"USB001", 3}}, false},
        {"pooled port list", u"USB001", {{u"USB001,USB002", 3}}, false},
        {"empty port", u"", {{u"", 3}}, false},
        {"device URI",
         u"usb://Bexlot/R7200%20Series?serial=S",
         {{u"usb://Bexlot/R7200%20Series?serial=S", 1}},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        spooler.queues = c.queues;
        EXPECT_EQ(IsUSBPortBusy(c.port), c.busy);
    }
}

TEST_F(IsUSBPortBusyTest, ASpoolerThatCannotBeAskedNeverBlocks) {
    spooler.queues = std::nullopt;
    EXPECT_FALSE(IsUSBPortBusy(u"USB001"));
    EXPECT_EQ(spooler.calls, 1);
}

}  // namespace
}  // namespace tessel::discovery
