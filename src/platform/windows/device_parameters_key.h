// Where Windows keeps the stored parameters of a USB printer interface.
#pragma once

#include <string>
#include <string_view>

namespace tessel::platform {

// The registry path (under HKEY_LOCAL_MACHINE) of an interface's "Device Parameters": the
// device path cut to 259 characters with every backslash turned into "#", placed in
// SYSTEM\CurrentControlSet\Control\DeviceClasses\{class}\<path>\#\Device Parameters and the
// whole cut to 1023 characters.
std::u16string DeviceParametersKeyName(std::u16string_view device_path);

}  // namespace tessel::platform
