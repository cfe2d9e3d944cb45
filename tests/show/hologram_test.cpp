#include <gtest/gtest.h>
#include <array>
#include "show/show_fixture.h"

namespace {

using HologramTest = ShowStateTest;

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

}  // namespace
