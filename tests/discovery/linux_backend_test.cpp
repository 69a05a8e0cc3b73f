// The Linux backends on sysfs trees in the kernel's layout, through the discovery logic.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "discovery/device_globals.h"
#include "discovery/device_reinstall.h"
#include "discovery/unusable_printers.h"
#include "discovery/usb_discovery.h"
#include "platform/device_config_flags.h"
#include "platform/linux/sysfs_usb.h"
#include "platform/print_spooler.h"
#include "platform/services.h"
#include "platform/text.h"
#include "platform/usb_printer_interfaces.h"
#include "sysfs_layout.h"
#include "sysfs_tree.h"
#include "virtual_clock.h"

namespace tessel::discovery {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::SysfsTree;
using testing::UsbPrinterSpec;

std::string U8(std::u16string_view s) {
    return platform::Utf16ToUtf8(s);
}
std::u16string U8u(const fs::path& p) {
    return platform::Utf8ToUtf16(p.string());
}
std::string Port(const UsbPrinterEntry& e) {
    return U8(platform::FixedView(e.achUSBPort, kUsbPortCapacity));
}
std::string Name(const UsbPrinterEntry& e) {
    return U8(platform::FixedView(e.achPrinterName, kPrinterNameCapacity));
}

UsbPrinterSpec Foreign(const std::string& bus, int lp) {
    UsbPrinterSpec s;
    s.bus = bus;
    s.lp = lp;
    s.vendor = "04b8";
    s.product = "0005";
    s.serial = "EPS" + std::to_string(lp);
    s.ieee1284_id = "MFG:EPSON;CMD:ESCPL2;MDL:ET-2750;";
    return s;
}

UsbPrinterSpec Bexlot(const std::string& bus, int lp, const std::string& product,
                      std::optional<std::string> serial, const std::string& model) {
    UsbPrinterSpec s;
    s.bus = bus;
    s.lp = lp;
    s.product = product;
    s.serial = std::move(serial);
    s.ieee1284_id = "MFG:Bexlot;CMD:ACL,PJL;MDL:" + model + ";CLS:PRINTER;";
    return s;
}

// The system's discovery services with a quiet debugger output.
class LinuxBackendTest : public ::testing::Test {
  protected:
    LinuxBackendTest()
        : services_(platform::Services{
              &clock_, &debug_, nullptr, &platform::SystemUsbPrinterInterfaces(),
              &platform::SystemPrintSpooler(), &platform::SystemDeviceConfigFlags()}) {
        g_strDevicePath = u"earlier path";
        g_strHardID = u"earlier id";
    }

    // The instance IDs of every element, in the order a pass sees them.
    static std::vector<std::string> InstanceIds() {
        std::vector<std::string> ids;
        auto set = platform::SystemUsbPrinterInterfaces().OpenPresent();
        for (std::uint32_t i = 0; set && set->SelectElement(i); ++i) {
            ids.push_back(U8(set->InstanceId().value_or(u"?")));
        }
        return ids;
    }

    SysfsTree tree;

  private:
    testing::VirtualClock clock_;
    testing::RecordingDebugOutput debug_;
    platform::ScopedServices services_;
};

TEST_F(LinuxBackendTest, FindsEmulatedPrintersWithTheirPortsAndDevicePaths) {
    tree.AddPrinter(Foreign("1-1", 0));
    tree.AddPrinter(Bexlot("1-2", 1, "0c12", "SER1", "R7200 Series"));
    tree.AddPrinter(Bexlot("1-3", 2, "0c11", std::nullopt, "R7100 Series"));

    EXPECT_THAT(InstanceIds(), ::testing::ElementsAre("USB\\VID_04B8&PID_0005\\EPS0",
                                                      "USB\\VID_7A3C&PID_0C12\\SER1",
                                                      "USB\\VID_7A3C&PID_0C11\\&1-3"));

    std::vector<UsbPrinterEntry> list;
    EXPECT_EQ(SearchUSBPrint(list), kSearchDone);

    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(Name(list[0]), "Bexlot r7200 Series");
    EXPECT_EQ(Port(list[0]), "usb://Bexlot/R7200%20Series?serial=SER1");
    EXPECT_EQ(Name(list[1]), "Bexlot r7100 Series");
    EXPECT_EQ(Port(list[1]), "usb://Bexlot/R7100%20Series");
    EXPECT_EQ(U8(g_strDevicePath), (tree.dev / "usb" / "lp2").string());
    EXPECT_EQ(g_strHardID, u"USB\\VID_7a3c&PID_0c11");
}

// The node's DEVNAME names a device below the /dev root; one that would lead elsewhere (or
// holds a zero byte, which would cut the path where the system opens it) is not taken, and
// the node's own name stands in as for a uevent without DEVNAME.
TEST_F(LinuxBackendTest, DevnameLeadingOutOfTheDevRootIsNotTaken) {
    using namespace std::string_literals;
    tree.AddPrinter(Bexlot("1-1", 4, "0c12", "SER1", "R7200 Series"));
    const fs::path uevent = tree.sys / "class" / "usbmisc" / "lp4" / "uevent";
    const std::string own = (tree.dev / "usb" / "lp4").string();
    const struct {
        std::string devname;
        std::string path;
    } cases[] = {
        {"usb/lp9", (tree.dev / "usb" / "lp9").string()},
        {"/etc/passwd", own},
        {"../etc/passwd", own},
        {"usb/../../etc/passwd", own},
        {"usb/lp4\0/../../x"s, own},
        {"", own},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.devname);
        testing::WriteFile(uevent, "MAJOR=180\nMINOR=4\nDEVNAME=" + c.devname + "\n");
        std::vector<UsbPrinterEntry> list;
        EXPECT_EQ(SearchUSBPrint(list), kSearchDone);
        EXPECT_EQ(U8(g_strDevicePath), c.path);
    }
}

TEST_F(LinuxBackendTest, WalksTwelveNodesInLpNumberOrderAndStopsAfterTen) {
    // Supported printers at lp9, lp10 and lp11: in name order lp10 and lp11 would come before
    // lp2 and be found.
    for (int lp = 0; lp < 12; ++lp) {
        const std::string bus = "1-" + std::to_string(lp + 1);
        if (lp == 9) {
            tree.AddPrinter(Bexlot(bus, lp, "0c12", "AT9", "R7200 Series"));
        } else if (lp >= 10) {
            tree.AddPrinter(Bexlot(bus, lp, "0c13", "AT" + std::to_string(lp), "R7300 Series"));
        } else {
            tree.AddPrinter(Foreign(bus, lp));
        }
    }

    const std::vector<std::string> ids = InstanceIds();
    ASSERT_EQ(ids.size(), 12u);
    EXPECT_EQ(ids[2], "USB\\VID_04B8&PID_0005\\EPS2");
    EXPECT_EQ(ids[10], "USB\\VID_7A3C&PID_0C13\\AT10");

    std::vector<UsbPrinterEntry> list;
    EXPECT_EQ(SearchUSBPrint(list), kSearchDone);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(Port(list[0]), "usb://Bexlot/R7200%20Series?serial=AT9");
}

TEST_F(LinuxBackendTest, NoDeviceIdLeavesThePortEmptyAndProtocol03IsDot4) {
    UsbPrinterSpec no_id = Bexlot("1-1", 0, "0c12", "SER1", "R7200 Series");
    no_id.ieee1284_id.reset();
    tree.AddPrinter(no_id);
    std::vector<UsbPrinterEntry> list;
    EXPECT_EQ(SearchUSBPrint(list), kSearchDone);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(Port(list[0]), "");
    EXPECT_EQ(U8(g_strDevicePath), (tree.dev / "usb" / "lp0").string());

    UsbPrinterSpec dot4 = Bexlot("1-2", 1, "0c13", "SER2", "R7300 Series");
    dot4.protocol = "03";
    tree.AddPrinter(dot4);
    list.clear();
    EXPECT_EQ(SearchUSBPrint(list), kSearchDone);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(Port(list[1]), "");
    EXPECT_EQ(U8(g_strDevicePath),
              (tree.dev / "usb" / "lp0").string());  // the DOT4 node is not taken
    EXPECT_EQ(g_strHardID, u"USB\\VID_7a3c&PID_0c13");
}

// Attributes that never end or never come must not hang a pass: a device ID that reads like
// /dev/zero, a serial number that is a FIFO without a writer or with one that writes nothing,
// and an attribute longer than any page. Each counts as unreadable.
TEST_F(LinuxBackendTest, AttributesThatNeverEndCountAsUnreadable) {
    tree.AddPrinter(Bexlot("1-1", 0, "0c12", "SER1", "R7200 Series"));
    tree.AddPrinter(Bexlot("1-2", 1, "0c13", "SER2", "R7300 Series"));
    tree.AddPrinter(Bexlot("1-3", 2, "0c14", "SER3", "R7400 Series"));
    const fs::path id0 = tree.DeviceDir("1-1") / "1-1:1.0" / "ieee1284_id";
    fs::remove(id0);
    fs::create_symlink("/dev/zero", id0);
    const fs::path serial1 = tree.DeviceDir("1-2") / "serial";
    fs::remove(serial1);
    ASSERT_EQ(::mkfifo(serial1.c_str(), 0600), 0);
    const int writer = ::open(serial1.c_str(), O_RDWR);  // a writer that never writes
    ASSERT_GE(writer, 0);
    testing::WriteFile(tree.DeviceDir("1-3") / "1-3:1.0" / "ieee1284_id",
                       std::string(platform::sysfs::kMaxAttributeBytes + 1, 'A'));

    std::vector<UsbPrinterEntry> list;
    EXPECT_EQ(SearchUSBPrint(list), kSearchDone);
    ::close(writer);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(Port(list[0]), "");
    EXPECT_EQ(Port(list[1]), "usb://Bexlot/R7300%20Series");  // no serial to add
    EXPECT_EQ(Port(list[2]), "");
    EXPECT_THAT(InstanceIds(), ::testing::ElementsAre("USB\\VID_7A3C&PID_0C12\\SER1",
                                                      "USB\\VID_7A3C&PID_0C13\\&1-2",
                                                      "USB\\VID_7A3C&PID_0C14\\SER3"));
}

// Without any usbmisc node (usblp not loaded) a printer that no driver holds is still found,
// on its USB device node; without sysfs at all nothing is, and that is no failure.
TEST_F(LinuxBackendTest, NoUsbmiscClassStillFindsAnUnboundPrinterOnItsUsbNode) {
    UsbPrinterSpec unbound = Bexlot("1-1", 0, "0c12", "SER1", "R7200 Series");
    unbound.lp_node = false;
    unbound.driver.clear();
    tree.AddPrinter(unbound);
    ASSERT_FALSE(fs::exists(tree.sys / "class" / "usbmisc"));

    std::vector<UsbPrinterEntry> list;
    EXPECT_EQ(SearchUSBPrint(list), kSearchDone);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(U8(g_strDevicePath), (tree.dev / "bus" / "usb" / "001" / "002").string());

    list.clear();
    g_strDevicePath = u"earlier path";
    fs::remove_all(tree.sys);
    EXPECT_EQ(SearchUSBPrint(list), kSearchDone);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(g_strDevicePath, u"earlier path");
}

TEST_F(LinuxBackendTest, ReinstallAsksUdevAgainForEveryDeviceUnderTheEnumerator) {
    tree.AddPrinter(Bexlot("1-1", 0, "0c12", "SER1", "R7200 Series"));
    tree.AddPrinter(Bexlot("1-2", 1, "0c12", std::nullopt, "R7200 Series"));
    tree.AddPrinter(Bexlot("1-3", 2, "0c11", "SER3", "R7100 Series"));

    EXPECT_TRUE(SetUSBDeviceReinstall(u"USB\\VID_7a3c&PID_0c12"));
    EXPECT_EQ(ReadFile(tree.DeviceDir("1-1") / "uevent"), "change");
    EXPECT_EQ(ReadFile(tree.DeviceDir("1-2") / "uevent"), "change");
    EXPECT_EQ(ReadFile(tree.DeviceDir("1-3") / "uevent"), "DEVTYPE=usb_device\n");

    EXPECT_TRUE(SetUSBDeviceReinstall(u"USB\\VID_7a3c&PID_0c14"));
    EXPECT_TRUE(SetUSBDeviceReinstall(u"Bexlot r7200 Series"));

    // A uevent that cannot be written fails the whole operation.
    fs::remove(tree.DeviceDir("1-3") / "uevent");
    fs::create_directory(tree.DeviceDir("1-3") / "uevent");
    EXPECT_FALSE(SetUSBDeviceReinstall(u"USB\\VID_7a3c&PID_0c11"));
}

// A printer that no kernel driver holds (none bound, or a program's raw access) is listed on its
// USB device node, after the usblp printers; another driver's printer, and one whose
// descriptors are not the printer's, are explained instead.
TEST_F(LinuxBackendTest, ListsPrintersNoKernelDriverHoldsOnTheirUsbNode) {
    tree.AddPrinter(Bexlot("1-1", 0, "0c12", "SER1", "R7200 Series"));
    UsbPrinterSpec held = Bexlot("1-2", 1, "0c13", "SER2", "R7300 Series");
    held.driver = "usbfs";
    held.lp_node = false;
    held.ieee1284_id.reset();  // usblp reads it; without usblp it is not there
    tree.AddPrinter(held);
    UsbPrinterSpec unbound = Bexlot("1-3", 2, "0c14", "SER3", "R7400 Series");
    unbound.driver.clear();
    unbound.lp_node = false;
    tree.AddPrinter(unbound);
    UsbPrinterSpec other = Bexlot("1-4", 3, "0c11", "SER4", "R7100 Series");
    other.driver = "ipp_usb_drv";
    other.lp_node = false;
    tree.AddPrinter(other);
    UsbPrinterSpec odd = Bexlot("1-5", 4, "0c12", "SER5", "R7200 Series");
    odd.driver.clear();
    odd.lp_node = false;
    odd.descriptors = sim::PrinterDescriptors(0x7A3C, 0x0C12, true, 0x02);
    odd.descriptors->resize(odd.descriptors->size() - 7);  // no bulk IN endpoint
    (*odd.descriptors)[18 + 2] = 9 + 9 + 7;                   // wTotalLength
    (*odd.descriptors)[18 + 9 + 4] = 1;                       // bNumEndpoints
    tree.AddPrinter(odd);
    UsbPrinterSpec foreign = Foreign("1-6", 5);
    foreign.driver.clear();
    foreign.lp_node = false;
    tree.AddPrinter(foreign);

    std::vector<FoundUsbPrinter> found;
    EXPECT_EQ(SearchUSBPrinters(found), kSearchDone);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].device_path, U8u(tree.dev / "usb" / "lp0"));
    EXPECT_EQ(found[0].transport, platform::DeviceTransport::kPrinterDriver);
    EXPECT_EQ(found[1].instance_id, u"USB\\VID_7A3C&PID_0C13\\SER2");
    EXPECT_EQ(found[1].device_path, U8u(tree.dev / "bus" / "usb" / "001" / "003"));
    EXPECT_EQ(found[1].transport, platform::DeviceTransport::kUsbDevice);
    // The port as CUPS names it, from the device's strings in place of usblp's device ID.
    EXPECT_EQ(found[1].port, u"usb://Bexlot/R7200%20Series?serial=SER2");
    EXPECT_EQ(found[2].device_path, U8u(tree.dev / "bus" / "usb" / "001" / "004"));
    EXPECT_EQ(found[2].transport, platform::DeviceTransport::kUsbDevice);

    const std::vector<UnusablePrinter> unusable = FindUnusablePrinters();
    ASSERT_EQ(unusable.size(), 2u);
    EXPECT_EQ(unusable[0].location, u"1-4");
    EXPECT_EQ(unusable[0].reason, UnusableReason::kOtherDriver);
    EXPECT_EQ(unusable[1].location, u"1-5");
    EXPECT_EQ(unusable[1].reason, UnusableReason::kOddDescriptors);
    EXPECT_EQ(unusable[1].descriptor_problem, platform::DescriptorProblem::kNoBulkIn);
}

}  // namespace
}  // namespace tessel::discovery
