// A clock for tests: time stands still until a pause or the test advances it, so minutes of
// printer time pass in microseconds.
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/debug_output.h"

namespace tessel::testing {

class VirtualClock final : public platform::Clock {
public:
    explicit VirtualClock(std::int64_t start_seconds = 1'700'000'000);
    std::int64_t NowSeconds() override;
    std::int64_t NowMs() override;
    // Advances the time by `ms` and records the pause.
    void SleepMs(std::uint32_t ms) override;

    void AdvanceMs(std::int64_t ms);
    std::vector<std::uint32_t> sleeps() const;

private:
    mutable std::mutex mutex_;
    std::int64_t now_ms_;
    std::vector<std::uint32_t> sleeps_;
};

class RecordingDebugOutput final : public platform::DebugOutput {
public:
    void Write(std::u16string_view line) override;
    // The lines as UTF-8, in order.
    std::vector<std::string> lines() const;
    std::size_t Count(const std::string& line) const;

private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};

}  // namespace tessel::testing
