// The configuration flags of device instances, the way Windows marks a device for a fresh
// driver installation.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace tessel::platform {

// The device instances under one enumerator. Released on destruction. Each call works on
// the element selected last.
class DeviceInstanceSet {
  public:
    virtual ~DeviceInstanceSet() = default;
    // Makes the element at `index` current; false when the index is past the end.
    virtual bool SelectElement(std::uint32_t index) = 0;
    // The size in bytes of the current element's configuration flags; 0 when unknown.
    virtual std::uint32_t ConfigFlagsSize() = 0;
    // Reads the flags into `buffer` (of the size reported). False when the read fails.
    virtual bool ReadConfigFlags(std::span<std::uint8_t> buffer) = 0;
    // Writes `value` back as the flags. False when the write fails.
    virtual bool WriteConfigFlags(std::span<const std::uint8_t> value) = 0;
};

class DeviceConfigFlags {
  public:
    virtual ~DeviceConfigFlags() = default;
    // Every device instance, present or not, whose instance ID lies under `enumerator` (an
    // enumerator name, optionally followed by a backslash and a device ID). Null when the set
    // cannot be created.
    virtual std::unique_ptr<DeviceInstanceSet> OpenAll(const std::u16string& enumerator) = 0;
};

// Windows: SetupAPI's SPDRP_CONFIGFLAGS. Linux: a device keeps no such flags; the flags read
// as 0 and writing the reinstall bit asks udev to run its rules for the device again.
DeviceConfigFlags& SystemDeviceConfigFlags();

}  // namespace tessel::platform
