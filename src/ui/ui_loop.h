// The front end's user-interface thread, as the portable user interface sees it: a way to run
// work on that thread and one timer that fires on it. Each front end implements it over its
// own main loop (Win32: messages posted to the main window and its timer; Qt: queued calls and
// a QTimer; the command line: the main thread pumping a queue while the worker runs).
#pragma once

#include <cstdint>
#include <functional>

namespace tessel::ui {

class UiLoop {
  public:
    virtual ~UiLoop() = default;

    // Whether the calling thread is the user-interface thread.
    virtual bool IsUiThread() const = 0;

    // Runs `task` on the user-interface thread, after the tasks posted before it. Callable from
    // any thread; never runs the task before returning, never blocks on the UI thread.
    virtual void Post(std::function<void()> task) = 0;

    // The loop's one timer: `fire` runs once on the user-interface thread after `real_ms`
    // milliseconds of real time (0: as soon as the loop gets to it). Arming it again replaces
    // what was armed; DisarmTimer cancels it. Both are called on the UI thread only.
    virtual void ArmTimer(std::int64_t real_ms, std::function<void()> fire) = 0;
    virtual void DisarmTimer() = 0;
};

}  // namespace tessel::ui
