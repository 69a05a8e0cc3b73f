#include "app/animation_driver.h"

#include <algorithm>

namespace tessel::app {

AnimationDriver::AnimationDriver(ui::MainDisplayModel& model, platform::Clock& clock)
    : model_(model), clock_(clock), thread_([this] { Loop(); }) {}

AnimationDriver::~AnimationDriver() {
    Stop();
}

void AnimationDriver::Wake() {
    // Taking the lock orders this with the loop's check, so a start is never missed.
    std::lock_guard lock(mutex_);
    wake_.notify_all();
}

void AnimationDriver::Stop() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
        wake_.notify_all();
    }
    if (thread_.joinable()) {
        thread_.join();
    }
}

void AnimationDriver::Loop() {
    std::unique_lock lock(mutex_);
    while (!stop_) {
        const std::optional<std::int64_t> due = model_.NextAnimationTickMs();
        if (!due) {
            wake_.wait(lock, [this] { return stop_ || model_.NextAnimationTickMs().has_value(); });
            continue;
        }
        lock.unlock();
        const std::int64_t wait = *due - clock_.NowMs();
        if (wait > 0) {
            clock_.SleepMs(static_cast<std::uint32_t>(std::min(wait, kMaxSleepMs)));
        }
        // Applies whatever is due by now; a short sleep just means another round.
        model_.AdvanceAnimation();
        lock.lock();
    }
}

}  // namespace tessel::app
