#include "discovery/printer_list.h"

#include "discovery/device_globals.h"
#include "discovery/usb_discovery.h"
#include "platform/print_spooler.h"
#include "platform/services.h"
#include "platform/text.h"
#include "platform/usb_names.h"

namespace tessel::discovery {

std::vector<FoundUsbPrinter> g_vecUsbPrinters;

namespace {

std::optional<std::u16string>& ChosenPrinter() {
    static std::optional<std::u16string> selector;
    return selector;
}

PrinterListListener& Listener() {
    static PrinterListListener listener;
    return listener;
}

// Tells the listener about the list when the refresh ends, whichever way it ends.
class TellListenerAtEnd {
  public:
    TellListenerAtEnd() = default;
    ~TellListenerAtEnd() {
        if (Listener()) {
            Listener()(PrinterList());
        }
    }
    TellListenerAtEnd(const TellListenerAtEnd&) = delete;
    TellListenerAtEnd& operator=(const TellListenerAtEnd&) = delete;
};

// Selects `row` and makes its printer the current device, telling nobody.
void SelectRow(int row) {
    PrinterList().Select(row);
    const int selected = PrinterList().Selection();
    if (selected < 0 || static_cast<std::size_t>(selected) >= g_vecUsbPrinters.size()) {
        g_strDevicePath.clear();
        return;
    }
    const FoundUsbPrinter& printer = g_vecUsbPrinters[static_cast<std::size_t>(selected)];
    g_strDevicePath = printer.device_path;
    g_strHardID = printer.hard_id;
}

}  // namespace

void PrinterListModel::Reset() {
    view_.rows.clear();
    view_.selection = kNoSelection;
}

void PrinterListModel::Insert(int position, std::u16string text) {
    if (position < 0 || position > Count()) {
        position = Count();
    }
    if (view_.selection >= position) {
        ++view_.selection;  // the selected row keeps its text
    }
    view_.rows.insert(view_.rows.begin() + position, std::move(text));
}

void PrinterListModel::Select(int position) {
    view_.selection = (position >= 0 && position < Count()) ? position : kNoSelection;
}

PrinterListModel& PrinterList() {
    static PrinterListModel list;
    return list;
}

void SetPrinterListListener(PrinterListListener listener) {
    Listener() = std::move(listener);
}

std::int32_t RefreshPrinterList() {
    const TellListenerAtEnd tell;
    PrinterListModel& list = PrinterList();
    list.Reset();
    g_vecUsbPrinters.clear();
    const std::int32_t result = SearchUSBPrinters(g_vecUsbPrinters);
    if (result < 0) {
        return result;
    }
    for (std::size_t i = 0; i < g_vecUsbPrinters.size(); ++i) {
        list.Insert(static_cast<int>(i),
                    std::u16string(platform::FixedView(g_vecUsbPrinters[i].entry.achPrinterName,
                                                       kPrinterNameCapacity)));
    }
    if (const std::optional<std::u16string>& chosen = ChosenPrinter()) {
        const std::vector<int> named = RowsNamedBy(*chosen, g_vecUsbPrinters);
        SelectRow(named.size() == 1 ? named.front() : PrinterListModel::kNoSelection);
    } else if (!g_vecUsbPrinters.empty()) {
        SelectRow(0);
    }
    return static_cast<std::int32_t>(g_vecUsbPrinters.size());
}

void SelectPrinter(int row) {
    const TellListenerAtEnd tell;  // the window's copy follows the selection too
    SelectRow(row);
}

int FindSamePrinter(const std::vector<FoundUsbPrinter>& rows, const FoundUsbPrinter& wanted,
                    std::size_t listed_before) {
    if (listed_before == 1 && rows.size() == 1) {
        return 0;
    }
    const bool by_serial = !platform::InstanceIdSerial(wanted.instance_id).empty();
    if (!by_serial && wanted.port.empty()) {
        return PrinterListModel::kNoSelection;  // nothing tells it apart
    }
    int found = PrinterListModel::kNoSelection;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const bool same =
            by_serial ? platform::SameInstanceSerial(rows[i].instance_id, wanted.instance_id)
                      : rows[i].port == wanted.port;
        if (same) {
            if (found != PrinterListModel::kNoSelection) {
                return PrinterListModel::kNoSelection;  // two could be it
            }
            found = static_cast<int>(i);
        }
    }
    return found;
}

bool SelectorNames(std::u16string_view selector, const FoundUsbPrinter& printer) {
    if (selector.empty()) {
        return false;
    }
    const std::u16string_view serial = platform::InstanceIdSerial(printer.instance_id);
    return (!serial.empty() && platform::SameIgnoringAsciiCase(selector, serial)) ||
           platform::SameIgnoringAsciiCase(selector, printer.port) ||
           platform::SameIgnoringAsciiCase(selector, printer.device_path);
}

std::vector<int> RowsNamedBy(std::u16string_view selector,
                             const std::vector<FoundUsbPrinter>& rows) {
    std::vector<int> named;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (SelectorNames(selector, rows[i])) {
            named.push_back(static_cast<int>(i));
        }
    }
    return named;
}

void SetChosenPrinter(std::optional<std::u16string> selector) {
    ChosenPrinter() = std::move(selector);
}

bool IsUSBPortBusy(std::u16string_view port) {
    // An unknown port names no queue (a queue without a port must not count as the printer's).
    platform::PrintSpooler* spooler = platform::Current().spooler;
    if (port.empty() || !spooler) {
        return false;
    }
    const std::optional<std::vector<platform::PrintQueue>> queues = spooler->Queues();
    if (!queues) {
        return false;
    }
    for (const platform::PrintQueue& queue : *queues) {
        if (queue.port_name == port) {
            return queue.jobs > 0;
        }
    }
    return false;
}

}  // namespace tessel::discovery
