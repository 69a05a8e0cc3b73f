#include "ui/win32/win32_ui_loop.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace tessel::ui::win32 {

Win32UiLoop::Win32UiLoop() : ui_thread_(GetCurrentThreadId()) {}

Win32UiLoop::~Win32UiLoop() {
    Detach();
}

void Win32UiLoop::Attach(HWND dialog) {
    bool pending = false;
    {
        std::lock_guard lock(mutex_);
        hwnd_ = dialog;
        pending = !tasks_.empty();
    }
    if (pending) {
        PostMessageW(dialog, kRunTasksMessage, 0, 0);
    }
}

void Win32UiLoop::Detach() {
    HWND window = nullptr;
    {
        std::lock_guard lock(mutex_);
        window = hwnd_;
        hwnd_ = nullptr;
        tasks_.clear();
    }
    if (window != nullptr && fire_) {
        KillTimer(window, kTimerId);
    }
    fire_ = nullptr;
}

bool Win32UiLoop::HandleMessage(UINT message, WPARAM wparam) {
    if (message == kRunTasksMessage) {
        RunTasks();
        return true;
    }
    if (message == WM_TIMER && wparam == kTimerId) {
        HWND window = nullptr;
        {
            std::lock_guard lock(mutex_);
            window = hwnd_;
        }
        if (window != nullptr) {
            KillTimer(window, kTimerId);  // the loop's timer fires once
        }
        if (std::function<void()> fire = std::exchange(fire_, nullptr)) {
            fire();
        }
        return true;
    }
    return false;
}

bool Win32UiLoop::IsUiThread() const {
    return GetCurrentThreadId() == ui_thread_;
}

void Win32UiLoop::Post(std::function<void()> task) {
    HWND window = nullptr;
    {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
        window = hwnd_;
    }
    // A message for every task: a task that runs a modal loop (the message dialog) leaves the
    // tasks behind it to the messages that loop dispatches.
    if (window != nullptr) {
        PostMessageW(window, kRunTasksMessage, 0, 0);
    }
}

void Win32UiLoop::RunTasks() {
    // One task at a time, outside the lock: a task may post more, or open a modal dialog whose
    // loop runs this again.
    for (;;) {
        std::function<void()> task;
        {
            std::lock_guard lock(mutex_);
            if (tasks_.empty() || hwnd_ == nullptr) {
                return;
            }
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
    }
}

void Win32UiLoop::ArmTimer(std::int64_t real_ms, std::function<void()> fire) {
    HWND window = nullptr;
    {
        std::lock_guard lock(mutex_);
        window = hwnd_;
    }
    if (window == nullptr) {
        return;
    }
    fire_ = std::move(fire);
    const std::int64_t clamped = std::clamp<std::int64_t>(
        real_ms, USER_TIMER_MINIMUM, std::numeric_limits<UINT>::max() / 2);
    SetTimer(window, kTimerId, static_cast<UINT>(clamped), nullptr);
}

void Win32UiLoop::DisarmTimer() {
    HWND window = nullptr;
    {
        std::lock_guard lock(mutex_);
        window = hwnd_;
    }
    if (window != nullptr) {
        KillTimer(window, kTimerId);
    }
    fire_ = nullptr;
}

}  // namespace tessel::ui::win32
