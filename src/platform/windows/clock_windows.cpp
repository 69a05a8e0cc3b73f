#include <windows.h>

#include <ctime>

#include "platform/clock.h"

namespace tessel::platform {
namespace {

class WindowsClock final : public Clock {
public:
    std::int64_t NowSeconds() override { return static_cast<std::int64_t>(std::time(nullptr)); }
    std::int64_t NowMs() override { return static_cast<std::int64_t>(GetTickCount64()); }
    void SleepMs(std::uint32_t ms) override { Sleep(ms); }
};

}  // namespace

Clock& SystemClock() {
    static WindowsClock clock;
    return clock;
}

}  // namespace tessel::platform
