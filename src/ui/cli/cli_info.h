// `tessel-cli info`: what the upgrade would find, without upgrading. Lists the supported
// printers found with their ports and device paths, asks each one for its status and firmware
// version (queries only: no payload is ever sent), compares the version with the carried
// firmware, and names the supported printers that are plugged in but cannot be used.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "discovery/unusable_printers.h"
#include "link/printer_queries.h"
#include "platform/device_file.h"
#include "platform/usb_printer_interfaces.h"
#include "ui/cli/cli_printer_choice.h"

namespace tessel::ui::cli {

enum class VersionComparison { kUnknown, kOlder, kSame, kNewer };

struct PrinterReport {
    std::u16string name;
    std::u16string port;             // empty when it could not be read
    std::u16string serial;           // its serial number; empty when it has none
    std::u16string device_path;      // empty when the printer cannot be opened by path
    platform::DeviceTransport transport = platform::DeviceTransport::kPrinterDriver;
    bool opened = false;             // the device file opened for the queries
    platform::OpenFailure open_failure = platform::OpenFailure::kNone;  // why it did not
    std::int32_t status_result = 0;  // the status query's link result
    std::optional<std::uint8_t> status;
    std::int32_t version_result = 0;     // the version query's link result
    std::optional<std::string> version;  // the printer's version text (printable ASCII)
    VersionComparison comparison = VersionComparison::kUnknown;
};

struct InfoReport {
    std::int32_t search_result = 0;  // the discovery pass's result
    std::vector<PrinterReport> printers;
    std::vector<discovery::UnusablePrinter> unusable;
    // With --printer: whether it named one printer. When it did not, no printer was asked.
    PrinterChoice choice;
};

// How long info waits for each reply, in seconds on the clock. An upgrade grants a printer a
// minute per query; a look at what is connected should not keep its user waiting that long for
// a printer that does not answer: with these, a silent printer costs about six seconds (the
// last one-second read that passes each limit included).
inline constexpr std::int64_t kInfoStatusLimitSeconds = 2;
inline constexpr std::int64_t kInfoVersionLimitSeconds = 2;

// A version reply's bytes as text, up to the first zero; anything but printable ASCII shows
// as '?'.
std::string VersionText(const link::VersionResult& version);

// Runs discovery and the two queries on the installed services: on every printer found, or,
// with `printer` (--printer), on the one it names and on none when it names none or several.
InfoReport CollectInfo(const std::optional<std::string>& printer = std::nullopt);

// The report as text lines, and as one JSON document.
std::string InfoText(const InfoReport& report);
std::string InfoJson(const InfoReport& report);

// The stable name of the system's reason a device file did not open: "permission_denied".
const char* OpenFailureName(platform::OpenFailure failure);

// Why a supported printer cannot be used, in plain words.
std::string UnusableReasonText(const discovery::UnusablePrinter& printer);

// The exit status of info: the choice's when --printer named no single printer; else 0 when
// the discovery pass ran to its end, 1 otherwise.
int InfoExitCode(const InfoReport& report);

}  // namespace tessel::ui::cli
