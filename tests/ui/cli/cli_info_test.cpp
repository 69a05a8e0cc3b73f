#include "ui/cli/cli_info.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>

namespace tessel::ui::cli {
namespace {

using discovery::UnusablePrinter;
using discovery::UnusableReason;

InfoReport Sample() {
    InfoReport report;
    report.search_result = 1;
    PrinterReport ready;
    ready.name = u"Bexlot r7200 Series";
    ready.port = u"usb://Bexlot/R7200%20Series?serial=SER1";
    ready.serial = u"SER1";
    ready.device_path = u"/dev/usb/lp0";
    ready.opened = true;
    ready.status_result = 1;
    ready.status = 0;
    ready.version_result = 1;
    ready.version = "3.3.4.0";
    ready.comparison = VersionComparison::kNewer;
    PrinterReport silent;
    silent.name = u"Bexlot DEFAULT Printer";
    silent.device_path = u"/dev/usb/lp1";
    silent.opened = true;
    silent.status_result = -20;
    silent.version_result = -1;
    PrinterReport denied;
    denied.name = u"Bexlot r7100 Series";
    denied.device_path = u"/dev/usb/lp2";
    denied.open_failure = platform::OpenFailure::kPermissionDenied;
    report.printers = {ready, silent, denied};
    report.unusable = {UnusablePrinter{u"USB\\VID_7A3C&PID_0C14\\S", u"Bexlot r7400 Series", u"1-3",
                                       u"", UnusableReason::kOddDescriptors,
                                       platform::DescriptorProblem::kNoBulkIn}};
    return report;
}

TEST(InfoReport, JsonCarriesEveryPrinterWithWhatIsKnownAndNullsForWhatIsNot) {
    const auto doc = nlohmann::json::parse(InfoJson(Sample()));
    EXPECT_EQ(doc["carried_version"], "FW3.3.3.8");
    EXPECT_EQ(doc["search_complete"], true);
    ASSERT_EQ(doc["printers"].size(), 3u);
    EXPECT_TRUE(doc["printers"][0]["open_failure"].is_null());
    EXPECT_EQ(doc["printers"][2]["open_failure"], "permission_denied");
    const auto& ready = doc["printers"][0];
    EXPECT_EQ(ready["port"], "usb://Bexlot/R7200%20Series?serial=SER1");
    EXPECT_EQ(ready["serial"], "SER1");
    EXPECT_EQ(ready["device_path"], "/dev/usb/lp0");
    EXPECT_EQ(ready["status"], 0);
    EXPECT_EQ(ready["ready"], true);
    EXPECT_EQ(ready["version"], "3.3.4.0");
    EXPECT_EQ(ready["comparison"], "newer");
    const auto& silent = doc["printers"][1];
    EXPECT_TRUE(silent["status"].is_null());
    EXPECT_TRUE(silent["ready"].is_null());
    EXPECT_TRUE(silent["version"].is_null());
    EXPECT_EQ(silent["comparison"], "unknown");
    ASSERT_EQ(doc["unusable"].size(), 1u);
    EXPECT_EQ(doc["unusable"][0]["reason"], "odd_descriptors");
    EXPECT_EQ(doc["unusable"][0]["descriptor_problem"],
              "its printer interface has no bulk IN endpoint");
    EXPECT_EQ(ready["transport"], "usblp");
    EXPECT_EQ(doc["unusable"][0]["location"], "1-3");
}

TEST(InfoReport, TextSaysWhatAnUpgradeWouldDo) {
    const std::string text = InfoText(Sample());
    for (const char* part :
         {"Printer 1: Bexlot r7200 Series", "serial number: SER1", "device:        /dev/usb/lp0", "0 (ready for an upgrade)",
          "3.3.4.0, newer than the carried FW3.3.3.8: the upgrade stops",
          "Printer 2: Bexlot DEFAULT Printer", "port:          (none)", "no answer to the status query",
          "no answer to the version query",
          "Without --printer an upgrade works on the first printer listed",
          "Printer 3: Bexlot r7100 Series",
          "not asked: the device file does not open: permission denied (install the tessel",
          "through:       the printer driver's device node (usblp)",
          "Plugged in but not usable: Bexlot r7400 Series at 1-3: its printer interface has no "
          "bulk IN endpoint; the tool does not open it"}) {
        EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
    }
}

TEST(InfoReport, EveryUnusableReasonHasItsOwnWords) {
    std::set<std::string> texts;
    for (const UnusableReason reason :
         {UnusableReason::kNoPrinterInterface, UnusableReason::kOtherDriver,
          UnusableReason::kNoDeviceNode, UnusableReason::kOddDescriptors}) {
        texts.insert(UnusableReasonText(UnusablePrinter{{}, {}, {}, u"usb-storage", reason}));
    }
    EXPECT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts.count("another driver (usb-storage) has taken its printer interface"), 1u);
}

}  // namespace
}  // namespace tessel::ui::cli
