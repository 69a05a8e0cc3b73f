// What each program sets up at start before its front end runs.
#pragma once

#include <optional>
#include <string>

#include "platform/clock.h"
#include "platform/services.h"

namespace tessel::app {

// The compressed clock asked for with TESSEL_TIME_SCALE.
struct TimeScaleChoice {
    std::optional<double> scale;  // a ScaledClock with this scale, or the system clock
    std::string notice;           // for standard error; empty when there is nothing to say
    bool error = false;           // the value is unusable: do nothing
};

// `value` is the variable's value (null when unset). Only builds that carry stand-in
// payloads honour it: with the maker's payloads a real printer needs its real waits.
TimeScaleChoice ChooseTimeScale(const char* value, bool payloads_are_stand_ins);

// The current services with the clock a choice names (the current one when it names none),
// installed for as long as it lives.
class ScopedTimeScale {
  public:
    explicit ScopedTimeScale(std::optional<double> scale);

  private:
    std::optional<platform::ScaledClock> scaled_;
    std::optional<platform::ScopedServices> installed_;
};

}  // namespace tessel::app
