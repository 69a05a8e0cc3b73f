#include "ui/cli/cli_info.h"

#include <nlohmann/json.hpp>

#include "discovery/usb_discovery.h"
#include "link/printer_queries.h"
#include "platform/services.h"
#include "platform/text.h"
#include "ui/cli/cli_options.h"
#include "ui/ui_text.h"
#include "upgrade/upgrade_worker.h"

namespace tessel::ui::cli {
namespace {

using platform::FixedView;
using platform::Utf16ToUtf8;

// The upgrade's own version comparison, named for the report.
VersionComparison Compare(const link::VersionResult& version) {
    switch (link::CompareVersionKey(link::VersionKey(version))) {
        case link::kPrinterVersionLower:
            return VersionComparison::kOlder;
        case link::kPrinterVersionEqual:
            return VersionComparison::kSame;
        default:
            return VersionComparison::kNewer;
    }
}

void Query(PrinterReport& report) {
    if (report.device_path.empty()) {
        return;
    }
    const auto device =
        platform::Current().devices->OpenWithReason(report.device_path, report.open_failure);
    if (!device) {
        return;
    }
    report.opened = true;
    std::uint8_t status = 0;
    report.status_result = link::ReadPrinterSTATUS(*device, status, kInfoStatusLimitSeconds);
    if (report.status_result == link::kLinkOk) {
        report.status = status;
    }
    link::VersionResult version{};
    report.version_result =
        link::ReadPrinterFWVersion(*device, version, kInfoVersionLimitSeconds);
    if (report.version_result == link::kLinkOk) {
        report.version = VersionText(version);
        report.comparison = Compare(version);
    }
}

}  // namespace

std::string VersionText(const link::VersionResult& version) {
    std::string text;
    for (const std::uint8_t byte : version) {
        if (byte == 0) {
            break;
        }
        text.push_back(byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : '?');
    }
    return text;
}

namespace {

const char* ComparisonName(VersionComparison comparison) {
    switch (comparison) {
        case VersionComparison::kOlder:
            return "older";
        case VersionComparison::kSame:
            return "same";
        case VersionComparison::kNewer:
            return "newer";
        case VersionComparison::kUnknown:
            break;
    }
    return "unknown";
}

const char* ReasonName(discovery::UnusableReason reason) {
    switch (reason) {
        case discovery::UnusableReason::kNoPrinterInterface:
            return "no_printer_interface";
        case discovery::UnusableReason::kNoDriver:
            return "no_driver";
        case discovery::UnusableReason::kHeldByProgram:
            return "held_by_program";
        case discovery::UnusableReason::kOtherDriver:
            return "other_driver";
        case discovery::UnusableReason::kNoDeviceNode:
            return "no_device_node";
    }
    return "unknown";
}

const char* OpenFailureName(platform::OpenFailure failure) {
    switch (failure) {
        case platform::OpenFailure::kNone:
            return "none";
        case platform::OpenFailure::kPermissionDenied:
            return "permission_denied";
        case platform::OpenFailure::kNoDevice:
            return "no_device";
        case platform::OpenFailure::kBusy:
            return "busy";
        case platform::OpenFailure::kOther:
            break;
    }
    return "other";
}

std::string StatusText(const PrinterReport& p) {
    if (p.device_path.empty()) {
        return "not asked: no device path (the interface has no readable parameters or is "
               "not a plain printer interface)";
    }
    if (!p.opened) {
        const std::u16string why = ui::OpenFailureText(p.open_failure);
        return "not asked: the device file does not open: " +
               (why.empty() ? std::string("the system gave another reason") : Utf16ToUtf8(why));
    }
    if (!p.status) {
        return "no answer to the status query";
    }
    return std::to_string(*p.status) + (upgrade::StatusAllowsUpgrade(*p.status)
                                            ? " (ready for an upgrade)"
                                            : " (not ready: the upgrade would stop)");
}

std::string VersionLine(const PrinterReport& p) {
    const std::string carried = Utf16ToUtf8(ui::g_strFwVersion);
    if (!p.opened) {
        return "not asked";
    }
    if (!p.version) {
        return "no answer to the version query (the upgrade would stop: not ready)";
    }
    switch (p.comparison) {
        case VersionComparison::kOlder:
            return *p.version + ", older than the carried " + carried + ": the upgrade installs it";
        case VersionComparison::kSame:
            return *p.version + ", the same as the carried " + carried +
                   ": the upgrade asks before it installs it again";
        case VersionComparison::kNewer:
            return *p.version + ", newer than the carried " + carried + ": the upgrade stops";
        case VersionComparison::kUnknown:
            break;
    }
    return *p.version;
}

std::string OrNone(const std::u16string& s) {
    return s.empty() ? std::string("(none)") : Utf16ToUtf8(s);
}

}  // namespace

InfoReport CollectInfo() {
    InfoReport report;
    std::vector<discovery::FoundUsbPrinter> found;
    report.search_result = discovery::SearchUSBPrinters(found);
    for (const discovery::FoundUsbPrinter& printer : found) {
        PrinterReport p;
        p.name = std::u16string(
            FixedView(printer.entry.achPrinterName, discovery::kPrinterNameCapacity));
        p.port = printer.port;  // whole, as the spooler check compares it
        p.device_path = printer.device_path;
        Query(p);
        report.printers.push_back(std::move(p));
    }
    report.unusable = discovery::FindUnusablePrinters();
    return report;
}

std::string UnusableReasonText(const discovery::UnusablePrinter& printer) {
    switch (printer.reason) {
        case discovery::UnusableReason::kNoPrinterInterface:
            return "the device shows no printer interface";
        case discovery::UnusableReason::kNoDriver:
            return "no driver has taken its printer interface (is the usblp module loaded, or "
                   "is it blocked?)";
        case discovery::UnusableReason::kHeldByProgram:
            return "a program holds its printer interface through raw USB access (a printing "
                   "service such as ipp-usb, or a CUPS backend); stop it and plug the printer in "
                   "again";
        case discovery::UnusableReason::kOtherDriver:
            return "another driver (" + Utf16ToUtf8(printer.driver) +
                   ") has taken its printer interface";
        case discovery::UnusableReason::kNoDeviceNode:
            return "the printer driver has its interface but made no device node for it";
    }
    return "unknown";
}

std::string InfoText(const InfoReport& report) {
    std::string out = "Carried firmware: " + Utf16ToUtf8(ui::g_strFwVersion) + "\n";
    if (report.search_result < 0) {
        out += "The search for printers failed (result " + std::to_string(report.search_result) +
               "); the printers below are those found before it failed.\n";
    }
    if (report.printers.empty()) {
        out += "No supported printer found.\n";
    }
    for (std::size_t i = 0; i < report.printers.size(); ++i) {
        const PrinterReport& p = report.printers[i];
        out += "Printer " + std::to_string(i + 1) + ": " + Utf16ToUtf8(p.name) + "\n";
        out += "  port:     " + OrNone(p.port) + "\n";
        out += "  device:   " + OrNone(p.device_path) + "\n";
        out += "  status:   " + StatusText(p) + "\n";
        out += "  firmware: " + VersionLine(p) + "\n";
    }
    if (report.printers.size() > 1) {
        out += "An upgrade works on the first printer only; connect one printer at a time.\n";
    }
    for (const discovery::UnusablePrinter& u : report.unusable) {
        out += "Plugged in but not usable: " + Utf16ToUtf8(u.printer_name) + " at " +
               OrNone(u.location) + ": " + UnusableReasonText(u) + "\n";
    }
    return out;
}

std::string InfoJson(const InfoReport& report) {
    using nlohmann::json;
    json printers = json::array();
    for (const PrinterReport& p : report.printers) {
        json entry = {
            {"name", Utf16ToUtf8(p.name)},
            {"port", Utf16ToUtf8(p.port)},
            {"device_path", Utf16ToUtf8(p.device_path)},
            {"opened", p.opened},
            {"open_failure", p.opened ? nlohmann::json(nullptr)
                                      : nlohmann::json(OpenFailureName(p.open_failure))},
            {"status", p.status ? json(*p.status) : json(nullptr)},
            {"ready", p.status ? json(upgrade::StatusAllowsUpgrade(*p.status)) : json(nullptr)},
            {"version", p.version ? json(*p.version) : json(nullptr)},
            {"comparison", ComparisonName(p.comparison)},
        };
        printers.push_back(std::move(entry));
    }
    json unusable = json::array();
    for (const discovery::UnusablePrinter& u : report.unusable) {
        unusable.push_back({{"name", Utf16ToUtf8(u.printer_name)},
                            {"instance_id", Utf16ToUtf8(u.instance_id)},
                            {"location", Utf16ToUtf8(u.location)},
                            {"driver", Utf16ToUtf8(u.driver)},
                            {"reason", ReasonName(u.reason)},
                            {"explanation", UnusableReasonText(u)}});
    }
    const json document = {
        {"carried_version", Utf16ToUtf8(ui::g_strFwVersion)},
        {"search_complete", report.search_result >= 0},
        {"search_result", report.search_result},
        {"printers", std::move(printers)},
        {"unusable", std::move(unusable)},
    };
    // Texts from the system are converted with U+FFFD for what is not valid; replace anyway
    // rather than throw.
    return document.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

int InfoExitCode(const InfoReport& report) {
    return report.search_result >= 0 ? kExitSuccess : kExitFailed;
}

}  // namespace tessel::ui::cli
