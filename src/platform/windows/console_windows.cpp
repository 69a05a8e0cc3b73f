#include <windows.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string>

#include "platform/console.h"
#include "platform/text.h"

namespace tessel::platform {
namespace {

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

// A console gets the text as UTF-16 (whatever its code page); a file or pipe gets UTF-8.
void WriteTo(HANDLE handle, std::string_view utf8) {
    if (IsConsole(handle)) {
        const std::u16string wide = Utf8ToUtf16(utf8);
        std::size_t done = 0;
        while (done < wide.size()) {
            DWORD written = 0;
            const auto chunk = static_cast<DWORD>(std::min<std::size_t>(wide.size() - done, 4096));
            if (!WriteConsoleW(handle, wide.data() + done, chunk, &written, nullptr) ||
                written == 0) {
                return;
            }
            done += written;
        }
        return;
    }
    while (!utf8.empty()) {
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(utf8.size(), 1u << 20));
        if (!WriteFile(handle, utf8.data(), chunk, &written, nullptr) || written == 0) {
            return;
        }
        utf8.remove_prefix(written);
    }
}

std::function<void()>* g_handler = nullptr;

BOOL WINAPI OnControlEvent(DWORD) {
    if (g_handler != nullptr) {
        (*g_handler)();
    }
    // Handled: the process goes on. (A closing console window ends it anyway once this
    // returns; nothing can refuse that.)
    return TRUE;
}

class WindowsConsole final : public Console {
  public:
    bool OutputIsTerminal() override { return IsConsole(GetStdHandle(STD_OUTPUT_HANDLE)); }
    bool InputIsTerminal() override { return IsConsole(GetStdHandle(STD_INPUT_HANDLE)); }

    void Write(std::string_view utf8) override {
        std::lock_guard lock(mutex_);
        WriteTo(GetStdHandle(STD_OUTPUT_HANDLE), utf8);
    }
    void WriteError(std::string_view utf8) override {
        std::lock_guard lock(mutex_);
        WriteTo(GetStdHandle(STD_ERROR_HANDLE), utf8);
    }

    std::optional<std::string> ReadLine() override {
        if (cancel_pending_.exchange(false)) {
            return std::nullopt;
        }
        const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
        std::string line;
        if (IsConsole(input)) {
            // Ctrl+C ends a console read with nothing read.
            wchar_t buffer[512];
            DWORD read = 0;
            if (!ReadConsoleW(input, buffer, 511, &read, nullptr) || read == 0) {
                return std::nullopt;
            }
            line = Utf16ToUtf8(std::u16string(buffer, buffer + read));
        } else {
            for (;;) {
                char c = 0;
                DWORD read = 0;
                if (!ReadFile(input, &c, 1, &read, nullptr) || read == 0) {
                    return std::nullopt;
                }
                if (c == '\n') {
                    break;
                }
                line.push_back(c);
            }
        }
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
            line.pop_back();
        }
        if (cancel_pending_.exchange(false)) {
            return std::nullopt;
        }
        return line;
    }

    // Ctrl+C itself ends a console read; the flag covers the moment before the read began.
    void CancelRead() override { cancel_pending_ = true; }

    void TakeInterrupts(std::function<void()> handler) override {
        handler_ = std::move(handler);
        g_handler = &handler_;
        SetConsoleCtrlHandler(OnControlEvent, TRUE);
    }

  private:
    std::mutex mutex_;
    std::function<void()> handler_;
    std::atomic<bool> cancel_pending_{false};
};

}  // namespace

Console& SystemConsole() {
    static WindowsConsole* console = new WindowsConsole;  // control events use it until exit
    return *console;
}

}  // namespace tessel::platform
