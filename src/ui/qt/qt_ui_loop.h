// The session's UI loop over Qt's event loop: posted tasks are queued calls on a context object
// that lives on the GUI thread, and the one timer is a single-shot QTimer on that thread.
#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>

#include "ui/ui_loop.h"

namespace tessel::ui::qt {

class QtUiLoop final : public UiLoop {
  public:
    // Create it on the GUI thread.
    QtUiLoop();
    ~QtUiLoop() override;
    QtUiLoop(const QtUiLoop&) = delete;
    QtUiLoop& operator=(const QtUiLoop&) = delete;

    bool IsUiThread() const override;
    void Post(std::function<void()> task) override;
    void ArmTimer(std::int64_t real_ms, std::function<void()> fire) override;
    void DisarmTimer() override;

  private:
    QObject context_;
    QTimer timer_;
    std::function<void()> fire_;  // GUI thread only
};

}  // namespace tessel::ui::qt
