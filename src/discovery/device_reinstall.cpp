#include "discovery/device_reinstall.h"

#include <new>
#include <string>
#include <vector>

#include "platform/device_config_flags.h"
#include "platform/services.h"

namespace tessel::discovery {

bool SetUSBDeviceReinstall(std::u16string_view enumerator) {
    platform::DeviceConfigFlags* flags = platform::Current().flags;
    if (enumerator.empty() || !flags) {
        return false;
    }
    std::unique_ptr<platform::DeviceInstanceSet> set = flags->OpenAll(std::u16string(enumerator));
    if (!set) {
        return false;
    }
    for (std::uint32_t index = 0; set->SelectElement(index); ++index) {
        const std::uint32_t size = set->ConfigFlagsSize();
        if (size == 0) {
            return false;
        }
        std::vector<std::uint8_t> value;
        try {
            value.resize(size);
        } catch (const std::bad_alloc&) {
            return false;
        }
        if (!set->ReadConfigFlags(value)) {
            return false;
        }
        value[0] |= kConfigFlagReinstall;  // the lowest byte of the little-endian value
        if (!set->WriteConfigFlags(value)) {
            // Nothing the user could act on mid-upgrade: the step is left out quietly.
            platform::Debug(kReinstallWriteFailedLine);
            return false;
        }
    }
    return true;
}

}  // namespace tessel::discovery
