#include <gtest/gtest.h>
#include <algorithm>
#include <array>
#include "show/show_fixture.h"

namespace {

using HologramTest = ShowStateTest;

// One frame of the hologram alone; false when nothing is drawn.
bool HologramFrame(std::array<HoloRow, HOLO_ROW_COUNT>* rows = nullptr) {
    frameTime += FRAME;
    frameDelta = FRAME;
    if (!AdvanceHologram()) return false;
    const std::array<HoloRow, HOLO_ROW_COUNT> computed = ComputeHologramRows();
    if (rows != nullptr) *rows = computed;
    return true;
}

TEST_F(HologramTest, PhasesLastASecondEachAndAPictureIsHeldTenToElevenSeconds) {
    for (const double start : {0.0, 100.0, 3600.5}) {
        ResetShowState(31);
        currentIndex = 70;
        frameTime = start;
        std::array<double, 6> begins{start};
        while (HologramFrame() && !hologramDone && frameTime < start + 30.0) {
            ASSERT_LT(holoPhase, HOLO_FINISHED);
            if (begins[holoPhase] == 0.0) begins[holoPhase] = frameTime;
        }
        begins[HOLO_FINISHED] = frameTime;
        ASSERT_TRUE(hologramDone);
        EXPECT_EQ(holoPhase, HOLO_SCAN);
        EXPECT_EQ(sweepRow, 0.0f) << "the next sequence starts at the top";
        const double slack = FRAME + 1e-3;
        for (const int phase : {HOLO_SCAN, HOLO_REVEAL, HOLO_LAST, HOLO_ERASE}) {
            const double next = begins[phase == HOLO_REVEAL ? HOLO_HOLD : phase + 1];
            EXPECT_NEAR(next - begins[phase], 1.0, slack) << phase;
        }
        const double revealAndHold = begins[HOLO_LAST] - begins[HOLO_REVEAL];
        EXPECT_GE(revealAndHold, 10.0 - slack);
        EXPECT_LE(revealAndHold, 11.0 + slack);
    }
}

TEST_F(HologramTest, FinishedPhaseIsNeverSeen) {
    holoPhase = HOLO_ERASE;
    sweepRow = 39.9f;
    std::array<HoloRow, HOLO_ROW_COUNT> rows{};
    ASSERT_TRUE(HologramFrame(&rows));
    EXPECT_TRUE(hologramDone);
    // Its frame already shows the lone scan line of the next sequence at the top.
    for (int i = 0; i < HOLO_ROW_COUNT; ++i) EXPECT_EQ(rows[i].alpha, i == 0 ? 1.0f : 0.0f);
    // From then on nothing is drawn, but the glitch clock still runs.
    glitchClock = 0.0f;
    EXPECT_FALSE(HologramFrame());
    EXPECT_NEAR(glitchClock, FRAME, 1e-6);
}

TEST_F(HologramTest, PointCloseUpWidensToTheWholePictureInAboutOneAndAHalfSeconds) {
    for (currentIndex = 16; pictureCatalogue[currentIndex].zoomRight != 0.5; ++currentIndex) {
    }
    zoomActive = true;
    texLeft = texTop = texRight = texBottom = 0.5;
    double holdStart = 0.0;
    while (frameTime < 20.0 && texBottom != 1.0) {
        HologramFrame();
        if (holoPhase < HOLO_HOLD) {
            ASSERT_EQ(texRight, 0.5);
        }
        if (holoPhase == HOLO_HOLD && holdStart == 0.0) holdStart = frameTime;
    }
    EXPECT_EQ(texLeft + texTop + texRight, 1.0);
    EXPECT_NEAR(frameTime - holdStart, 1.55, 0.05);
}

TEST_F(HologramTest, RowsAlternateAndShowByPhaseAndMoviesRunBottomUp) {
    sweepRow = 10.5f;
    texTop = 0.25;
    texBottom = 0.75;
    for (const int phase : {HOLO_SCAN, HOLO_REVEAL, HOLO_HOLD, HOLO_LAST, HOLO_ERASE, 6}) {
        movieActive = phase == 6;
        holoPhase = movieActive ? HOLO_HOLD : phase;
        scanPhase = false;
        // The row pattern swaps four times a second.
        frameTime = 10.3 + 0.25 * phase;
        const std::array<HoloRow, HOLO_ROW_COUNT> rows = ComputeHologramRows();
        EXPECT_EQ(scanPhase, phase % 2 == 1);
        for (int i = 0; i < HOLO_ROW_COUNT; ++i) {
            float expected =
                i % 2 == 0 ? (movieActive ? 0.9f : 0.8f) : (movieActive ? 0.85f : 0.7f);
            if (i == 9 || i == 10) {
                expected = 1.0f;
            } else if (phase == HOLO_SCAN || (phase == HOLO_REVEAL && i > 10) ||
                       (phase == HOLO_ERASE && i < 10)) {
                expected = 0.0f;
            }
            EXPECT_EQ(rows[i].alpha, expected) << "phase " << phase << " row " << i;
            const float t = 0.25f + 0.5f * static_cast<float>(i) / 38.0f;
            EXPECT_FLOAT_EQ(rows[i].t, movieActive ? 1.0f - t : t);
            EXPECT_TRUE(rows[i].jitter >= -0.15f && rows[i].jitter <= 0.14f);
        }
    }
}

TEST_F(HologramTest, WholePictureGlitchShakesEveryRowForAnEighthOfASecond) {
    holoPhase = HOLO_HOLD;
    holdUntil = 1e9;
    const auto jumps = [] {
        std::array<HoloRow, HOLO_ROW_COUNT> rows{};
        HologramFrame(&rows);
        return std::count_if(rows.begin(), rows.end(), [](HoloRow r) { return r.jitter != 0; });
    };
    EXPECT_LE(jumps(), 2) << "no glitch at start-up";
    glitchClock = 0.0f;
    for (int frame = 1; frame <= 5; ++frame) {
        if (frame <= 3) {
            EXPECT_GT(jumps(), 30) << frame;
        } else {
            EXPECT_LE(jumps(), 2) << frame;
        }
    }
}

}  // namespace
