#include <gtest/gtest.h>

#include "platform/clock.h"
#include "virtual_clock.h"

namespace tessel::platform {
namespace {

TEST(ScaledClock, CompressesPausesAndStretchesElapsedTime) {
    testing::VirtualClock base;
    ScaledClock scaled(base, 0.01);
    const auto start_s = scaled.NowSeconds();
    const auto start_ms = scaled.NowMs();
    scaled.SleepMs(54'000);
    EXPECT_EQ(base.sleeps().back(), 540u);
    EXPECT_EQ(scaled.NowMs() - start_ms, 54'000);
    EXPECT_EQ(scaled.NowSeconds() - start_s, 54);
}

TEST(ScaledClock, RealDelayIsTheBaseTimeRoundedUp) {
    testing::VirtualClock base;
    ScaledClock scaled(base, 0.01);
    EXPECT_EQ(scaled.RealDelayMs(2800), 28);
    EXPECT_EQ(scaled.RealDelayMs(1), 1);  // never 0 for a delay that is still to come
    EXPECT_EQ(scaled.RealDelayMs(0), 0);
    EXPECT_EQ(scaled.RealDelayMs(-5), 0);
    // After the real delay has passed, the scaled time has reached the delay.
    const std::int64_t start = scaled.NowMs();
    base.AdvanceMs(scaled.RealDelayMs(1234));
    EXPECT_GE(scaled.NowMs() - start, 1234);
    // Scaled twice: the delays multiply.
    ScaledClock twice(scaled, 0.5);
    EXPECT_EQ(twice.RealDelayMs(2800), 14);
    EXPECT_EQ(base.RealDelayMs(2800), 2800);
}

}  // namespace
}  // namespace tessel::platform
