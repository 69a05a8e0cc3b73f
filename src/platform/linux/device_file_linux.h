// The Linux device files, for the code that needs more than SystemDeviceFiles(): tests that
// want the stand-in guard to act on the emulator's pseudo-terminal.
#pragma once

#include <memory>

#include "platform/device_file.h"

namespace tessel::platform {

// Which opened files the stand-in guard treats as devices that could be a printer.
enum class PrinterGuess {
    // Character devices other than pseudo-terminals (what SystemDeviceFiles() does).
    kCharacterDevices,
    // Every file, the emulator's pseudo-terminal included.
    kEveryFile,
};

std::unique_ptr<DeviceFiles> MakeLinuxDeviceFiles(PrinterGuess guess);

// The system's reason for a failed open (an errno value), in the tool's terms: for both Linux
// device files, the usblp node's and the USB device node's.
OpenFailure OpenFailureFromErrno(int error);

}  // namespace tessel::platform
