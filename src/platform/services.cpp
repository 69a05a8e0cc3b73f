#include "platform/services.h"

namespace tessel::platform {

Services& Current() {
    static Services services{&SystemClock(), &SystemDebugOutput(), &SystemDeviceFiles(),
                             nullptr,        nullptr,              nullptr};
    return services;
}

ScopedServices::ScopedServices(const Services& services) : previous_(Current()) {
    Current() = services;
}

ScopedServices::~ScopedServices() { Current() = previous_; }

}  // namespace tessel::platform
