// The command line's user-interface thread: the thread that made the loop (the main thread)
// runs the posted tasks and the timer while it waits for the upgrade to end.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "ui/ui_loop.h"

namespace tessel::ui::cli {

class CliLoop final : public ui::UiLoop {
  public:
    CliLoop();

    // Runs tasks and the timer on the calling thread, which must be the loop's, until `done`
    // holds; `done` is asked before waiting and after every task and timer.
    void RunUntil(const std::function<bool()>& done);

    // ui::UiLoop
    bool IsUiThread() const override;
    void Post(std::function<void()> task) override;
    void ArmTimer(std::int64_t real_ms, std::function<void()> fire) override;
    void DisarmTimer() override;

  private:
    using Steady = std::chrono::steady_clock;
    struct Timer {
        Steady::time_point due;
        std::function<void()> fire;
    };

    const std::thread::id ui_thread_;
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> tasks_;
    std::optional<Timer> timer_;
};

}  // namespace tessel::ui::cli
