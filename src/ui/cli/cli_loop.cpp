#include "ui/cli/cli_loop.h"

#include <utility>

namespace tessel::ui::cli {

CliLoop::CliLoop() : ui_thread_(std::this_thread::get_id()) {}

bool CliLoop::IsUiThread() const {
    return std::this_thread::get_id() == ui_thread_;
}

void CliLoop::Post(std::function<void()> task) {
    {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    posted_.notify_one();
}

void CliLoop::ArmTimer(std::int64_t real_ms, std::function<void()> fire) {
    std::lock_guard lock(mutex_);
    timer_ = Timer{Steady::now() + std::chrono::milliseconds(real_ms), std::move(fire)};
}

void CliLoop::DisarmTimer() {
    std::lock_guard lock(mutex_);
    timer_.reset();
}

void CliLoop::RunUntil(const std::function<bool()>& done) {
    while (!done()) {
        std::function<void()> work;
        {
            std::unique_lock lock(mutex_);
            for (;;) {
                if (!tasks_.empty()) {
                    work = std::move(tasks_.front());
                    tasks_.pop_front();
                    break;
                }
                if (timer_ && Steady::now() >= timer_->due) {
                    work = std::move(timer_->fire);
                    timer_.reset();
                    break;
                }
                // The timer is the loop's own: it is armed and disarmed only on this thread,
                // so it cannot change while the loop waits here.
                if (timer_) {
                    posted_.wait_until(lock, timer_->due);
                } else {
                    posted_.wait(lock);
                }
            }
        }
        work();  // with no lock held: a task may post, arm or disarm
    }
}

}  // namespace tessel::ui::cli
