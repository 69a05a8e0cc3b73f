#include <chrono>
#include <ctime>
#include <thread>

#include "platform/clock.h"

namespace tessel::platform {
namespace {

class LinuxClock final : public Clock {
public:
    std::int64_t NowSeconds() override { return static_cast<std::int64_t>(std::time(nullptr)); }
    std::int64_t NowMs() override {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    void SleepMs(std::uint32_t ms) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
};

}  // namespace

Clock& SystemClock() {
    static LinuxClock clock;
    return clock;
}

}  // namespace tessel::platform
