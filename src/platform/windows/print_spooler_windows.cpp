// Print queues on Windows: the local and connected printers of the spooler, level 2.
#include <windows.h>
#include <winspool.h>

#include <memory>
#include <new>

#include "platform/print_spooler.h"

namespace tessel::platform {
namespace {

class WinspoolPrintSpooler final : public PrintSpooler {
  public:
    std::optional<std::vector<PrintQueue>> Queues() override {
        constexpr DWORD kFlags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
        DWORD needed = 0;
        DWORD returned = 0;
        if (EnumPrintersW(kFlags, nullptr, 2, nullptr, 0, &needed, &returned)) {
            return std::vector<PrintQueue>{};  // nothing to enumerate
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed == 0) {
            return std::nullopt;
        }
        std::unique_ptr<BYTE[]> buffer(new (std::nothrow) BYTE[needed]);
        if (!buffer) {
            return std::nullopt;
        }
        if (!EnumPrintersW(kFlags, nullptr, 2, buffer.get(), needed, &needed, &returned)) {
            return std::nullopt;
        }
        const auto* records = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.get());
        std::vector<PrintQueue> queues;
        queues.reserve(returned);
        for (DWORD i = 0; i < returned; ++i) {
            const wchar_t* port = records[i].pPortName ? records[i].pPortName : L"";
            queues.push_back(
                PrintQueue{std::u16string(port, port + wcslen(port)), records[i].cJobs});
        }
        return queues;
    }
};

}  // namespace

PrintSpooler& SystemPrintSpooler() {
    static WinspoolPrintSpooler spooler;
    return spooler;
}

}  // namespace tessel::platform
