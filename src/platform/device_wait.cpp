#include "platform/device_wait.h"

#include <algorithm>

#include "platform/services.h"

namespace tessel::platform {

DeviceWait::DeviceWait(std::int64_t limit_ms)
    : limit_ms_(limit_ms), clock_start_ms_(Clk().NowMs()), real_start_ms_(SystemClock().NowMs()) {}

int DeviceWait::NextSliceMs() const {
    // The clock runs at least as fast as real time, so the limit in real time never ends a wait
    // early; it only ends one on a test's clock that stands still.
    const std::int64_t elapsed =
        std::max(Clk().NowMs() - clock_start_ms_, SystemClock().NowMs() - real_start_ms_);
    return static_cast<int>(std::clamp<std::int64_t>(limit_ms_ - elapsed, 0, kSliceMs));
}

}  // namespace tessel::platform
