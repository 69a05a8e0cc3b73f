// After an upgrade the printer is to get its driver anew: its USB device instances are
// marked for driver reinstallation.
#pragma once

#include <string_view>

namespace tessel::discovery {

// The reinstall flag, bit 0x20 of a device's configuration flags.
inline constexpr unsigned kConfigFlagReinstall = 0x20;

// Sets the reinstall flag on every device instance, present or not, under `enumerator` (an
// enumerator name, optionally followed by a backslash and a device ID), keeping all other
// flag bits. True when every instance got it, and when there is none; false at the first
// instance whose flags cannot be sized, read or written (flags written before stay written)
// and when the set cannot be made. An empty enumerator would select every device of the
// machine: it flags nothing and gives false.
bool SetUSBDeviceReinstall(std::u16string_view enumerator);

// The debugger line of a flag write the system refused: it needs administrator rights (root
// on Linux), which the tool does not ask for.
inline constexpr std::u16string_view kReinstallWriteFailedLine =
    u"SetUSBDeviceReinstall(): the flags could not be written (needs administrator rights)";

}  // namespace tessel::discovery
