// Device files on Windows: the USB printer interface path that discovery found, or the named
// pipe that stands in for a printer in tests.
//
// The handle is opened for overlapped I/O: every read and write is started, waited for in the
// slices of a DeviceWait, and cancelled when its bound has passed. A cancelled operation is
// still waited for until it has finished, since the system may use the caller's buffer until
// then; its result is what it moved before the cancel.
#include <windows.h>

#include <string>

#include "platform/device_file.h"
#include "platform/device_wait.h"
#include "platform/services.h"

namespace tessel::platform {
namespace {

// Only a pipe is known not to be a printer (the stand-in printers of tests are named pipes); a
// printer interface reports an unknown or character type, and any other type may be one too.
bool CouldBePrinter(HANDLE handle) {
    return GetFileType(handle) != FILE_TYPE_PIPE;
}

class WindowsDeviceFile final : public DeviceFile {
  public:
    WindowsDeviceFile(HANDLE handle, HANDLE event, bool could_be_printer)
        : handle_(handle), event_(event), could_be_printer_(could_be_printer) {}
    ~WindowsDeviceFile() override {
        CloseHandle(handle_);
        CloseHandle(event_);
    }
    WindowsDeviceFile(const WindowsDeviceFile&) = delete;
    WindowsDeviceFile& operator=(const WindowsDeviceFile&) = delete;

    std::int32_t Write(const std::uint8_t* data, std::uint32_t count) override {
        if (cut_off_) {
            return -1;
        }
        const Result result =
            Transfer([&](OVERLAPPED& o) { return WriteFile(handle_, data, count, nullptr, &o); },
                     kDeviceWriteWaitMs);
        cut_off_ = result.cancelled && result.moved != static_cast<std::int32_t>(count);
        return result.moved;
    }

    bool CouldBePrinter() const override { return could_be_printer_; }

    std::int32_t Read(std::uint8_t* buffer, std::uint32_t count) override {
        return Transfer(
                   [&](OVERLAPPED& o) { return ReadFile(handle_, buffer, count, nullptr, &o); },
                   kDeviceReadWaitMs)
            .moved;
    }

  private:
    struct Result {
        std::int32_t moved;  // bytes moved, or -1 when the operation failed
        bool cancelled;      // whether it ran into its bound
    };

    // Starts one operation with `start` and waits for it at most `limit_ms`.
    template <class Start>
    Result Transfer(const Start& start, std::int64_t limit_ms) {
        OVERLAPPED o{};
        o.hEvent = event_;
        ResetEvent(event_);
        if (!start(o) && GetLastError() != ERROR_IO_PENDING) {
            return {-1, false};
        }
        const DeviceWait wait(limit_ms);
        bool done = false;
        for (int slice = wait.NextSliceMs(); slice > 0 && !done; slice = wait.NextSliceMs()) {
            const DWORD waited = WaitForSingleObject(event_, static_cast<DWORD>(slice));
            done = waited == WAIT_OBJECT_0;
            if (waited != WAIT_OBJECT_0 && waited != WAIT_TIMEOUT) {
                break;
            }
        }
        if (!done) {
            CancelIoEx(handle_, &o);
        }
        DWORD moved = 0;
        if (!GetOverlappedResult(handle_, &o, &moved, TRUE) &&
            GetLastError() != ERROR_OPERATION_ABORTED) {
            return {-1, !done};
        }
        return {static_cast<std::int32_t>(moved), !done};
    }

    HANDLE handle_;
    HANDLE event_;  // manual reset: signalled when the operation under way has finished
    bool could_be_printer_;
    // A write was cancelled at its bound. The device may still hold part of it, so no later write
    // can know where to go on: they all fail.
    bool cut_off_ = false;
};

class WindowsDeviceFiles final : public DeviceFiles {
  public:
    std::unique_ptr<DeviceFile> Open(const std::u16string& path) override {
        const std::wstring wide(path.begin(), path.end());
        HANDLE handle = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            return nullptr;
        }
        HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        if (event == nullptr) {
            CloseHandle(handle);
            return nullptr;
        }
        return std::make_unique<WindowsDeviceFile>(handle, event, CouldBePrinter(handle));
    }
};

}  // namespace

DeviceFiles& SystemDeviceFiles() {
    static WindowsDeviceFiles files;
    return files;
}

}  // namespace tessel::platform
