#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include "render/frame_clock.h"
#include "render/random.h"

namespace {

// Bits 16 to 30 of each state: some of these states have bit 31 set.
TEST(Random, SequenceAfterSeedingWithOne) {
    SeedRandom(1);
    for (int value : {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464})
        EXPECT_EQ(NextRandom(), value);
}

TEST(FrameClock, ReadsSecondsSinceTheStartInFineSteps) {
    StartFrameClock();
    ASSERT_TRUE(frameClock.usePerformanceCounter);
    // As if the clock had started a week ago: the reading is in seconds, counted forward...
    constexpr int64_t week = 7 * 24 * 3600;
    frameClock.counterStart -= week * frameClock.frequency;
    const double reading = ReadFrameClock();
    EXPECT_GE(reading, week);
    EXPECT_LT(reading, week + 5.0);
    // ...and still moves in fine steps, far below a millisecond.
    double finest = 1.0;
    for (int i = 0; i < 20; ++i) {
        double first = ReadFrameClock(), next = first;
        while (next == first) next = ReadFrameClock();
        finest = std::min(finest, next - first);
    }
    EXPECT_LT(finest, 1e-4);
}

TEST(FrameClock, StepStaysOneCountAfterLongRunsAndTimerWraps) {
    // A float reading moves in 50 ms steps after a week; one count must stay one count for a year.
    constexpr int64_t hour = 3600, week = 7 * 24 * hour, year = 365 * 24 * hour;
    for (int64_t frequency : {int64_t{10'000'000}, int64_t{3'579'545}, int64_t{1000}}) {
        for (int64_t seconds : {hour, week, year}) {
            const int64_t counts = seconds * frequency + frequency / 4;
            const double step =
                CounterSeconds(counts + 1, frequency) - CounterSeconds(counts, frequency);
            EXPECT_NEAR(step, 1.0 / static_cast<double>(frequency), 1e-8)
                << frequency << " Hz after " << seconds << " s";
            EXPECT_NEAR(CounterSeconds(counts, frequency), seconds + 0.25, 1.0 / frequency);
        }
    }
    // Without a counter, the millisecond timer runs on across its wrap.
    FrameClock clock{};
    clock.timerLast = 0xFFFFFF00u;
    clock.timerElapsedMs = 49ull * 24 * 3600 * 1000;
    EXPECT_DOUBLE_EQ(MillisecondTimerSeconds(clock, 0xFFFFFFF0u), 49.0 * 24 * 3600 + 0.24);
    EXPECT_DOUBLE_EQ(MillisecondTimerSeconds(clock, 0x00000110u), 49.0 * 24 * 3600 + 0.528);
    // A second wrap, read once a day, keeps counting too.
    for (int day = 0; day < 50; ++day) MillisecondTimerSeconds(clock, clock.timerLast + 86400000u);
    EXPECT_DOUBLE_EQ(MillisecondTimerSeconds(clock, clock.timerLast), 99.0 * 24 * 3600 + 0.528);
}

}  // namespace
