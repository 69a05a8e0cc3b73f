#include "ui/cli/cli_printer_choice.h"

#include "discovery/printer_list.h"
#include "platform/text.h"
#include "ui/cli/cli_options.h"
#include "ui/tool_text.h"

namespace tessel::ui::cli {

PrinterChoice ChoosePrinter(std::string_view selector,
                            const std::vector<discovery::FoundUsbPrinter>& found,
                            bool through_restart) {
    const std::vector<int> named =
        discovery::RowsNamedBy(platform::Utf8ToUtf16(selector), found);
    PrinterChoice choice;
    if (named.size() == 1) {
        const int row = named.front();
        if (through_restart && discovery::FindSamePrinter(
                                   found, found[static_cast<std::size_t>(row)], found.size()) != row) {
            choice.status = kExitSeveralNamed;
            choice.message = ui::ToolTextUtf8(ui::ToolText::kPrinterNotTellable,
                                              {selector, kPrinterOption});
        } else {
            choice.row = row;
        }
    } else if (named.empty()) {
        choice.status = kExitNoPrinterNamed;
        choice.message = ui::ToolTextUtf8(ui::ToolText::kPrinterNoneNamed,
                                          {selector, kPrinterOption, "tessel-cli info"});
    } else {
        choice.status = kExitSeveralNamed;
        choice.message =
            ui::ToolTextUtf8(ui::ToolText::kPrinterSeveralNamed,
                             {std::to_string(named.size()), selector, kPrinterOption, "tessel-cli info"});
    }
    return choice;
}

}  // namespace tessel::ui::cli
