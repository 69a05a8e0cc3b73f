// Time as the tool sees it: calendar seconds for time limits, milliseconds for timers,
// and pauses. Every wait of the tool goes through a Clock, so tests can run minutes of
// printer time on a virtual clock and the demo can run on a compressed one.
#pragma once

#include <cstdint>
#include <memory>

namespace tessel::platform {

class Clock {
public:
    virtual ~Clock() = default;
    // Calendar time in whole seconds (what the time limits of the link are measured in).
    virtual std::int64_t NowSeconds() = 0;
    // Monotonic milliseconds (timers, measurements).
    virtual std::int64_t NowMs() = 0;
    // Blocks the calling thread for `ms` milliseconds of this clock's time.
    virtual void SleepMs(std::uint32_t ms) = 0;
    // How many milliseconds of real time `ms` milliseconds of this clock's time take, rounded
    // up: what a front end's timer, which counts real time, must be set to. The same for a
    // clock that runs at real speed.
    virtual std::int64_t RealDelayMs(std::int64_t ms) { return ms; }
};

// The operating system's clock (time(), a steady clock and a real sleep).
Clock& SystemClock();

// A clock that runs `scale` times as long as its base: with scale 0.01 a pause of 54 s takes
// 540 ms of the base clock and the reported times advance 100 times as fast.
class ScaledClock final : public Clock {
public:
    ScaledClock(Clock& base, double scale);
    std::int64_t NowSeconds() override;
    std::int64_t NowMs() override;
    void SleepMs(std::uint32_t ms) override;
    std::int64_t RealDelayMs(std::int64_t ms) override;
    double scale() const { return scale_; }

private:
    // `ms` of this clock in the base clock's milliseconds, rounded up.
    std::int64_t BaseMs(std::int64_t ms) const;

    Clock& base_;
    double scale_;
    std::int64_t base_start_ms_;
    std::int64_t start_seconds_;
};

}  // namespace tessel::platform
