#include "upgrade/same_printer.h"

#include <algorithm>
#include <vector>

#include "discovery/printer_list.h"
#include "platform/services.h"

namespace tessel::upgrade {

std::optional<ListedPrinter> ListedAt(std::int32_t row) {
    const auto& rows = discovery::g_vecUsbPrinters;
    if (row < 0 || static_cast<std::size_t>(row) >= rows.size()) {
        return std::nullopt;
    }
    return ListedPrinter{rows[static_cast<std::size_t>(row)], rows.size()};
}

bool WaitForSamePrinter(const ListedPrinter& wanted, const SamePrinterPoll& poll,
                        const std::function<bool(const discovery::FoundUsbPrinter&)>& take,
                        const std::function<void(std::int64_t)>& waiting) {
    platform::Clock& clock = platform::Clk();
    const std::int64_t start = clock.NowSeconds();
    std::vector<discovery::FoundUsbPrinter> found;
    for (;;) {
        found.clear();
        discovery::SearchUSBPrinters(found);
        const int row = discovery::FindSamePrinter(found, wanted.printer, wanted.listed);
        if (row >= 0 && take(found[static_cast<std::size_t>(row)])) {
            return true;
        }
        const std::int64_t elapsed = clock.NowSeconds() - start;
        if (elapsed > poll.window_seconds) {
            return false;
        }
        if (waiting) {
            waiting(std::max<std::int64_t>(0, poll.window_seconds - elapsed));
        }
        clock.SleepMs(poll.interval_ms);
    }
}

}  // namespace tessel::upgrade
