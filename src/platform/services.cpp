#include "platform/services.h"

#include "platform/device_config_flags.h"
#include "platform/power.h"
#include "platform/print_spooler.h"
#include "platform/usb_printer_interfaces.h"

namespace tessel::platform {

Services& Current() {
    static Services services{&SystemClock(),        &SystemDebugOutput(),
                             &SystemDeviceFiles(),  &SystemUsbPrinterInterfaces(),
                             &SystemPrintSpooler(), &SystemDeviceConfigFlags(),
                             &SystemPower()};
    return services;
}

ScopedServices::ScopedServices(const Services& services) : previous_(Current()) {
    Current() = services;
}

ScopedServices::~ScopedServices() { Current() = previous_; }

}  // namespace tessel::platform
