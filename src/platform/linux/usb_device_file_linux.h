// The printer's device file through its USB device node (/dev/bus/usb/BBB/DDD) and libusb, for
// a printer that no kernel driver holds. The same contract as every device file
// (platform/device_file.h); LinuxDeviceFiles hands it the paths that name a USB device node.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/device_file.h"

namespace tessel::platform {

struct UsbDeviceNode {
    unsigned bus = 0;
    unsigned address = 0;
};

// The bus and device numbers of a path ".../bus/usb/BBB/DDD" (three digits each), or nothing
// for any other path.
std::optional<UsbDeviceNode> UsbDeviceNodeOf(const std::string& path);

// Opens the printer at `node` (`path` names its node) and claims its printer interface; sets
// `failure` as the system gave it. `every_file_could_be_printer`: the stand-in guard takes any
// node for a printer, not only a real character device.
std::unique_ptr<DeviceFile> OpenUsbDeviceFile(const std::string& path, UsbDeviceNode node,
                                              bool every_file_could_be_printer,
                                              OpenFailure& failure);

}  // namespace tessel::platform
