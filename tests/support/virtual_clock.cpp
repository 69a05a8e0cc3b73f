#include "virtual_clock.h"

#include <algorithm>

#include "platform/text.h"

namespace tessel::testing {

VirtualClock::VirtualClock(std::int64_t start_seconds) : now_ms_(start_seconds * 1000) {}

std::int64_t VirtualClock::NowSeconds() {
    std::lock_guard lock(mutex_);
    return now_ms_ / 1000;
}

std::int64_t VirtualClock::NowMs() {
    std::lock_guard lock(mutex_);
    return now_ms_;
}

void VirtualClock::SleepMs(std::uint32_t ms) {
    std::lock_guard lock(mutex_);
    now_ms_ += ms;
    sleeps_.push_back(ms);
}

void VirtualClock::AdvanceMs(std::int64_t ms) {
    std::lock_guard lock(mutex_);
    now_ms_ += ms;
}

std::vector<std::uint32_t> VirtualClock::sleeps() const {
    std::lock_guard lock(mutex_);
    return sleeps_;
}

void RecordingDebugOutput::Write(std::u16string_view line) {
    std::lock_guard lock(mutex_);
    lines_.push_back(platform::Utf16ToUtf8(line));
}

std::vector<std::string> RecordingDebugOutput::lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

std::size_t RecordingDebugOutput::Count(const std::string& line) const {
    std::lock_guard lock(mutex_);
    return static_cast<std::size_t>(std::count(lines_.begin(), lines_.end(), line));
}

}  // namespace tessel::testing
