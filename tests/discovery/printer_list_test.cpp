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
    ~PrinterListTest() override { SetChosenPrinter(std::nullopt); }
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
    // Row 0's printer is the current device, with its own path and its own table row.
    EXPECT_EQ(U8(platform::FixedView(g_vecUsbPrinters[0].entry.achUSBPort, kUsbPortCapacity)), "USB001");
    EXPECT_EQ(g_strDevicePath, usb.elements[0].device_path);
    EXPECT_EQ(g_strHardID, u"USB\\VID_7a3c&PID_0c12");
    ASSERT_EQ(g_vecUsbPrinters.size(), 2u);
    EXPECT_EQ(g_vecUsbPrinters[1].instance_id, u"USB\\VID_1286&PID_0000\\B");
    EXPECT_EQ(g_vecUsbPrinters[1].port, u"USB002");

    // A later refresh replaces everything.
    usb.elements = {Printer(u"USB\\VID_7A3C&PID_0C13\\C", u"C", 3)};
    EXPECT_EQ(RefreshPrinterList(), 1);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Bexlot r7300 Series"}));
    EXPECT_EQ(g_vecUsbPrinters.size(), 1u);
    EXPECT_EQ(PrinterList().Selection(), 0);
}

TEST_F(PrinterListTest, ASelectedPrinterWithoutAPathNeverOpensAnothersPath) {
    usb.elements = {Printer(u"USB\\VID_7A3C&PID_0C12\\A", u"A", 1),
                    Printer(u"USB\\VID_7A3C&PID_0C13\\B", u"B", 2)};
    usb.elements[0].dot4 = true;
    ASSERT_EQ(RefreshPrinterList(), 2);
    EXPECT_EQ(PrinterList().Selection(), 0);
    EXPECT_EQ(g_strDevicePath, u"");

    // Selecting row 1 makes it current; selecting nothing leaves no path at all.
    SelectPrinter(1);
    EXPECT_EQ(g_strDevicePath, usb.elements[1].device_path);
    EXPECT_EQ(g_strHardID, u"USB\\VID_7a3c&PID_0c13");
    SelectPrinter(PrinterListModel::kNoSelection);
    EXPECT_EQ(PrinterList().Selection(), PrinterListModel::kNoSelection);
    EXPECT_EQ(g_strDevicePath, u"");
}

TEST(FindSamePrinter, KnowsAPrinterByItsSerialOrElseByItsWholePort) {
    auto printer = [](std::u16string instance_id, std::u16string port) {
        FoundUsbPrinter p{};
        p.instance_id = std::move(instance_id);
        p.port = std::move(port);
        return p;
    };
    const FoundUsbPrinter a =
        printer(u"USB\\VID_7A3C&PID_0C12\\SER1", u"usb://Bexlot/A?serial=SER1");
    const FoundUsbPrinter a_broken = printer(u"USB\\VID_7A3C&PID_0000\\SER1", u"usb://Bexlot/X");
    const FoundUsbPrinter b =
        printer(u"USB\\VID_7A3C&PID_0C12\\SER2", u"usb://Bexlot/A?serial=SER2");
    const FoundUsbPrinter b_same_serial = printer(u"USB\\VID_7A3C&PID_0C13\\SER1", u"USB009");
    const FoundUsbPrinter c = printer(u"USB\\VID_7A3C&PID_0C12\\&1-1", u"USB001");
    const FoundUsbPrinter c_moved = printer(u"USB\\VID_7A3C&PID_0000\\&1-1", u"USB002");
    const FoundUsbPrinter d = printer(u"USB\\VID_7A3C&PID_0C12\\&1-2", u"USB002");
    const FoundUsbPrinter e = printer(u"USB\\VID_7A3C&PID_0C12\\&1-3", u"");
    constexpr int kNone = PrinterListModel::kNoSelection;
    struct Case {
        const char* what;
        std::vector<FoundUsbPrinter> rows;
        FoundUsbPrinter wanted;
        std::size_t listed_before;
        int row;
    };
    const Case cases[] = {
        {"one before, one after: whoever it is", {b}, a, 1, 0},
        {"one before, one after without a port", {e}, c, 1, 0},
        {"two before, only the other after", {b}, a, 2, kNone},
        {"two before, back first", {a, b}, a, 2, 0},
        {"two before, back second", {b, a}, a, 2, 1},
        {"back under another product ID and port", {b, a_broken}, a, 2, 1},
        {"one before, a second one plugged in", {b, a}, a, 1, 1},
        {"none after", {}, a, 1, kNone},
        {"two rows with its serial", {a, b_same_serial}, a, 2, kNone},
        {"no serial: by its port", {d, c}, c, 2, 1},
        {"no serial and its port changed", {d, c_moved}, c, 2, kNone},
        {"no serial and another on its port", {d, c_moved}, d, 2, kNone},
        {"no serial, no port", {e, d}, e, 2, kNone},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        EXPECT_EQ(FindSamePrinter(k.rows, k.wanted, k.listed_before), k.row);
    }
}

TEST(SelectorNames, ASerialNumberAPortOrADevicePath) {
    FoundUsbPrinter lp{};
    lp.instance_id = u"USB\\VID_7A3C&PID_0C12\\SER1";
    lp.port = u"usb://Bexlot/r7200%20Series?serial=SER1";
    lp.device_path = u"/dev/usb/lp0";
    FoundUsbPrinter windows{};
    windows.instance_id = u"USB\\VID_7A3C&PID_0C12\\&1-4";  // no serial number
    windows.port = u"USB001";
    windows.device_path = u"\\\\?\\usb#vid_7a3c&pid_0c12#6&1-4#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
    struct Case {
        std::u16string selector;
        const FoundUsbPrinter& printer;
        bool names;
    };
    const Case cases[] = {
        {u"SER1", lp, true},
        {u"ser1", lp, true},  // instance IDs ignore letter case
        {u"SER", lp, false},  // never a part of it
        {u"usb://Bexlot/r7200%20Series?serial=SER1", lp, true},
        {u"/dev/usb/lp0", lp, true},
        {u"lp0", lp, false},
        {u"/dev/usb/lp1", lp, false},
        {u"USB\\VID_7A3C&PID_0C12\\SER1", lp, false},  // the instance ID is not a name
        {u"usb001", windows, true},
        {u"\\\\?\\USB#VID_7A3C&PID_0C12#6&1-4#{28D78FAD-5A12-11D1-AE5B-0000F803A8C2}", windows,
         true},
        {u"&1-4", windows, false},  // a stand-in tail is no serial number
        {u"", lp, false},
        {u"", FoundUsbPrinter{}, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(U8(k.selector));
        EXPECT_EQ(SelectorNames(k.selector, k.printer), k.names);
    }
}

// With a chosen printer the refresh selects it, wherever it is listed, and otherwise nothing:
// never the first row in its place.
TEST_F(PrinterListTest, RefreshSelectsTheChosenPrinterOrNothing) {
    usb.elements = {Printer(u"USB\\VID_7A3C&PID_0C12\\A", u"A", 1),
                    Printer(u"USB\\VID_7A3C&PID_0C13\\B", u"B", 2),
                    Printer(u"USB\\VID_7A3C&PID_0C13\\b", u"b2", 3)};
    struct Case {
        std::optional<std::u16string> chosen;
        int row;
    };
    const Case cases[] = {
        {std::nullopt, 0},
        {u"A", 0},
        {usb.elements[1].device_path, 1},
        {u"USB003", 2},
        {u"B", PrinterListModel::kNoSelection},  // two printers carry it
        {u"C", PrinterListModel::kNoSelection},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.chosen ? U8(*k.chosen) : "none chosen");
        SetChosenPrinter(k.chosen);
        g_strDevicePath = u"left from before";
        ASSERT_EQ(RefreshPrinterList(), 3);
        EXPECT_EQ(PrinterList().Selection(), k.row);
        EXPECT_EQ(g_strDevicePath,
                  k.row >= 0 ? usb.elements[static_cast<std::size_t>(k.row)].device_path : u"");
    }
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
    usb.elements = {Printer(u"USB\\VID_7A3C&PID_0C12\\A", u"A", 1),
                    Printer(u"USB\\VID_7A3C&PID_0C13\\B", u"B", 2)};
    RefreshPrinterList();
    SelectPrinter(1);  // the printer found again after a restart
    usb.open_fails = true;  // a failed pass is told too: the list is empty
    RefreshPrinterList();
    SetPrinterListListener(nullptr);
    RefreshPrinterList();

    using Told = std::vector<std::pair<std::vector<std::string>, int>>;
    const std::vector<std::string> both = {"Bexlot r7200 Series", "Bexlot r7300 Series"};
    EXPECT_EQ(told, (Told{{both, 0}, {both, 1}, {{}, PrinterListModel::kNoSelection}}));
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
