// USB printer interfaces on Windows: the device installation services (SetupAPI) for the
// present interfaces of the USB printer class, the registry for their stored port numbers.
// The size fields of the SetupAPI records are set with sizeof, which is right for the
// build's own pointer size.
#include <windows.h>
// SetupAPI needs the Windows types first.
#include <setupapi.h>

#include <algorithm>
#include <cstddef>
#include <new>

#include "platform/usb_names.h"
#include "platform/usb_printer_interfaces.h"
#include "platform/windows/device_parameters_key.h"

namespace tessel::platform {
namespace {

// GUID_DEVINTERFACE_USBPRINT {28D78FAD-5A12-11D1-AE5B-0000F803A8C2}
const GUID kUsbPrintInterfaceClass = {
    0x28D78FAD, 0x5A12, 0x11D1, {0xAE, 0x5B, 0x00, 0x00, 0xF8, 0x03, 0xA8, 0xC2}};

constexpr DWORD kInstanceIdCapacity = 512;

// The interface class GUID as Windows formats it into registry paths.
constexpr std::u16string_view kUsbPrintClassGuidText = u"{28D78FAD-5A12-11D1-AE5B-0000F803A8C2}";
constexpr std::size_t kKeyNameCapacity = 1024;

std::wstring Wide(const std::u16string& s) {
    return std::wstring(s.begin(), s.end());
}
std::u16string Narrowed(const wchar_t* s, std::size_t n) {
    return std::u16string(s, s + n);
}

}  // namespace

std::u16string DeviceParametersKeyName(std::u16string_view device_path) {
    const std::u16string converted = ConvertedDevicePath(device_path);
    std::u16string key = u"SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\";
    key.append(kUsbPrintClassGuidText);
    key.append(u"\\");
    key.append(converted);
    key.append(u"\\#\\Device Parameters");
    key.resize(std::min(key.size(), kKeyNameCapacity - 1));
    return key;
}

namespace {

class RegistryParameters final : public DeviceParameters {
  public:
    // A null key stands for a key that does not exist.
    explicit RegistryParameters(HKEY key) : key_(key) {}
    ~RegistryParameters() override {
        if (key_ != nullptr) {
            RegCloseKey(key_);
        }
    }

    PortValue ReadPort() override {
        DWORD number = 0;
        DWORD size = sizeof number;
        PortValue port;
        if (key_ != nullptr &&
            RegQueryValueExW(key_, L"Port Number", nullptr, nullptr,
                             reinterpret_cast<BYTE*>(&number), &size) == ERROR_SUCCESS) {
            port.kind = PortValue::Kind::kNumber;
            port.number = number;
        }
        return port;
    }

  private:
    HKEY key_;
};

class SetupApiInterfaceSet final : public UsbPrinterInterfaceSet {
  public:
    explicit SetupApiInterfaceSet(HDEVINFO set) : set_(set) {}
    ~SetupApiInterfaceSet() override { SetupDiDestroyDeviceInfoList(set_); }

    bool SelectElement(std::uint32_t index) override {
        element_ = {};
        element_.cbSize = sizeof element_;
        return SetupDiEnumDeviceInfo(set_, index, &element_) != FALSE;
    }

    std::optional<std::u16string> InstanceId() override {
        wchar_t buffer[kInstanceIdCapacity] = {};
        if (!SetupDiGetDeviceInstanceIdW(set_, &element_, buffer, kInstanceIdCapacity, nullptr)) {
            return std::nullopt;
        }
        return Narrowed(buffer, wcsnlen(buffer, kInstanceIdCapacity));
    }

    bool SelectFirstInterface() override {
        interface_ = {};
        interface_.cbSize = sizeof interface_;
        return SetupDiEnumDeviceInterfaces(set_, &element_, &kUsbPrintInterfaceClass, 0,
                                           &interface_) != FALSE;
    }

    std::optional<std::uint32_t> InterfaceDetailSize() override {
        DWORD needed = 0;
        if (SetupDiGetDeviceInterfaceDetailW(set_, &interface_, nullptr, 0, &needed, nullptr) ||
            GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
            return needed;
        }
        return std::nullopt;
    }

    std::optional<InterfaceDetail> ReadInterfaceDetail(std::uint32_t size) override {
        constexpr std::size_t kPathOffset = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath);
        // Storage too small for the size field and one character is never written to.
        if (size < kPathOffset + sizeof(WCHAR) ||
            size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) {
            return std::nullopt;
        }
        std::unique_ptr<std::byte[]> storage(new (std::nothrow) std::byte[size]());
        if (!storage) {
            return std::nullopt;
        }
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.get());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        if (!SetupDiGetDeviceInterfaceDetailW(set_, &interface_, detail, size, nullptr, nullptr)) {
            return std::nullopt;
        }
        const std::size_t max_chars = (size - kPathOffset) / sizeof(WCHAR);
        InterfaceDetail result;
        result.device_path = Narrowed(detail->DevicePath, wcsnlen(detail->DevicePath, max_chars));
        return result;
    }

    std::u16string DeviceParametersName(const std::u16string& device_path) override {
        return DeviceParametersKeyName(device_path);
    }

    // Only reads: discovery works without administrator rights and never changes the
    // registry. A key that is not there holds no port.
    std::unique_ptr<DeviceParameters> OpenDeviceParameters(
        const std::u16string& key_name) override {
        HKEY key = nullptr;
        const LSTATUS status =
            RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(key_name).c_str(), 0, KEY_QUERY_VALUE, &key);
        if (status == ERROR_FILE_NOT_FOUND) {
            return std::make_unique<RegistryParameters>(nullptr);
        }
        if (status != ERROR_SUCCESS) {
            return nullptr;
        }
        return std::make_unique<RegistryParameters>(key);
    }

  private:
    HDEVINFO set_;
    SP_DEVINFO_DATA element_{};
    SP_DEVICE_INTERFACE_DATA interface_{};
};

class SetupApiUsbPrinterInterfaces final : public UsbPrinterInterfaces {
  public:
    std::unique_ptr<UsbPrinterInterfaceSet> OpenPresent() override {
        HDEVINFO set = SetupDiGetClassDevsW(&kUsbPrintInterfaceClass, nullptr, nullptr,
                                            DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
        if (set == INVALID_HANDLE_VALUE) {
            return nullptr;
        }
        return std::make_unique<SetupApiInterfaceSet>(set);
    }

    // Windows shows a printer without a working driver in Device Manager; the tool's Windows
    // front end has no use for this view.
    std::vector<UsbBusDevice> DevicesOnBus() override { return {}; }
};

}  // namespace

UsbPrinterInterfaces& SystemUsbPrinterInterfaces() {
    static SetupApiUsbPrinterInterfaces interfaces;
    return interfaces;
}

}  // namespace tessel::platform
