// The printer list the upgrade works from, and the check whether a print queue still holds
// jobs for the printer's port.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "discovery/supported_devices.h"
#include "discovery/usb_discovery.h"

namespace tessel::discovery {

// The printers of the last refresh, in discovery order: each row holds the entry discovery
// appended for it and, beside it, what the entry cannot hold (its own device path, instance
// ID and whole port). Written only by RefreshPrinterList on the upgrade worker's thread; read
// by the worker during a run, and by the command line's confirmation once the run has ended.
extern std::vector<FoundUsbPrinter> g_vecUsbPrinters;

// What the printer list shows: one printer name a row, and the selected row.
struct PrinterListView {
    static constexpr int kNoSelection = -1;
    std::vector<std::u16string> rows;
    int selection = kNoSelection;

    friend bool operator==(const PrinterListView&, const PrinterListView&) = default;
};

// An ordered list of printer names with one selected row, the way a drop-down list keeps
// them. Row i shows entry i of g_vecUsbPrinters. Nobody but the worker changes it; a window
// sees it only through the copy it takes when the listener tells it (SetPrinterListListener).
class PrinterListModel {
  public:
    static constexpr int kNoSelection = PrinterListView::kNoSelection;

    void Reset();
    // Inserts `text` at `position` (0..Count()); any other position appends.
    void Insert(int position, std::u16string text);
    // Selects row `position`; a position outside the rows leaves no row selected.
    void Select(int position);
    // The selected row, or kNoSelection.
    int Selection() const { return view_.selection; }
    int Count() const { return static_cast<int>(view_.rows.size()); }
    const std::u16string& Row(int position) const {
        return view_.rows.at(static_cast<std::size_t>(position));
    }
    // The rows and the selection as one value, for a copy.
    const PrinterListView& View() const { return view_; }

  private:
    PrinterListView view_;
};

// The process-wide list that mirrors g_vecUsbPrinters.
PrinterListModel& PrinterList();

// Rebuilds g_vecUsbPrinters and the list from a fresh discovery pass and selects row 0, or
// the printer chosen by SetChosenPrinter, which becomes the current device (SelectPrinter).
// Returns the number of
// printers, or the pass's negative result when it failed; then the list stays empty (and
// shows no selection) even if the pass appended entries before failing. When there is no row
// to select, g_strDevicePath and g_strHardID keep their values.
std::int32_t RefreshPrinterList();

// Told at the end of every RefreshPrinterList and SelectPrinter, on the calling thread, with
// the list as the call left it. The main display keeps a copy of its View() for its window
// (which holds the list as a hidden control), so no window reads the list while the worker
// writes it. One listener; null
// removes it. Install and remove it while no worker runs.
using PrinterListListener = std::function<void(const PrinterListModel&)>;
void SetPrinterListListener(PrinterListListener listener);

// Selects `row` and makes its printer the one every device operation opens: g_strDevicePath
// becomes the printer's own device path (empty, which opens nothing, when it has none; never
// another printer's) and g_strHardID its table row's hardware ID. Any other `row` selects
// nothing and empties g_strDevicePath.
void SelectPrinter(int row);

// The row of `rows` that holds `wanted` again after it restarted, when it was one of
// `listed_before` printers then; PrinterListModel::kNoSelection when no row, or more than one,
// could be it. One printer listed before and one now: that one, whatever its port. Otherwise
// a printer is known by the serial number in its instance ID (its product ID can change
// across a restart), and one without a serial number by its whole port.
int FindSamePrinter(const std::vector<FoundUsbPrinter>& rows, const FoundUsbPrinter& wanted,
                    std::size_t listed_before);

// Whether `selector`, a name the user gave, names `printer`: it equals the printer's serial
// number (the one its instance ID carries), its whole spooler port (on Windows "USB001", on
// Linux the CUPS device URI) or the path of its device file (on Windows the device interface
// path; on Linux usblp's node /dev/usb/lpN, or /dev/bus/usb/BBB/DDD when no kernel driver
// holds it), ASCII letters compared without regard to case. An empty selector names nothing.
bool SelectorNames(std::u16string_view selector, const FoundUsbPrinter& printer);

// The rows of `rows` that `selector` names, in order.
std::vector<int> RowsNamedBy(std::u16string_view selector, const std::vector<FoundUsbPrinter>& rows);

// From now on RefreshPrinterList selects the one row `selector` names, and no row (as for an
// empty list, but g_strDevicePath emptied) when it names none or several, so that nothing is
// sent to a printer the user did not name. Nothing: row 0 (the default). Set it while no worker runs.
void SetChosenPrinter(std::optional<std::u16string> selector);

// True when the first print queue, in the spooler's order, whose port is exactly `port`
// holds at least one job. False otherwise, for an empty port, and for every failure: a
// spooler problem never blocks an upgrade.
bool IsUSBPortBusy(std::u16string_view port);

}  // namespace tessel::discovery
