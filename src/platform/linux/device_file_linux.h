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

}  // namespace tessel::platform
