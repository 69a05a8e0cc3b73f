// The wait of one device call: its bound is measured on platform::Clk(), and it is spent in
// short slices of real time, so that a compressed clock shortens it too. Used by the device-file
// backends, which block on the OS for one slice at a time.
#pragma once

#include <cstdint>

namespace tessel::platform {

class DeviceWait {
  public:
    // The longest a device call blocks, in real time, before it looks at the clock again. Short
    // enough that a clock compressed a hundredfold overshoots a bound by at most a second of its
    // time; long enough that waiting costs next to nothing.
    static constexpr int kSliceMs = 10;

    // Starts a wait of `limit_ms` now.
    explicit DeviceWait(std::int64_t limit_ms);

    // How many milliseconds of real time to block before looking again: at most kSliceMs, and 0
    // once the limit has passed.
    int NextSliceMs() const;
    bool Over() const { return NextSliceMs() == 0; }

  private:
    std::int64_t limit_ms_;
    std::int64_t clock_start_ms_;
    std::int64_t real_start_ms_;
};

}  // namespace tessel::platform
