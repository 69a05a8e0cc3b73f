#include "app/animation_driver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "ui/upgrade_display.h"
#include "virtual_clock.h"

namespace tessel::app {
namespace {

// The virtual clock's pauses advance its time, so the driver runs the animation as fast as
// the thread goes; the test waits for the model to get where it must.
class AnimationDriverTest : public ::testing::Test {
  protected:
    AnimationDriverTest() {
        model_.Initialise(0x0409);
        model_.SetChangeListener([this](std::uint64_t) {
            driver_.Wake();
            std::lock_guard lock(mutex_);
            changed_.notify_all();
        });
    }
    ~AnimationDriverTest() override {
        driver_.Stop();
        model_.SetChangeListener(nullptr);
    }
    // A bound against a driver that never moves, not a pause.
    bool WaitFor(ui::MainScreen screen) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(30),
                                 [&] { return model_.Snapshot().screen == screen; });
    }

    tessel::testing::VirtualClock clock_;
    ui::MainDisplayModel model_{clock_};
    AnimationDriver driver_{model_, clock_};
    std::mutex mutex_;
    std::condition_variable changed_;
};

TEST_F(AnimationDriverTest, PicksUpAStartAndRunsTheAnimationToItsEndOnTheClock) {
    const std::int64_t start = clock_.NowMs();
    model_.ShowUpgradeState(ui::kStateProgress, 0);
    model_.ShowUpgradeState(ui::kStateAnimation, 0);

    ASSERT_TRUE(WaitFor(ui::MainScreen::kFailure));
    EXPECT_EQ(clock_.NowMs() - start, 100 * std::int64_t{ui::kAnimationTickMs});
    for (const std::uint32_t sleep : clock_.sleeps()) {
        EXPECT_LE(sleep, AnimationDriver::kMaxSleepMs);
    }
    EXPECT_FALSE(model_.NextAnimationTickMs());

    // Idle again: a stop needs no tick to pass.
    const std::size_t sleeps = clock_.sleeps().size();
    driver_.Stop();
    EXPECT_EQ(clock_.sleeps().size(), sleeps);
}

}  // namespace
}  // namespace tessel::app
