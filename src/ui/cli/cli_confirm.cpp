#include "ui/cli/cli_confirm.h"

#include <optional>
#include <vector>

#include "discovery/printer_list.h"
#include "discovery/usb_discovery.h"
#include "link/link_result.h"
#include "link/printer_queries.h"
#include "platform/services.h"
#include "platform/text.h"
#include "ui/cli/cli_info.h"
#include "ui/tool_text.h"
#include "ui/ui_text.h"

namespace tessel::ui::cli {

std::string CarriedVersionText() {
    std::string text = platform::Utf16ToUtf8(ui::g_strFwVersion);
    return text.starts_with("FW") ? text.substr(2) : text;
}

Confirmation ConfirmNewVersion() {
    platform::Clock& clock = platform::Clk();
    const int selected = discovery::PrinterList().Selection();
    std::optional<discovery::FoundUsbPrinter> upgraded;
    std::size_t listed = discovery::g_vecListedPrinters.size();
    if (selected >= 0 && static_cast<std::size_t>(selected) < listed) {
        upgraded = discovery::g_vecListedPrinters[static_cast<std::size_t>(selected)];
    }
    const std::int64_t start = clock.NowSeconds();
    for (;;) {
        std::vector<discovery::FoundUsbPrinter> found;
        discovery::SearchUSBPrinters(found);
        const int row = upgraded ? discovery::FindSamePrinter(found, *upgraded, listed)
                                 : (found.size() == 1 ? 0 : -1);
        if (row >= 0) {
            const auto device =
                platform::Current().devices->Open(found[static_cast<std::size_t>(row)].device_path);
            link::VersionResult version{};
            if (device && link::ReadPrinterFWVersion(*device, version, kInfoVersionLimitSeconds) ==
                              link::kLinkOk) {
                Confirmation confirmation;
                confirmation.version = VersionText(version);
                confirmation.outcome = confirmation.version == CarriedVersionText()
                                           ? ConfirmOutcome::kConfirmed
                                           : ConfirmOutcome::kOtherVersion;
                return confirmation;
            }
        }
        if (clock.NowSeconds() - start >= kConfirmBoundSeconds) {
            return {};
        }
        clock.SleepMs(kConfirmPollMs);
    }
}

std::string ConfirmationText(const Confirmation& confirmation) {
    switch (confirmation.outcome) {
        case ConfirmOutcome::kConfirmed:
            return ui::ToolTextUtf8(ui::ToolText::kConfirmed, {confirmation.version});
        case ConfirmOutcome::kOtherVersion:
            return ui::ToolTextUtf8(ui::ToolText::kConfirmOtherVersion,
                                    {confirmation.version, CarriedVersionText()});
        case ConfirmOutcome::kNotBack:
            break;
    }
    return ui::ToolTextUtf8(ui::ToolText::kConfirmNotBack,
                            {std::to_string(kConfirmBoundSeconds / 60), "tessel-cli info"});
}

}  // namespace tessel::ui::cli
