// The session's UI loop over a dialog's message loop: posted tasks wait in a queue and a private
// message to the dialog runs them; the one timer is a window timer of the dialog. The dialog
// hands its messages to HandleMessage.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>

#include "ui/ui_loop.h"

namespace tessel::ui::win32 {

class Win32UiLoop final : public UiLoop {
  public:
    // The message that runs the posted tasks and the id of the loop's timer on the dialog.
    static constexpr UINT kRunTasksMessage = WM_APP + 1;
    static constexpr UINT_PTR kTimerId = 1;

    // Create it on the UI thread, which is the thread that runs `dialog`'s messages.
    Win32UiLoop();
    ~Win32UiLoop() override;
    Win32UiLoop(const Win32UiLoop&) = delete;
    Win32UiLoop& operator=(const Win32UiLoop&) = delete;

    // The window whose messages run the tasks and the timer (set once it exists). Tasks posted
    // before run once it is attached.
    void Attach(HWND dialog);
    // Stops the timer and drops the tasks still queued (the window goes away).
    void Detach();

    // The loop's own messages; true when `message` was one of them and has been handled.
    bool HandleMessage(UINT message, WPARAM wparam);

    bool IsUiThread() const override;
    void Post(std::function<void()> task) override;
    void ArmTimer(std::int64_t real_ms, std::function<void()> fire) override;
    void DisarmTimer() override;

  private:
    void RunTasks();

    const DWORD ui_thread_;
    std::mutex mutex_;
    HWND hwnd_ = nullptr;                       // under mutex_
    std::deque<std::function<void()>> tasks_;  // under mutex_
    std::function<void()> fire_;               // UI thread only
};

}  // namespace tessel::ui::win32
