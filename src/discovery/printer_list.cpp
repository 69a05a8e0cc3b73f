#include "discovery/printer_list.h"

#include "discovery/usb_discovery.h"
#include "platform/print_spooler.h"
#include "platform/services.h"
#include "platform/text.h"

namespace tessel::discovery {

std::vector<UsbPrinterEntry> g_vecUsbPrinters;

namespace {

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

}  // namespace

void PrinterListModel::Reset() {
    rows_.clear();
    selection_ = kNoSelection;
}

void PrinterListModel::Insert(int position, std::u16string text) {
    if (position < 0 || position > Count()) {
        position = Count();
    }
    if (selection_ >= position) {
        ++selection_;  // the selected row keeps its text
    }
    rows_.insert(rows_.begin() + position, std::move(text));
}

void PrinterListModel::Select(int position) {
    selection_ = (position >= 0 && position < Count()) ? position : kNoSelection;
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
    const std::int32_t result = SearchUSBPrint(g_vecUsbPrinters);
    if (result < 0) {
        return result;
    }
    for (std::size_t i = 0; i < g_vecUsbPrinters.size(); ++i) {
        list.Insert(static_cast<int>(i),
                    std::u16string(platform::FixedView(g_vecUsbPrinters[i].achPrinterName,
                                                       kPrinterNameCapacity)));
    }
    list.Select(0);
    return static_cast<std::int32_t>(g_vecUsbPrinters.size());
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
