// Device files on Windows: the USB printer interface path that discovery found, opened with
// synchronous I/O, or the named pipe that the printer emulator serves in its place.
#include <windows.h>

#include <string>

#include "platform/device_file.h"
#include "platform/services.h"
#include "platform/stand_in_guard.h"

namespace tessel::platform {
namespace {

class WindowsDeviceFile final : public DeviceFile {
  public:
    WindowsDeviceFile(HANDLE handle, bool real_printer)
        : handle_(handle), real_printer_(real_printer) {}
    ~WindowsDeviceFile() override { CloseHandle(handle_); }

    std::int32_t Write(const std::uint8_t* data, std::uint32_t count) override {
        if (RefuseStandInPayload(real_printer_, {data, count})) {
            return -1;
        }
        DWORD written = 0;
        if (!WriteFile(handle_, data, count, &written, nullptr)) {
            return -1;
        }
        return static_cast<std::int32_t>(written);
    }

    std::int32_t Read(std::uint8_t* buffer, std::uint32_t count) override {
        DWORD read = 0;
        if (!ReadFile(handle_, buffer, count, &read, nullptr)) {
            return -1;
        }
        return static_cast<std::int32_t>(read);
    }

  private:
    HANDLE handle_;
    bool real_printer_;
};

bool IsEmulatorPipe(const std::wstring& path) {
    static const std::wstring prefix = L"\\\\.\\pipe\\";
    return path.size() > prefix.size() &&
           CompareStringOrdinal(path.c_str(), static_cast<int>(prefix.size()), prefix.c_str(),
                                static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL;
}

class WindowsDeviceFiles final : public DeviceFiles {
  public:
    std::unique_ptr<DeviceFile> Open(const std::u16string& path) override {
        const std::wstring wide(path.begin(), path.end());
        HANDLE handle = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            return nullptr;
        }
        return std::make_unique<WindowsDeviceFile>(handle, !IsEmulatorPipe(wide));
    }
};

}  // namespace

DeviceFiles& SystemDeviceFiles() {
    static WindowsDeviceFiles files;
    return files;
}

}  // namespace tessel::platform
