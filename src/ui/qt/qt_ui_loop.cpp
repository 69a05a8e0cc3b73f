#include "ui/qt/qt_ui_loop.h"

#include <QThread>
#include <algorithm>
#include <limits>

namespace tessel::ui::qt {

QtUiLoop::QtUiLoop() {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, &context_, [this] {
        // The task may arm the timer again: run a copy.
        const std::function<void()> fire = fire_;
        if (fire) {
            fire();
        }
    });
}

QtUiLoop::~QtUiLoop() {
    timer_.stop();
}

bool QtUiLoop::IsUiThread() const {
    return QThread::currentThread() == context_.thread();
}

void QtUiLoop::Post(std::function<void()> task) {
    // Tasks still queued when the loop goes are dropped with its context object. The queued
    // call owns the functor's copy and deletes it once run or dropped; the analyzer cannot follow
    // that ownership into Qt's event queue.
    // NOLINTNEXTLINE(clang-analyzer-cplusplus.NewDeleteLeaks)
    QMetaObject::invokeMethod(&context_, std::move(task), Qt::QueuedConnection);
}

void QtUiLoop::ArmTimer(std::int64_t real_ms, std::function<void()> fire) {
    fire_ = std::move(fire);
    const std::int64_t clamped =
        std::clamp<std::int64_t>(real_ms, 0, std::numeric_limits<int>::max());
    timer_.start(static_cast<int>(clamped));
}

void QtUiLoop::DisarmTimer() {
    timer_.stop();
    fire_ = nullptr;
}

}  // namespace tessel::ui::qt
