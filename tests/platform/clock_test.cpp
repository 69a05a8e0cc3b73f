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

}  // namespace
}  // namespace tessel::platform
