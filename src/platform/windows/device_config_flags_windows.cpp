// Device configuration flags on Windows: SPDRP_CONFIGFLAGS of every device instance, present
// or not, under an enumerator.
#include <windows.h>
// SetupAPI needs the Windows types first.
#include <setupapi.h>

#include "platform/device_config_flags.h"

namespace tessel::platform {
namespace {

class SetupApiInstanceSet final : public DeviceInstanceSet {
  public:
    explicit SetupApiInstanceSet(HDEVINFO set) : set_(set) {}
    ~SetupApiInstanceSet() override { SetupDiDestroyDeviceInfoList(set_); }

    bool SelectElement(std::uint32_t index) override {
        element_ = {};
        element_.cbSize = sizeof element_;
        return SetupDiEnumDeviceInfo(set_, index, &element_) != FALSE;
    }

    std::uint32_t ConfigFlagsSize() override {
        DWORD size = 0;
        // Fails with ERROR_INSUFFICIENT_BUFFER by design; only the size matters.
        SetupDiGetDeviceRegistryPropertyW(set_, &element_, SPDRP_CONFIGFLAGS, nullptr, nullptr, 0,
                                          &size);
        return size;
    }

    bool ReadConfigFlags(std::span<std::uint8_t> buffer) override {
        return SetupDiGetDeviceRegistryPropertyW(set_, &element_, SPDRP_CONFIGFLAGS, nullptr,
                                                 buffer.data(), static_cast<DWORD>(buffer.size()),
                                                 nullptr) != FALSE;
    }

    bool WriteConfigFlags(std::span<const std::uint8_t> value) override {
        return SetupDiSetDeviceRegistryPropertyW(set_, &element_, SPDRP_CONFIGFLAGS, value.data(),
                                                 static_cast<DWORD>(value.size())) != FALSE;
    }

  private:
    HDEVINFO set_;
    SP_DEVINFO_DATA element_{};
};

class SetupApiDeviceConfigFlags final : public DeviceConfigFlags {
  public:
    std::unique_ptr<DeviceInstanceSet> OpenAll(const std::u16string& enumerator) override {
        const std::wstring wide(enumerator.begin(), enumerator.end());
        HDEVINFO set = SetupDiGetClassDevsW(nullptr, wide.c_str(), nullptr, DIGCF_ALLCLASSES);
        if (set == INVALID_HANDLE_VALUE) {
            return nullptr;
        }
        return std::make_unique<SetupApiInstanceSet>(set);
    }
};

}  // namespace

DeviceConfigFlags& SystemDeviceConfigFlags() {
    static SetupApiDeviceConfigFlags flags;
    return flags;
}

}  // namespace tessel::platform
