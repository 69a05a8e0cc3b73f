// The operating-system services that the portable logic uses, installed once per process
// (the front end installs the system's, a test installs fakes). Read-only while a worker runs.
#pragma once

#include "platform/clock.h"
#include "platform/debug_output.h"
#include "platform/device_file.h"

namespace tessel::platform {

class UsbPrinterInterfaces;  // discovery: present USB printer interfaces
class PrintSpooler;          // discovery: print queues and their jobs
class DeviceConfigFlags;     // discovery: the reinstall flag of device instances
class Power;                 // the upgrade: keeping the machine awake

struct Services {
    Clock* clock = nullptr;
    DebugOutput* debug = nullptr;
    DeviceFiles* devices = nullptr;
    UsbPrinterInterfaces* usb = nullptr;
    PrintSpooler* spooler = nullptr;
    DeviceConfigFlags* flags = nullptr;
    Power* power = nullptr;  // none: nobody is asked to keep the machine awake
};

// The installed services. Before anything is installed, all of them are the system's.
Services& Current();

// Installs `services` for the life of this object and restores the previous ones after.
class ScopedServices {
public:
    explicit ScopedServices(const Services& services);
    ~ScopedServices();
    ScopedServices(const ScopedServices&) = delete;
    ScopedServices& operator=(const ScopedServices&) = delete;

private:
    Services previous_;
};

// Shorthands for the common ones.
inline Clock& Clk() { return *Current().clock; }
inline void Debug(std::u16string_view line) { Current().debug->Write(line); }

}  // namespace tessel::platform
