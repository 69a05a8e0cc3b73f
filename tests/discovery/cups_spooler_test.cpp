// The spooler check against a real, throwaway CUPS scheduler.
#include <gtest/gtest.h>

#include "cups_scheduler.h"
#include "discovery/printer_list.h"
#include "platform/print_spooler.h"
#include "platform/services.h"
#include "platform/text.h"
#include "platform/usb_printer_interfaces.h"
#include "sysfs_tree.h"
#include "virtual_clock.h"

namespace tessel::discovery {
namespace {

using testing::CupsScheduler;

constexpr char16_t kBusy[] = u"usb://Bexlot/R7200%20Series?serial=SER1";
constexpr char16_t kFree[] = u"usb://Bexlot/R7100%20Series?serial=FREE";
constexpr char16_t kTwice[] = u"usb://Bexlot/R7300%20Series?serial=TWICE";
constexpr char16_t kCancelled[] = u"usb://Bexlot/R7400%20Series?serial=GONE";
// A printer whose device ID carries a long serial number: its URI is longer than the 255
// characters a printer entry's port holds.
const std::string kLongSerial(240, '7');
const std::string kLong = "usb://Bexlot/R7200%20Series?serial=" + kLongSerial;

class CupsSpoolerTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (!CupsScheduler::FindProgram("cupsd")) {
            skip_reason_ = "cupsd is not installed (Debian package cups-daemon)";
            return;
        }
        scheduler_ = new CupsScheduler();
        std::string why;
        if (!scheduler_->Start(why)) {
            failure_ = why;
            return;
        }
        std::string job;
        const bool ok =
            scheduler_->AddQueue("a_busy", platform::Utf16ToUtf8(kBusy)) &&
            scheduler_->AddHeldJob("a_busy", job) &&
            scheduler_->AddQueue("b_free", platform::Utf16ToUtf8(kFree)) &&
            // Two queues on one URI: the first in the scheduler's (name) order is empty.
            scheduler_->AddQueue("c_first", platform::Utf16ToUtf8(kTwice)) &&
            scheduler_->AddQueue("d_second", platform::Utf16ToUtf8(kTwice)) &&
            scheduler_->AddHeldJob("d_second", job) &&
            scheduler_->AddQueue("e_cancelled", platform::Utf16ToUtf8(kCancelled)) &&
            scheduler_->AddHeldJob("e_cancelled", job) && scheduler_->Run({"cancel", job}) &&
            scheduler_->AddQueue("f_long", kLong) && scheduler_->AddHeldJob("f_long", job);
        if (!ok) {
            failure_ = "setting up queues failed:\n" + scheduler_->Log();
        }
    }

    static void TearDownTestSuite() {
        delete scheduler_;
        scheduler_ = nullptr;
    }

    void SetUp() override {
        if (!skip_reason_.empty()) {
            GTEST_SKIP() << skip_reason_;
        }
        ASSERT_TRUE(failure_.empty()) << failure_;
    }

    // The system's spooler, with everything else quiet.
    CupsSpoolerTest()
        : services_(platform::Services{&clock_, &debug_, nullptr,
                                       &platform::SystemUsbPrinterInterfaces(),
                                       &platform::SystemPrintSpooler(), nullptr}) {}

    static inline CupsScheduler* scheduler_ = nullptr;
    static inline std::string skip_reason_;
    static inline std::string failure_;

  private:
    testing::VirtualClock clock_;
    testing::RecordingDebugOutput debug_;
    platform::ScopedServices services_;
};

TEST_F(CupsSpoolerTest, AHeldJobMakesThePortBusy) {
    EXPECT_TRUE(IsUSBPortBusy(kBusy));
}

TEST_F(CupsSpoolerTest, NoActiveJobMeansFree) {
    EXPECT_FALSE(IsUSBPortBusy(kFree));
    EXPECT_FALSE(IsUSBPortBusy(kCancelled));
    EXPECT_FALSE(IsUSBPortBusy(u"usb://Bexlot/R7200%20Series?serial=OTHER"));
    EXPECT_FALSE(IsUSBPortBusy(u""));
}

TEST_F(CupsSpoolerTest, TheFirstQueueOnTheUriDecides) {
    const auto queues = platform::SystemPrintSpooler().Queues();
    ASSERT_TRUE(queues.has_value());
    ASSERT_EQ(queues->size(), 6u);
    EXPECT_EQ((*queues)[2].port_name, kTwice);
    EXPECT_EQ((*queues)[2].jobs, 0u);
    EXPECT_EQ((*queues)[3].jobs, 1u);

    EXPECT_FALSE(IsUSBPortBusy(kTwice));
}

TEST_F(CupsSpoolerTest, ThePortDiscoveryGivesAnEmulatedR7200FindsItsQueue) {
    testing::SysfsTree tree;
    tree.AddPrinter(testing::UsbPrinterSpec{});
    ASSERT_EQ(RefreshPrinterList(), 1);
    const std::u16string port(
        platform::FixedView(g_vecUsbPrinters[0].entry.achUSBPort, kUsbPortCapacity));
    EXPECT_EQ(port, kBusy);
    EXPECT_TRUE(IsUSBPortBusy(port));
}

TEST_F(CupsSpoolerTest, ALongUriIsComparedWhole) {
    testing::SysfsTree tree;
    testing::UsbPrinterSpec printer;
    printer.ieee1284_id = std::string(testing::kR7200DeviceId) + "SN:" + kLongSerial + ";";
    tree.AddPrinter(printer);
    ASSERT_EQ(RefreshPrinterList(), 1);
    const std::u16string& port = g_vecUsbPrinters[0].port;
    EXPECT_EQ(platform::Utf16ToUtf8(port), kLong);
    EXPECT_TRUE(IsUSBPortBusy(port));
    // The entry's copy, cut to 255 characters, names no queue.
    const std::u16string_view cut =
        platform::FixedView(g_vecUsbPrinters[0].entry.achUSBPort, kUsbPortCapacity);
    EXPECT_EQ(cut, port.substr(0, kUsbPortCapacity - 1));
    EXPECT_FALSE(IsUSBPortBusy(cut));
}

TEST_F(CupsSpoolerTest, ASchedulerThatIsNotRunningNeverBlocks) {
    scheduler_->Stop();
    EXPECT_FALSE(IsUSBPortBusy(kBusy));
    EXPECT_FALSE(platform::SystemPrintSpooler().Queues().has_value());

    ::setenv("CUPS_SERVER", (scheduler_->root / "nobody-here.sock").c_str(), 1);
    EXPECT_FALSE(IsUSBPortBusy(kBusy));
}

}  // namespace
}  // namespace tessel::discovery
