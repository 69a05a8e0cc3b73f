// A user-interface thread for the session's tests: a thread of its own runs the posted tasks in
// order, as a window's message loop would, and its one timer counts on a virtual clock (the
// test moves the clock and fires the timer on that thread). Every wait of a test is bounded: a
// wait that runs out means a deadlock, which cannot be unwound, so the process ends with a
// message instead of hanging.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <optional>
#include <thread>

#include "ui/ui_loop.h"
#include "virtual_clock.h"

namespace tessel::ui::testing {

inline constexpr auto kDeadlockBound = std::chrono::seconds(20);

[[noreturn]] inline void Deadlocked(const char* what) {
    std::fprintf(stderr, "deadlock: %s did not finish within the bound\n", what);
    std::fflush(stderr);
    std::_Exit(1);
}

// Waits for `pred`, polling; ends the process when the bound runs out.
template <typename Pred>
void Await(const char* what, Pred pred) {
    const auto until = std::chrono::steady_clock::now() + kDeadlockBound;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > until) {
            Deadlocked(what);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// The result of a call on another thread, awaited within the bound.
template <typename T>
T Within(const char* what, std::future<T>& result) {
    if (result.wait_for(kDeadlockBound) != std::future_status::ready) {
        Deadlocked(what);
    }
    return result.get();
}

class TestUiThread final : public UiLoop {
  public:
    explicit TestUiThread(tessel::testing::VirtualClock& clock)
        : clock_(clock), thread_([this] { Loop(); }) {}
    ~TestUiThread() override {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        posted_.notify_all();
        thread_.join();
    }

    bool IsUiThread() const override { return std::this_thread::get_id() == thread_.get_id(); }
    void Post(std::function<void()> task) override {
        {
            std::lock_guard lock(mutex_);
            tasks_.push_back(std::move(task));
        }
        posted_.notify_all();
    }
    void ArmTimer(std::int64_t real_ms, std::function<void()> fire) override {
        EXPECT_TRUE(IsUiThread());
        std::lock_guard lock(mutex_);
        timer_ = Timer{clock_.NowMs() + real_ms, real_ms, std::move(fire)};
    }
    void DisarmTimer() override {
        EXPECT_TRUE(IsUiThread());
        std::lock_guard lock(mutex_);
        timer_.reset();
    }

    // Runs `fn` on the UI thread and waits for it.
    void Run(const char* what, std::function<void()> fn) {
        std::promise<void> done;
        std::future<void> result = done.get_future();
        Post([&] {
            fn();
            done.set_value();
        });
        Within(what, result);
    }

    // On the UI thread: fires the timer if it is due by the clock. Whether it fired.
    bool FireDueTimer() {
        EXPECT_TRUE(IsUiThread());
        std::function<void()> fire;
        {
            std::lock_guard lock(mutex_);
            if (!timer_ || timer_->due_ms > clock_.NowMs()) {
                return false;
            }
            fire = std::move(timer_->fire);
            timer_.reset();
        }
        fire();
        return true;
    }

    // Advances the clock by `ms` and fires the timer on the UI thread if it is due by then.
    bool Elapse(std::int64_t ms) {
        clock_.AdvanceMs(ms);
        bool fired = false;
        Run("a timer tick", [&] { fired = FireDueTimer(); });
        return fired;
    }

    // The delay the timer was last armed with, while it is armed.
    std::optional<std::int64_t> ArmedDelayMs() const {
        std::lock_guard lock(mutex_);
        return timer_ ? std::optional(timer_->delay_ms) : std::nullopt;
    }

  private:
    struct Timer {
        std::int64_t due_ms;
        std::int64_t delay_ms;
        std::function<void()> fire;
    };

    void Loop() {
        std::unique_lock lock(mutex_);
        for (;;) {
            posted_.wait(lock, [&] { return stop_ || !tasks_.empty(); });
            if (stop_) {
                return;
            }
            std::function<void()> task = std::move(tasks_.front());
            tasks_.pop_front();
            lock.unlock();
            task();
            lock.lock();
        }
    }

    tessel::testing::VirtualClock& clock_;
    mutable std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> tasks_;
    std::optional<Timer> timer_;
    bool stop_ = false;
    std::thread thread_;  // last: starts once the rest is there
};

}  // namespace tessel::ui::testing
