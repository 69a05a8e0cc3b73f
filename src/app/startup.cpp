#include "app/startup.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace tessel::app {

TimeScaleChoice ChooseTimeScale(const char* value, bool payloads_are_stand_ins) {
    TimeScaleChoice choice;
    if (value == nullptr || *value == '\0') {
        return choice;
    }
    if (!payloads_are_stand_ins) {
        choice.notice =
            "tessel-cli: TESSEL_TIME_SCALE is ignored: this build carries the maker's payloads, "
            "and a real printer needs its real waits.\n";
        return choice;
    }
    errno = 0;
    char* end = nullptr;
    const double scale = std::strtod(value, &end);
    if (errno != 0 || end == value || *end != '\0' || !std::isfinite(scale) || scale <= 0.0 ||
        scale > 1.0) {
        choice.error = true;
        choice.notice =
            "tessel-cli: TESSEL_TIME_SCALE must be a number above 0 and at most 1 "
            "(for example 0.01), not \"" +
            std::string(value) + "\".\n";
        return choice;
    }
    choice.scale = scale;
    return choice;
}

ScopedTimeScale::ScopedTimeScale(std::optional<double> scale) {
    platform::Services services = platform::Current();
    if (scale) {
        scaled_.emplace(*services.clock, *scale);
        services.clock = &*scaled_;
    }
    installed_.emplace(services);
}

}  // namespace tessel::app
