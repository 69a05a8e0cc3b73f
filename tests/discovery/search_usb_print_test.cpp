#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "discovery/device_globals.h"
#include "discovery/usb_discovery.h"
#include "fake_discovery.h"

namespace tessel::discovery {
namespace {

using platform::FixedView;
using testing::DiscoveryTest;
using ::testing::ElementsAre;
using testing::FakeElement;
using testing::PortName;
using testing::PortNumber;
using testing::Printer;
using testing::U8;

std::string Name(const UsbPrinterEntry& e) {
    return U8(FixedView(e.achPrinterName, kPrinterNameCapacity));
}
std::string Port(const UsbPrinterEntry& e) {
    return U8(FixedView(e.achUSBPort, kUsbPortCapacity));
}

UsbPrinterEntry Entry(std::u16string_view name) {
    UsbPrinterEntry e{};
    platform::CopyToFixed(e.achPrinterName, kPrinterNameCapacity, name);
    return e;
}

using SearchUSBPrintTest = DiscoveryTest;

TEST_F(SearchUSBPrintTest, AppendsSupportedPrintersInOrderAndTheLastOneSetsTheGlobals) {
    usb.elements = {Printer(u"USB\\VID_04B8&PID_0005\\X1", u"x1", 3),
                    Printer(u"USB\\VID_7A3C&PID_0C12\\SER1", u"SER1", 1),
                    Printer(u"USB\\VID_7A3C&PID_0C14\\SER2", u"SER2", 12)};
    std::vector<UsbPrinterEntry> list = {Entry(u"already there")};

    EXPECT_EQ(SearchUSBPrint(list), kSearchDone);

    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(Name(list[0]), "already there");
    EXPECT_EQ(Name(list[1]), "Bexlot r7200 Series");
    EXPECT_EQ(Port(list[1]), "USB001");
    EXPECT_EQ(Name(list[2]), "Bexlot r7400 Series");
    EXPECT_EQ(Port(list[2]), "USB012");
    EXPECT_EQ(g_strHardID, u"USB\\VID_7a3c&PID_0c14");
    EXPECT_EQ(g_strDevicePath, usb.elements[2].device_path);
    EXPECT_EQ(usb.live_sets, 0);

    // The foreign printer's parameters are never opened; the detail is read with the size
    // the system asked for.
    ASSERT_EQ(usb.opened_keys.size(), 2u);
    EXPECT_EQ(usb.opened_keys[0], u"parameters of " + usb.elements[1].device_path);
    EXPECT_EQ(usb.detail_sizes_read[0], 8 + 2 * (usb.elements[1].device_path.size() + 1));

    EXPECT_THAT(debug.lines(), ElementsAre("SearchUSBPrint()<----", "iDevNum = 0", "iDevNum = 1",
                                           "achKeyName = " + U8(usb.opened_keys[0]) + " \r\n",
                                           "achUSBPort = USB001 \r\n", "iDevNum = 2",
                                           "achKeyName = " + U8(usb.opened_keys[1]) + " \r\n",
                                           "achUSBPort = USB012 \r\n", "SearchUSBPrint()----->"));
}

TEST_F(SearchUSBPrintTest, NothingPresentOrNothingSupportedLeavesListAndGlobalsAlone) {
    std::vector<UsbPrinterEntry> list;
    EXPECT_EQ(SearchUSBPrint(list), kSearchDone);

    usb.elements = {Printer(u"USB\\VID_04B8&PID_0005\\X1", u"x1", 1)};
    EXPECT_EQ(SearchUSBPrint(list), kSearchDone);

    EXPECT_TRUE(list.empty());
    EXPECT_EQ(g_strDevicePath, kEarlierPath);
    EXPECT_EQ(g_strHardID, kEarlierHardId);
}

TEST_F(SearchUSBPrintTest, LooksAtNoMoreThanTenElements) {
    for (int i = 0; i < 12; ++i) {
        usb.elements.push_back(Printer(
            u"USB\\VID_04B8&PID_0005\\X" + platform::Utf8ToUtf16(std::to_string(i)), u"x", 1));
    }
    usb.elements[9] = Printer(u"USB\\VID_7A3C&PID_0C11\\AT9", u"AT9", 9);
    usb.elements[10] = Printer(u"USB\\VID_7A3C&PID_0C12\\AT10", u"AT10", 10);
    usb.elements[11] = Printer(u"USB\\VID_7A3C&PID_0C13\\AT11", u"AT11", 11);
    std::vector<UsbPrinterEntry> list;

    EXPECT_EQ(SearchUSBPrint(list), kSearchDone);

    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(Name(list[0]), "Bexlot r7100 Series");
    EXPECT_EQ(usb.selected.back(), 9u);
}

TEST_F(SearchUSBPrintTest, PortAndDevicePathFollowWhatTheParametersAndThePathSay) {
    struct Case {
        const char* what;
        FakeElement element;
        std::string port;
        bool sets_device_path;
    };
    FakeElement no_value = Printer(u"USB\\VID_7A3C&PID_0C12\\S", u"S", 0);
    no_value.port = {};
    FakeElement not_opened = Printer(u"USB\\VID_7A3C&PID_0C12\\S", u"S", 4);
    not_opened.parameters_open = false;
    FakeElement dot4_path = Printer(u"USB\\VID_7A3C&PID_0C12\\S", u"S", 4);
    dot4_path.device_path = u"\\\\?\\dot4#vid_7a3c&pid_0c12&mi_00&dot4#7&1#{6e1cd2b0-0000}";
    FakeElement dot4_interface = Printer(u"USB\\VID_7A3C&PID_0C12\\S", u"S", 4);
    dot4_interface.device_path = u"/dev/usb/lp3";
    dot4_interface.dot4 = true;
    FakeElement named = Printer(u"USB\\VID_7A3C&PID_0C12\\S", u"S", 0);
    named.port = PortName(u"usb://Bexlot/R7200%20Series?serial=S");
    FakeElement long_name = named;
    long_name.port = PortName(std::u16string(300, u'p'));
    FakeElement big_number = Printer(u"USB\\VID_7A3C&PID_0C12\\S", u"S", 1234);

    const Case cases[] = {
        {"no Port Number value", no_value, "", true},
        {"parameters do not open", not_opened, "", false},
        {"#dot4# in the path", dot4_path, "", false},
        {"system says DOT4", dot4_interface, "", false},
        {"port named by the system", named, "usb://Bexlot/R7200%20Series?serial=S", true},
        {"port name cut to the field", long_name, std::string(255, 'p'), true},
        {"number wider than three digits", big_number, "USB1234", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        g_strDevicePath = kEarlierPath;
        usb.elements = {c.element};
        std::vector<UsbPrinterEntry> list;

        EXPECT_EQ(SearchUSBPrint(list), kSearchDone);

        ASSERT_EQ(list.size(), 1u);
        EXPECT_EQ(Port(list[0]), c.port);
        EXPECT_EQ(g_strDevicePath, c.sets_device_path ? c.element.device_path : kEarlierPath);
        EXPECT_EQ(g_strHardID, u"USB\\VID_7a3c&PID_0c12");
    }
}

TEST_F(SearchUSBPrintTest, FailuresKeepEarlierEntriesAndReleaseTheSet) {
    struct Case {
        const char* what;
        void (*spoil)(FakeElement&);
        std::int32_t result;
    };
    const Case cases[] = {
        {"instance ID", [](FakeElement& e) { e.instance_id_fails = true; },
         kSearchInstanceIdFailed},
        {"no interface", [](FakeElement& e) { e.has_interface = false; },
         kSearchNoPrinterInterface},
        {"size query", [](FakeElement& e) { e.size_query_fails = true; }, kSearchDetailSizeFailed},
        {"detail read", [](FakeElement& e) { e.detail_read_fails = true; },
         kSearchDetailReadFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::size_t closings = debug.Count("SearchUSBPrint()----->");
        usb.elements = {Printer(u"USB\\VID_7A3C&PID_0C12\\OK", u"OK", 1),
                        Printer(u"USB\\VID_7A3C&PID_0C13\\BAD", u"BAD", 2),
                        Printer(u"USB\\VID_7A3C&PID_0C14\\LATER", u"LATER", 3)};
        c.spoil(usb.elements[1]);
        std::vector<UsbPrinterEntry> list;

        EXPECT_EQ(SearchUSBPrint(list), c.result);

        ASSERT_EQ(list.size(), 1u);
        EXPECT_EQ(Name(list[0]), "Bexlot r7200 Series");
        EXPECT_EQ(g_strDevicePath, usb.elements[0].device_path);
        EXPECT_EQ(usb.live_sets, 0);
        EXPECT_EQ(debug.Count("SearchUSBPrint()----->"), closings);
    }

    // Interface failures only count for a matched element: a foreign one is skipped first.
    FakeElement foreign = Printer(u"USB\\VID_04B8&PID_0005\\X", u"X", 1);
    foreign.has_interface = false;
    foreign.size_query_fails = true;
    usb.elements = {foreign};
    std::vector<UsbPrinterEntry> list;
    EXPECT_EQ(SearchUSBPrint(list), kSearchDone);

    usb.open_fails = true;
    EXPECT_EQ(SearchUSBPrint(list), kSearchNoDeviceSet);
    EXPECT_TRUE(list.empty());
}

TEST_F(SearchUSBPrintTest, EachPrinterKeepsItsOwnDevicePathWithoutTouchingTheCurrentOne) {
    FakeElement not_opened = Printer(u"USB\\VID_7A3C&PID_0C13\\NO", u"NO", 2);
    not_opened.parameters_open = false;
    FakeElement dot4 = Printer(u"USB\\VID_7A3C&PID_0C12\\D4", u"D4", 3);
    dot4.dot4 = true;
    // A device URI longer than an entry's port holds.
    const std::u16string long_uri =
        u"usb://Bexlot/R7400%20Series?serial=" + std::u16string(300, u'E');
    FakeElement long_port = Printer(u"USB\\VID_7A3C&PID_0C14\\E", u"E", 5);
    long_port.port = PortName(long_uri);
    usb.elements = {Printer(u"USB\\VID_7A3C&PID_0C12\\A", u"A", 1), not_opened,
                    Printer(u"USB\\VID_04B8&PID_0005\\X", u"X", 9), dot4, long_port};

    std::vector<FoundUsbPrinter> found;
    EXPECT_EQ(SearchUSBPrinters(found), kSearchDone);
    EXPECT_EQ(g_strDevicePath, kEarlierPath);
    const std::vector<std::string> pass_lines = debug.lines();

    // The same printers, ports and trace as SearchUSBPrint, which leaves the last path current.
    std::vector<UsbPrinterEntry> list;
    EXPECT_EQ(SearchUSBPrint(list), kSearchDone);
    ASSERT_EQ(found.size(), list.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(Name(found[i].entry), Name(list[i]));
        EXPECT_EQ(Port(found[i].entry), Port(list[i]));
    }
    EXPECT_EQ(debug.lines().size(), 2 * pass_lines.size());
    EXPECT_EQ(g_strDevicePath, usb.elements[4].device_path);

    ASSERT_EQ(found.size(), 4u);
    EXPECT_EQ(found[0].device_path, usb.elements[0].device_path);
    EXPECT_EQ(found[1].device_path, u"");
    EXPECT_EQ(found[2].device_path, u"");
    EXPECT_EQ(found[3].device_path, usb.elements[4].device_path);

    // Each with what tells it apart: instance ID, table row and the whole port.
    EXPECT_EQ(found[1].instance_id, u"USB\\VID_7A3C&PID_0C13\\NO");
    EXPECT_EQ(found[1].hard_id, u"USB\\VID_7a3c&PID_0c13");
    EXPECT_EQ(found[0].port, u"USB001");
    EXPECT_EQ(found[2].port, u"");
    EXPECT_EQ(found[3].port, long_uri);
    EXPECT_EQ(Port(found[3].entry), U8(long_uri.substr(0, kUsbPortCapacity - 1)));

    // A failing element ends the pass the same way, earlier printers kept.
    usb.elements[3].detail_read_fails = true;
    found.clear();
    EXPECT_EQ(SearchUSBPrinters(found), kSearchDetailReadFailed);
    EXPECT_EQ(found.size(), 2u);
    EXPECT_EQ(usb.live_sets, 0);
}

TEST(MatchSupportedDevice, MatchesPrefixesWithoutRegardToCase) {
    struct Case {
        const char16_t* id;
        const char* name;  // null: no match
        const char16_t* hard_id;
    };
    const Case cases[] = {
        {u"USB\\VID_7A3C&PID_0C14\\SER", "Bexlot r7400 Series", u"USB\\VID_7a3c&PID_0c14"},
        {u"usb\\vid_7a3c&pid_0c11\\x", "Bexlot r7100 Series", u"USB\\VID_7a3c&PID_0c11"},
        {u"USB\\VID_7A3C&PID_0C12&MI_00\\7&1", "Bexlot r7200 Series", u"USB\\VID_7a3c&PID_0c12"},
        {u"USB\\VID_1286&PID_0000\\5&2", "Bexlot DEFAULT Printer", u"USB\\VID_1286&PID_0000"},
        {u"USB\\VID_7A3C&PID_0000", "Bexlot DEFAULT Printer", u"USB\\VID_7a3c&PID_0000"},
        {u"USB\\VID_7A3C&PID_0C1", nullptr, nullptr},
        {u"USB\\VID_7A3C&PID_0C15\\X", nullptr, nullptr},
        {u"USB\\VID_1286&PID_0C12\\X", nullptr, nullptr},
        {u"", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(U8(c.id));
        g_strHardID = u"before";
        UsbPrinterEntry entry{};
        EXPECT_EQ(MatchSupportedDevice(entry, c.id), c.name != nullptr);
        EXPECT_EQ(Name(entry), c.name ? c.name : "");
        EXPECT_EQ(g_strHardID, c.hard_id ? c.hard_id : u"before");
    }
}

TEST(MatchSupportedDevice, TheLastMatchingRowWins) {
    const SupportedDeviceEntry table[] = {
        {u"USB\\VID_7a3c", u"Broad", u""},
        {u"USB\\VID_7a3c&PID_0c12", u"Narrow", u""},
        {u"USB\\VID_9999", u"Other", u""},
    };
    UsbPrinterEntry entry{};
    EXPECT_TRUE(MatchSupportedDevice(table, entry, u"USB\\VID_7A3C&PID_0C12\\S"));
    EXPECT_EQ(Name(entry), "Narrow");
    EXPECT_EQ(g_strHardID, u"USB\\VID_7a3c&PID_0c12");
}

}  // namespace
}  // namespace tessel::discovery
