#include <gtest/gtest.h>
#include <array>
#include <cmath>
#include "show/show_fixture.h"

namespace {

constexpr double FRAME = 1.0 / 30.0;

using HologramTest = ShowStateTest;

// One frame of the hologram alone; the rows when it is drawn.
bool HologramFrame(std::array<HoloRow, HOLO_ROW_COUNT>* rows = nullptr) {
    frameTime += FRAME;
    frameDelta = FRAME;
    if (!AdvanceHologram()) return false;
    const std::array<HoloRow, HOLO_ROW_COUNT> computed = ComputeHologramRows();
    if (rows != nullptr) *rows = computed;
    return true;
}

int IndexWithPointRegion() {
    for (int i = 16; i < CATALOGUE_SIZE; ++i) {
        const PictureRecord& r = pictureCatalogue[i];
        if (ItemHas(i, PF_ZOOM) && r.zoomLeft == 0.5 && r.zoomRight == 0.5 && r.zoomTop == 0.5 &&
            r.zoomBottom == 0.5) {
            return i;
        }
    }
    return -1;
}

float BaseAlpha(bool phase) {
    return phase ? 0.7f : 0.8f;
}

TEST_F(HologramTest, PhasesLastASecondEachAndAPictureIsHeldTenToElevenSeconds) {
    for (const double start : {0.0, 100.0, 3600.5}) {
        ResetShowState(31);
        currentIndex = 70;
        frameTime = start;
        std::array<double, 5> begins{start, 0.0, 0.0, 0.0, 0.0};
        int phase = holoPhase;
        while (!hologramDone && frameTime < start + 30.0) {
            HologramFrame();
            ASSERT_NE(holoPhase, HOLO_FINISHED);
            if (hologramDone) break;
            if (holoPhase != phase) {
                ASSERT_EQ(holoPhase, phase + 1);
                phase = holoPhase;
                begins[phase] = frameTime;
            }
        }
        ASSERT_TRUE(hologramDone);
        const double end = frameTime;
        const double slack = FRAME + 1e-3;
        EXPECT_NEAR(begins[HOLO_REVEAL] - start, 1.0, slack);
        EXPECT_NEAR(begins[HOLO_HOLD] - begins[HOLO_REVEAL], 1.0, slack);
        EXPECT_GE(begins[HOLO_LAST] - begins[HOLO_REVEAL], 10.0 - slack);
        EXPECT_LE(begins[HOLO_LAST] - begins[HOLO_REVEAL], 11.0 + slack);
        EXPECT_NEAR(begins[HOLO_ERASE] - begins[HOLO_LAST], 1.0, slack);
        EXPECT_NEAR(end - begins[HOLO_ERASE], 1.0, slack);
        EXPECT_EQ(holoPhase, HOLO_SCAN);
        EXPECT_EQ(sweepRow, 0.0f) << "the next sequence starts at the top";
    }
}

TEST_F(HologramTest, FinishedPhaseIsNeverSeen) {
    currentIndex = 70;
    holoPhase = HOLO_ERASE;
    sweepRow = 39.9f;
    std::array<HoloRow, HOLO_ROW_COUNT> rows{};
    ASSERT_TRUE(HologramFrame(&rows));
    EXPECT_TRUE(hologramDone);
    // Its frame already shows the lone scan line of the next sequence at the top.
    EXPECT_EQ(rows[0].alpha, 1.0f);
    for (int i = 1; i < HOLO_ROW_COUNT; ++i) EXPECT_EQ(rows[i].alpha, 0.0f) << i;
    // From then on nothing is drawn, but the glitch clock still runs.
    glitchClock = 0.0f;
    EXPECT_FALSE(HologramFrame());
    EXPECT_FALSE(HologramFrame());
    EXPECT_NEAR(glitchClock, 2 * FRAME, 1e-6);
    EXPECT_EQ(holoPhase, HOLO_SCAN);
}

TEST_F(HologramTest, PointCloseUpWidensToTheWholePictureDuringTheHold) {
    currentIndex = IndexWithPointRegion();
    ASSERT_GE(currentIndex, 0);
    zoomActive = true;
    texLeft = texTop = texRight = texBottom = 0.5;
    double holdStart = -1.0;
    while (frameTime < 20.0) {
        HologramFrame();
        if (holoPhase < HOLO_HOLD) {
            ASSERT_EQ(texLeft, 0.5);
            ASSERT_EQ(texBottom, 0.5);
        } else if (holdStart < 0.0) {
            holdStart = frameTime;
        }
        ASSERT_LE(texRight, 1.0 + 0.33 * FRAME);
        if (texLeft == 0.0 && texTop == 0.0 && texRight == 1.0 && texBottom == 1.0) break;
    }
    ASSERT_GE(holdStart, 0.0);
    EXPECT_GT(frameTime - holdStart, 1.5);
    EXPECT_LT(frameTime - holdStart, 1.6);
}

TEST_F(HologramTest, CloseUpStaysForAnItemWithoutZoom) {
    currentIndex = 70;
    ASSERT_FALSE(ItemHas(currentIndex, PF_ZOOM));
    zoomActive = true;
    texLeft = texTop = texRight = texBottom = 0.5;
    while (frameTime < 5.0) HologramFrame();
    EXPECT_EQ(holoPhase, HOLO_HOLD);
    EXPECT_EQ(texLeft, 0.5);
    EXPECT_EQ(texRight, 0.5);
}

TEST_F(HologramTest, RowsByPhase) {
    frameTime = 10.3;  // 4 x 10.3 = 41.2: odd, so the next frame starts with the other phase
    sweepRow = 10.5f;
    texTop = 0.25;
    texBottom = 0.75;
    for (const int phase : {HOLO_SCAN, HOLO_REVEAL, HOLO_HOLD, HOLO_LAST, HOLO_ERASE}) {
        holoPhase = phase;
        scanPhase = false;
        const std::array<HoloRow, HOLO_ROW_COUNT> rows = ComputeHologramRows();
        EXPECT_FALSE(scanPhase);
        for (int i = 0; i < HOLO_ROW_COUNT; ++i) {
            const HoloRow& row = rows[i];
            EXPECT_FLOAT_EQ(row.t, 0.25f + 0.5f * static_cast<float>(i) / 38.0f);
            EXPECT_GE(row.jitter, -0.15f);
            EXPECT_LE(row.jitter, 0.14f);
            const bool scanRow = i == 9 || i == 10;
            float expected = BaseAlpha(i % 2 == 1);
            if (scanRow) {
                expected = 1.0f;
            } else if (phase == HOLO_SCAN || (phase == HOLO_REVEAL && i > 10) ||
                       (phase == HOLO_ERASE && i < 10)) {
                expected = 0.0f;
            }
            EXPECT_EQ(row.alpha, expected) << "phase " << phase << " row " << i;
        }
    }
}

TEST_F(HologramTest, MovieRowsAreBrighterAndMirrored) {
    movieActive = true;
    holoPhase = HOLO_HOLD;
    sweepRow = 30.0f;
    frameTime = 2.0;
    const std::array<HoloRow, HOLO_ROW_COUNT> rows = ComputeHologramRows();
    EXPECT_EQ(rows[0].alpha, 0.9f);
    EXPECT_EQ(rows[1].alpha, 0.85f);
    EXPECT_EQ(rows[0].t, 1.0f);
    EXPECT_EQ(rows[38].t, 0.0f);
    EXPECT_TRUE(scanPhase);
}

TEST_F(HologramTest, WholePictureGlitchShakesEveryRowBriefly) {
    holoPhase = HOLO_HOLD;
    sweepRow = 0.5f;
    const auto countJumps = [](const std::array<HoloRow, HOLO_ROW_COUNT>& rows) {
        int jumps = 0;
        for (const HoloRow& row : rows) jumps += row.jitter != 0.0f ? 1 : 0;
        return jumps;
    };
    std::array<HoloRow, HOLO_ROW_COUNT> rows{};
    HologramFrame(&rows);
    EXPECT_LE(countJumps(rows), 2) << "no glitch at start-up";
    glitchClock = 0.0f;
    int shakenFrames = 0;
    for (int i = 0; i < 30; ++i) {
        HologramFrame(&rows);
        if (countJumps(rows) > 30) ++shakenFrames;
    }
    EXPECT_EQ(shakenFrames, 3);  // 0.125 s of frames 1/30 s apart
    EXPECT_GE(glitchClock, 0.3f);
    EXPECT_LT(glitchClock, 0.3f + FRAME);
}

TEST_F(HologramTest, WholePictureGlitchesStartAboutOnceInAThousandFrames) {
    holoPhase = HOLO_HOLD;
    holdUntil = 1e9;
    int glitches = 0;
    for (int i = 0; i < 30000; ++i) {
        const float before = glitchClock;
        HologramFrame();
        if (glitchClock < before) ++glitches;
    }
    EXPECT_GT(glitches, 12);
    EXPECT_LT(glitches, 55);
}

}  // namespace
