// Drives the main display's progress animation from a thread of its own: it sleeps on the
// clock until the next tick is due and lets the model apply it. A front end without a timer
// of its own (the command line) uses it.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/clock.h"
#include "ui/main_display_model.h"

namespace tessel::app {

class AnimationDriver {
  public:
    // Longest single sleep, in the clock's milliseconds: how long Stop() may have to wait.
    static constexpr std::int64_t kMaxSleepMs = 500;

    AnimationDriver(ui::MainDisplayModel& model, platform::Clock& clock);
    ~AnimationDriver();  // Stop()
    AnimationDriver(const AnimationDriver&) = delete;
    AnimationDriver& operator=(const AnimationDriver&) = delete;

    // Call after every change of the model (from its change listener): an animation that was
    // just started is picked up at once.
    void Wake();
    // Ends the thread; idempotent.
    void Stop();

  private:
    void Loop();

    ui::MainDisplayModel& model_;
    platform::Clock& clock_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace tessel::app
