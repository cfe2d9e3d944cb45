#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include "render/frame_clock.h"
#include "render/frame_pacing.h"

namespace {

constexpr double P60 = 1.0 / 60.0;

TEST(FramePacing, DeadlinesKeepTheDisplaysCadenceAndVerticalSyncIsTrustedUntilDisproved) {
    EXPECT_DOUBLE_EQ(RefreshPeriod(75), 1.0 / 75.0);
    // 0 and 1 stand for the hardware's default; nonsense is not believed either.
    for (int hz : {0, 1, -60, 100000}) EXPECT_DOUBLE_EQ(RefreshPeriod(hz), P60) << hz;
    // Frames up to a third of a period late: the deadlines stay on the grid.
    double deadline = 1000.0;
    for (int frame = 1; frame <= 3600; ++frame) {
        const double lateness = (frame * 7 % 11) / 11.0 * P60 / 3.0;
        deadline = NextFrameDeadline(deadline, deadline + lateness, P60);
        ASSERT_NEAR(deadline, 1000.0 + frame * P60, 1e-9) << frame;
    }
    // A frame a period or more late restarts the cadence from now instead of catching up; a
    // clock that stepped back never pushes the next frame more than a period away.
    EXPECT_DOUBLE_EQ(NextFrameDeadline(10.0, 10.5, P60), 10.5 + P60);
    EXPECT_DOUBLE_EQ(NextFrameDeadline(10.0, 10.0 + P60, P60), 10.0 + 2 * P60);
    EXPECT_DOUBLE_EQ(NextFrameDeadline(10.0, 2.0, P60), 2.0 + P60);
    // Waits round up (no spinning) and never exceed a period.
    EXPECT_EQ(FrameWaitMilliseconds(5.0, 5.0, P60), 0u);
    EXPECT_EQ(FrameWaitMilliseconds(5.0, 5.25, P60), 0u);
    EXPECT_EQ(FrameWaitMilliseconds(5.0, 5.0 - 0.0002, P60), 1u);
    EXPECT_EQ(FrameWaitMilliseconds(5.0, 5.0 - 0.0101, P60), 11u);
    EXPECT_EQ(FrameWaitMilliseconds(5.0, -300.0, P60), 17u);
    // Only a run of fast swaps ends the trust in vertical sync.
    int fastSwaps = 0;
    // Held swaps with the odd slow frame, and a short run of fast ones: vertical sync stays.
    for (double interval : {P60, 2 * P60, P60 * 0.51})
        EXPECT_TRUE(SwapKeepsPace(fastSwaps, interval, P60));
    for (int i = 1; i < FAST_SWAPS_TO_GIVE_UP; ++i)
        EXPECT_TRUE(SwapKeepsPace(fastSwaps, 0.004, P60));
    EXPECT_TRUE(SwapKeepsPace(fastSwaps, P60, P60));
    for (int i = 1; i < FAST_SWAPS_TO_GIVE_UP; ++i)
        EXPECT_TRUE(SwapKeepsPace(fastSwaps, 0.004, P60));
    EXPECT_FALSE(SwapKeepsPace(fastSwaps, 0.004, P60));
    // The swap-control extension is found only by its whole name.
    const char* list = "WGL_ARB_pixel_format  WGL_EXT_swap_control_tear WGL_EXT_swap_control";
    EXPECT_TRUE(ListsExtension(list, "WGL_EXT_swap_control"));
    EXPECT_TRUE(ListsExtension(list, "WGL_ARB_pixel_format"));
    EXPECT_FALSE(ListsExtension("WGL_EXT_swap_control_tear", "WGL_EXT_swap_control"));
    EXPECT_FALSE(ListsExtension("XWGL_EXT_swap_control ", "WGL_EXT_swap_control"));
}

TEST(FrameClock, ReadsSecondsInFineStepsThatStayOneCountAndRunOnAcrossWraps) {
    StartFrameClock();
    ASSERT_TRUE(frameClock.usePerformanceCounter);
    // As if started a week ago: the reading is in seconds, counted forward...
    constexpr int64_t hour = 3600, week = 7 * 24 * hour, year = 365 * 24 * hour;
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
    // A float reading moves in 50 ms steps after a week; one count must stay one count for a year.
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
