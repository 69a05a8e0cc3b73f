// Finding the upgraded printer again after it restarted: the worker's wait for the loader's
// restart and the command line's confirmation after the burn both poll discovery the same way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

#include "discovery/usb_discovery.h"

namespace tessel::upgrade {

// A printer of the printer list, and how many printers were listed with it.
struct ListedPrinter {
    discovery::FoundUsbPrinter printer;
    std::size_t listed = 0;
};

// The printer in `row` of the last refresh (discovery::g_vecUsbPrinters); nothing for a row
// outside it.
std::optional<ListedPrinter> ListedAt(std::int32_t row);

// How long and how often to look.
struct SamePrinterPoll {
    // Looking ends once more than this many whole seconds of the clock have passed since the
    // first pass began.
    std::int64_t window_seconds = 0;
    // The sleep between two passes.
    std::uint32_t interval_ms = 0;
};

// Runs discovery passes until the row that holds `wanted` again (discovery::FindSamePrinter,
// with `wanted.listed` printers listed with it before) is one that `take` accepts. `waiting`,
// when given, is told before each sleep how many seconds of the window are left (never less
// than 0). True when `take` accepted a row; false when the window ended first.
bool WaitForSamePrinter(const ListedPrinter& wanted, const SamePrinterPoll& poll,
                        const std::function<bool(const discovery::FoundUsbPrinter&)>& take,
                        const std::function<void(std::int64_t)>& waiting = {});

}  // namespace tessel::upgrade
