// What each program sets up at start before its front end runs.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "app/support_log.h"
#include "platform/clock.h"
#include "platform/os_version.h"
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

// The start of a run, in the same order for every program, undone in reverse when it ends:
// 1. the clock `scale` names (the current one when it names none);
// 2. the run's log, titled with the carried firmware and `program` ("tessel.exe", "tessel",
//    "tessel-cli upgrade"); no log when `program` is empty;
// 3. the Windows version detection on `os` (the system's own answer by default), whose
//    debugger lines so go to the log too.
class Startup {
  public:
    Startup(std::optional<double> scale, std::string_view program,
            const std::optional<platform::OsVersionRecord>& os = platform::QueryOsVersion());
    // The run's log file; empty when there is none.
    std::filesystem::path log_path() const;

  private:
    ScopedTimeScale clock_;
    std::optional<ScopedSupportLog> log_;
};

}  // namespace tessel::app
