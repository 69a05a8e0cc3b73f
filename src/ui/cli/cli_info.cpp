#include "ui/cli/cli_info.h"

#include <algorithm>

#include <nlohmann/json.hpp>

#include "discovery/usb_discovery.h"
#include "platform/usb_names.h"
#include "link/printer_queries.h"
#include "platform/services.h"
#include "platform/text.h"
#include "ui/cli/cli_options.h"
#include "ui/tool_text.h"
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
        case discovery::UnusableReason::kOtherDriver:
            return "other_driver";
        case discovery::UnusableReason::kNoDeviceNode:
            return "no_device_node";
        case discovery::UnusableReason::kOddDescriptors:
            return "odd_descriptors";
    }
    return "unknown";
}

const char* TransportName(platform::DeviceTransport transport) {
    switch (transport) {
        case platform::DeviceTransport::kPrinterDriver:
            return "usblp";
        case platform::DeviceTransport::kUsbDevice:
            return "usb";
    }
    return "unknown";
}

using ui::ToolText;
using ui::ToolTextUtf8;

std::string StatusText(const PrinterReport& p) {
    if (p.device_path.empty()) {
        return ToolTextUtf8(ToolText::kInfoNoDevicePath);
    }
    if (!p.opened) {
        const std::u16string why = ui::OpenFailureText(p.open_failure);
        return ToolTextUtf8(
            ToolText::kInfoDoesNotOpen,
            {why.empty() ? ToolTextUtf8(ToolText::kInfoOtherReason) : Utf16ToUtf8(why)});
    }
    if (!p.status) {
        return ToolTextUtf8(ToolText::kInfoNoStatusAnswer);
    }
    return ToolTextUtf8(upgrade::StatusAllowsUpgrade(*p.status) ? ToolText::kInfoStatusReady
                                                                : ToolText::kInfoStatusNotReady,
                        {std::to_string(*p.status)});
}

std::string VersionLine(const PrinterReport& p) {
    const std::string carried = Utf16ToUtf8(ui::g_strFwVersion);
    if (!p.opened) {
        return ToolTextUtf8(ToolText::kInfoNotAsked);
    }
    if (!p.version) {
        return ToolTextUtf8(ToolText::kInfoNoVersionAnswer);
    }
    switch (p.comparison) {
        case VersionComparison::kOlder:
            return ToolTextUtf8(ToolText::kInfoOlder, {*p.version, carried});
        case VersionComparison::kSame:
            return ToolTextUtf8(ToolText::kInfoSame, {*p.version, carried});
        case VersionComparison::kNewer:
            return ToolTextUtf8(ToolText::kInfoNewer, {*p.version, carried});
        case VersionComparison::kUnknown:
            break;
    }
    return *p.version;
}

std::string OrNone(const std::u16string& s) {
    return s.empty() ? ToolTextUtf8(ToolText::kInfoNone) : Utf16ToUtf8(s);
}

// Columns a text takes on a terminal: East Asian wide characters take two.
std::size_t Columns(std::u16string_view text) {
    std::size_t columns = 0;
    for (const char16_t c : text) {
        const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
                          (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
                          (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
                          (c >= 0xFFE0 && c <= 0xFFE6);
        columns += wide ? 2 : 1;
    }
    return columns;
}

// The printer's detail lines: "  label: value", the values lined up.
struct Labels {
    Labels() {
        for (const ToolText id : {ToolText::kInfoSerialLabel, ToolText::kInfoPortLabel,
                                  ToolText::kInfoDeviceLabel,
                                  ToolText::kInfoTransportLabel, ToolText::kInfoStatusLabel,
                                  ToolText::kInfoFirmwareLabel}) {
            width = std::max(width, Columns(ui::GetToolText(id)));
        }
    }
    std::string Line(ToolText label, const std::string& value) const {
        const std::u16string text = ui::GetToolText(label);
        return "  " + Utf16ToUtf8(text) + ":" + std::string(width - Columns(text) + 1, ' ') +
               value + "\n";
    }
    std::size_t width = 0;
};

}  // namespace

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

InfoReport CollectInfo(const std::optional<std::string>& printer_named) {
    InfoReport report;
    std::vector<discovery::FoundUsbPrinter> found;
    report.search_result = discovery::SearchUSBPrinters(found);
    if (printer_named) {
        report.choice = ChoosePrinter(*printer_named, found, false);
        if (report.choice.status != kExitSuccess) {
            return report;  // nothing asked of any printer
        }
        found = {found[static_cast<std::size_t>(report.choice.row)]};
    }
    for (const discovery::FoundUsbPrinter& printer : found) {
        PrinterReport p;
        p.name = std::u16string(
            FixedView(printer.entry.achPrinterName, discovery::kPrinterNameCapacity));
        p.port = printer.port;  // whole, as the spooler check compares it
        p.serial = std::u16string(platform::InstanceIdSerial(printer.instance_id));
        p.device_path = printer.device_path;
        p.transport = printer.transport;
        Query(p);
        report.printers.push_back(std::move(p));
    }
    report.unusable = discovery::FindUnusablePrinters();
    return report;
}

std::string UnusableReasonText(const discovery::UnusablePrinter& printer) {
    switch (printer.reason) {
        case discovery::UnusableReason::kNoPrinterInterface:
            return ToolTextUtf8(ToolText::kUnusableNoInterface);
        case discovery::UnusableReason::kOtherDriver:
            return ToolTextUtf8(ToolText::kUnusableOtherDriver, {Utf16ToUtf8(printer.driver)});
        case discovery::UnusableReason::kNoDeviceNode:
            return ToolTextUtf8(ToolText::kUnusableNoDeviceNode);
        case discovery::UnusableReason::kOddDescriptors:
            return ToolTextUtf8(ToolText::kUnusableOddDescriptors,
                                {Utf16ToUtf8(ui::DescriptorProblemText(printer.descriptor_problem))});
    }
    return ReasonName(printer.reason);
}

std::string InfoText(const InfoReport& report) {
    std::string out =
        ToolTextUtf8(ToolText::kInfoCarried, {Utf16ToUtf8(ui::g_strFwVersion)}) + "\n";
    if (report.search_result < 0) {
        out += ToolTextUtf8(ToolText::kInfoSearchFailed, {std::to_string(report.search_result)}) +
               "\n";
    }
    if (report.printers.empty()) {
        out += ToolTextUtf8(ToolText::kInfoNoPrinter) + "\n";
    }
    const Labels labels;
    for (std::size_t i = 0; i < report.printers.size(); ++i) {
        const PrinterReport& p = report.printers[i];
        out += ToolTextUtf8(ToolText::kInfoPrinter, {std::to_string(i + 1), Utf16ToUtf8(p.name)}) +
               "\n";
        out += labels.Line(ToolText::kInfoSerialLabel, OrNone(p.serial));
        out += labels.Line(ToolText::kInfoPortLabel, OrNone(p.port));
        out += labels.Line(ToolText::kInfoDeviceLabel, OrNone(p.device_path));
        out += labels.Line(ToolText::kInfoTransportLabel, Utf16ToUtf8(ui::TransportText(p.transport)));
        out += labels.Line(ToolText::kInfoStatusLabel, StatusText(p));
        out += labels.Line(ToolText::kInfoFirmwareLabel, VersionLine(p));
    }
    if (report.printers.size() > 1) {
        out += ToolTextUtf8(ToolText::kInfoFirstOnly, {kPrinterOption}) + "\n";
    }
    for (const discovery::UnusablePrinter& u : report.unusable) {
        out += ToolTextUtf8(ToolText::kInfoUnusable, {Utf16ToUtf8(u.printer_name),
                                                      OrNone(u.location), UnusableReasonText(u)}) +
               "\n";
    }
    return out;
}

std::string InfoJson(const InfoReport& report) {
    using nlohmann::json;
    json printers = json::array();
    for (const PrinterReport& p : report.printers) {
        json entry = {
            {"name", Utf16ToUtf8(p.name)},
            {"serial", Utf16ToUtf8(p.serial)},
            {"port", Utf16ToUtf8(p.port)},
            {"device_path", Utf16ToUtf8(p.device_path)},
            {"transport", TransportName(p.transport)},
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
                            {"descriptor_problem",
                             u.reason == discovery::UnusableReason::kOddDescriptors
                                 ? json(Utf16ToUtf8(ui::DescriptorProblemText(u.descriptor_problem)))
                                 : json(nullptr)},
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
    if (report.choice.status != kExitSuccess) {
        return report.choice.status;
    }
    return report.search_result >= 0 ? kExitSuccess : kExitFailed;
}

}  // namespace tessel::ui::cli
