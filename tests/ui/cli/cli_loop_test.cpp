#include "ui/cli/cli_loop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace tessel::ui::cli {
namespace {

// Runs the loop until `done`, or until a watchdog's task gives up after a bound: the loop is
// never left waiting for good, whatever its timer does.
bool RunBounded(CliLoop& loop, const std::function<bool()>& done) {
    std::atomic<bool> gave_up{false};
    std::atomic<bool> finished{false};
    std::thread watchdog([&] {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!finished && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        loop.Post([&] { gave_up = !finished; });
    });
    loop.RunUntil([&] { return gave_up || done(); });
    const bool in_time = !gave_up;
    finished = true;
    watchdog.join();
    // The watchdog's task is queued by now: run it before its variables go.
    bool flushed = false;
    loop.Post([&] { flushed = true; });
    loop.RunUntil([&] { return flushed; });
    return in_time;
}

TEST(CliLoop, RunsPostedTasksInOrderOnItsThread) {
    CliLoop loop;
    std::string order;
    bool on_loop_thread = true;
    std::thread poster([&] {
        EXPECT_FALSE(loop.IsUiThread());
        for (char c : std::string("abc")) {
            loop.Post([&, c] {
                order += c;
                on_loop_thread = on_loop_thread && loop.IsUiThread();
            });
        }
    });
    ASSERT_TRUE(RunBounded(loop, [&] { return order.size() == 3; }));
    poster.join();
    EXPECT_EQ(order, "abc");
    EXPECT_TRUE(on_loop_thread);
}

TEST(CliLoop, TheTimerFiresWithNothingPostedAndArmingAgainReplacesIt) {
    CliLoop loop;
    std::string fired;
    loop.ArmTimer(60'000, [&] { fired += "late"; });
    loop.ArmTimer(2, [&] { fired += "t"; });
    ASSERT_TRUE(RunBounded(loop, [&] { return !fired.empty(); }));
    EXPECT_EQ(fired, "t");

    // Disarmed: the loop waits for the next task, and the timer, due at once, never fires.
    loop.ArmTimer(0, [&] { fired += "x"; });
    loop.DisarmTimer();
    bool ran = false;
    std::thread poster([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        loop.Post([&] { ran = true; });
    });
    ASSERT_TRUE(RunBounded(loop, [&] { return ran; }));
    poster.join();
    EXPECT_EQ(fired, "t");
}

}  // namespace
}  // namespace tessel::ui::cli
