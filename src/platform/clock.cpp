#include "platform/clock.h"

#include <cmath>

namespace tessel::platform {

ScaledClock::ScaledClock(Clock& base, double scale)
    : base_(base),
      scale_(scale > 0 ? scale : 1.0),
      base_start_ms_(base.NowMs()),
      start_seconds_(base.NowSeconds()) {}

std::int64_t ScaledClock::NowMs() {
    const auto elapsed = static_cast<double>(base_.NowMs() - base_start_ms_);
    return base_start_ms_ + static_cast<std::int64_t>(std::floor(elapsed / scale_));
}

std::int64_t ScaledClock::NowSeconds() {
    const auto elapsed = static_cast<double>(base_.NowMs() - base_start_ms_);
    return start_seconds_ + static_cast<std::int64_t>(std::floor(elapsed / scale_ / 1000.0));
}

void ScaledClock::SleepMs(std::uint32_t ms) {
    base_.SleepMs(static_cast<std::uint32_t>(BaseMs(ms)));
}

std::int64_t ScaledClock::RealDelayMs(std::int64_t ms) {
    return base_.RealDelayMs(BaseMs(ms));
}

std::int64_t ScaledClock::BaseMs(std::int64_t ms) const {
    return ms <= 0 ? 0 : static_cast<std::int64_t>(std::ceil(static_cast<double>(ms) * scale_));
}

}  // namespace tessel::platform
