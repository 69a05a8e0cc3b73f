#include "ui/cli/cli_confirm.h"

#include "discovery/printer_list.h"
#include "link/link_result.h"
#include "link/printer_queries.h"
#include "platform/services.h"
#include "platform/text.h"
#include "ui/cli/cli_info.h"
#include "ui/tool_text.h"
#include "ui/ui_text.h"
#include "upgrade/same_printer.h"

namespace tessel::ui::cli {

std::string CarriedVersionText() {
    std::string text = platform::Utf16ToUtf8(ui::g_strFwVersion);
    return text.starts_with("FW") ? text.substr(2) : text;
}

Confirmation ConfirmNewVersion() {
    // The selected row's printer; without one, a printer that is found alone: nothing else
    // is known of it.
    const upgrade::ListedPrinter upgraded = upgrade::ListedAt(discovery::PrinterList().Selection())
                                                .value_or(upgrade::ListedPrinter{{}, 1});
    Confirmation confirmation;
    // The bound is reached when kConfirmBoundSeconds have passed.
    upgrade::WaitForSamePrinter(
        upgraded, {kConfirmBoundSeconds - 1, kConfirmPollMs},
        [&confirmation](const discovery::FoundUsbPrinter& printer) {
            const auto device = platform::Current().devices->Open(printer.device_path);
            link::VersionResult version{};
            if (!device || link::ReadPrinterFWVersion(*device, version, kInfoVersionLimitSeconds) !=
                               link::kLinkOk) {
                return false;
            }
            confirmation.version = VersionText(version);
            confirmation.outcome = confirmation.version == CarriedVersionText()
                                       ? ConfirmOutcome::kConfirmed
                                       : ConfirmOutcome::kOtherVersion;
            return true;
        });
    return confirmation;
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
