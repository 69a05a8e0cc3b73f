// The wait of one device call: its bound is measured on platform::Clk(), and it is spent in
// short slices of real time, so that a compressed clock shortens it too. Used by the device-file
// backends, which block on the OS for one slice at a time.
#pragma once

#include <cstdint>

namespace tessel::platform {

class DeviceWait {
  public:
    // Starts a wait of `limit_ms` now.
    explicit DeviceWait(std::int64_t limit_ms);

    // How many milliseconds of real time to block before looking again: at most a short slice,
    // and 0 once the limit has passed.
    int NextSliceMs() const;

  private:
    std::int64_t limit_ms_;
    std::int64_t clock_start_ms_;
    std::int64_t real_start_ms_;
};

}  // namespace tessel::platform
