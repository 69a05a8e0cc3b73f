// `--printer SELECTOR`: the one printer that info and upgrade work on when several are
// connected, checked against a discovery pass before anything is sent to any printer.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "discovery/usb_discovery.h"

namespace tessel::ui::cli {

struct PrinterChoice {
    int status = 0;       // kExitSuccess, kExitNoPrinterNamed or kExitSeveralNamed
    int row = -1;         // the row of the printer named, when exactly one is
    std::string message;  // why there is no choice, in the user's language
};

// The row of `found` that `selector` names (discovery::SelectorNames), or why there is none.
// With `through_restart` (an upgrade, whose printer restarts after the loader) the printer
// named must also be one the restart poll can find again (discovery::FindSamePrinter): a
// printer whose serial number another one carries too is refused as several, before the loader
// could leave it waiting for a firmware that would never come.
PrinterChoice ChoosePrinter(std::string_view selector,
                            const std::vector<discovery::FoundUsbPrinter>& found,
                            bool through_restart);

}  // namespace tessel::ui::cli
