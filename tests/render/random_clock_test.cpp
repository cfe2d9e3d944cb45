#include <gtest/gtest.h>
#include <windows.h>
#include <array>
#include "render/frame_clock.h"
#include "render/random.h"

namespace {

TEST(Random, SequenceAfterSeedingWithOne) {
    SeedRandom(1);
    const std::array<int, 5> expected{41, 18467, 6334, 26500, 19169};
    for (int value : expected) EXPECT_EQ(NextRandom(), value);
}

TEST(Random, DrawsStayWithinFifteenBits) {
    SeedRandom(0xDEADBEEF);
    int largest = 0;
    for (int i = 0; i < 100000; ++i) {
        const int value = NextRandom();
        ASSERT_GE(value, 0);
        largest = std::max(largest, value);
    }
    EXPECT_LE(largest, 32767);
    EXPECT_GT(largest, 32000);
}

TEST(FrameClock, CountsSecondsFromTheStart) {
    StartFrameClock();
    EXPECT_TRUE(frameClock.usePerformanceCounter);
    EXPECT_FLOAT_EQ(frameClock.resolution, static_cast<float>(1.0 / frameClock.frequency));
    const double first = ReadFrameClock();
    Sleep(120);
    const double second = ReadFrameClock();
    EXPECT_GE(first, 0.0);
    EXPECT_NEAR(second - first, 0.12, 0.08);
}

TEST(FrameClock, ReadingsCarrySinglePrecisionOnly) {
    // Long after the start the reading is a float's worth of seconds, as the frame logic expects.
    StartFrameClock();
    frameClock.counterStart -= (int64_t{1} << 36) + 7;
    const double seconds = ReadFrameClock();
    EXPECT_EQ(static_cast<double>(static_cast<float>(seconds)), seconds);
    EXPECT_GT(seconds, 1.0);
}

}  // namespace
