#include <gtest/gtest.h>
#include <cmath>
#include <numbers>
#include <set>
#include <vector>
#include "render/random.h"
#include "text/overlay.h"
#include "text/overlay_state.h"

namespace {

constexpr int W = 640;
constexpr int H = 480;
constexpr float h = static_cast<float>(H);
// A power-of-two frame step keeps every frame time and slide end exact.
constexpr double TICK = 1.0 / 32.0;

struct Frame {
    double time;
    float bannerY;
    float countdownY;
    bool drewRandom;
};

class OverlayMotion : public ::testing::Test {
protected:
    void SetUp() override {
        ResetOverlayState();
        SeedRandom(20240601);
    }
    void TearDown() override { ResetOverlayState(); }
    static Frame Step(double time, int width = W, int height = H) {
        const uint32_t before = randomState;
        StepOverlay(time, width, height);
        return {time, bannerY, (static_cast<float>(height) - 21.0f) - textOffset,
                randomState != before};
    }
};

struct Row {
    double start;
    double length;
    float bannerFrom, bannerTo, textFrom, textTo;
};

// A hold keeps its value; a slide starts near `from`, moves one way only, is sin(pi/4) of the
// way at its middle and reaches `to` exactly at its end.
void CheckRow(const std::vector<Frame>& frames, const Row& row, float Frame::*value, float from,
              float to) {
    SCOPED_TRACE(testing::Message() << "step starting at " << row.start << " s");
    std::vector<const Frame*> in;
    for (const Frame& f : frames) {
        if (f.time > row.start && f.time <= row.start + row.length) in.push_back(&f);
    }
    ASSERT_EQ(in.size(), row.length / TICK);
    const bool slide = row.length == 1.0;
    for (size_t i = 0; i < in.size(); ++i) {
        const float now = in[i]->*value;
        if (!slide) {
            EXPECT_NEAR(now, to, 1e-3) << in[i]->time;
        } else if (i > 0) {
            EXPECT_GT((now - in[i - 1]->*value) * (to - from), 0.0f) << in[i]->time;
        }
    }
    EXPECT_NEAR(in.front()->*value, from, 2.0f);
    if (slide) {
        EXPECT_NEAR(in[15]->*value, from + (to - from) * std::numbers::sqrt2 / 2.0, 1e-3);
    }
    EXPECT_NEAR(in.back()->*value, to, 1e-3);
}

TEST_F(OverlayMotion, FollowsTheCycleTableStepByStep) {
    const std::vector<Row> rows{
        {0, 1, -35, 5, 19, -21},          // banner in at the bottom, text out at the bottom
        {1, 15, 5, 5, -21, -21},          // banner shown
        {16, 1, 5, -35, h + 14, h - 26},  // banner out, text in at the top
        {17, 30, -35, -35, h - 26, h - 26},
        {47, 1, h, h - 40, h - 26, h + 14},  // banner in at the top, text out at the top
        {48, 15, h - 40, h - 40, h + 14, h + 14},
        {63, 1, h - 40, h, -21, 19},  // banner out at the top, text in at the bottom
        {64, 30, h, h, 19, 19},
        {94, 1, -35, 5, 19, -21},  // and round again
        {95, 15, 5, 5, -21, -21},
        {110, 1, 5, -35, h + 14, h - 26},
    };
    std::vector<Frame> frames;
    for (int k = 1; k * TICK <= 111.0; ++k) frames.push_back(Step(k * TICK));
    for (const Row& row : rows) {
        CheckRow(frames, row, &Frame::bannerY, row.bannerFrom, row.bannerTo);
        CheckRow(frames, row, &Frame::countdownY, row.textFrom, row.textTo);
    }
}

TEST_F(OverlayMotion, TheCornerIsDrawnAtTheStartOfEachTextHold) {
    std::vector<double> draws;
    std::set<float> corners;
    for (int k = 1; k * TICK < 30 * 94.0; ++k) {
        const uint32_t state = randomState;
        const int draw = NextRandom();
        randomState = state;
        const Frame frame = Step(k * TICK);
        if (!frame.drewRandom) continue;
        if (draws.size() < 6) draws.push_back(frame.time);
        EXPECT_EQ(bannerX, draw % 2 == 1 ? W - 256 : 0) << "at " << frame.time;
        corners.insert(bannerX);
    }
    EXPECT_EQ(draws, (std::vector<double>{17, 64, 111, 158, 205, 252}));
    EXPECT_EQ(corners, (std::set<float>{0.0f, W - 256.0f}));
}

TEST_F(OverlayMotion, ANarrowWindowPutsTheRightCornerPartlyOffScreen) {
    bannerX = 123.0f;
    Step(TICK, 200, 150);
    EXPECT_EQ(bannerX, -56.0f);
    std::set<float> corners;
    for (int k = 2; k * TICK < 20 * 94.0; ++k) {
        if (Step(k * TICK, 200, 150).drewRandom) corners.insert(bannerX);
    }
    EXPECT_EQ(corners, (std::set<float>{-56.0f, 0.0f}));
}

TEST_F(OverlayMotion, AtThirtyThreeMillisecondFramesTheCycleStaysNinetyFourSeconds) {
    // A slide ends on the first frame with t >= 1, so it may overrun by up to one frame, and
    // the hold keeps the values of that frame and starts from it.
    std::vector<double> turns;
    double time = 0.0;
    for (int k = 0; time < 10 * 94.0 + 3.0; ++k) {
        time += k % 2 == 0 ? 0.030 : 0.036;
        const bool turn = textTurn;
        const Frame frame = Step(time);
        if (textTurn == turn) continue;
        turns.push_back(time);
        const float y = frame.bannerY;
        EXPECT_TRUE(std::fabs(y - 5) < 0.1f || std::fabs(y + 35) < 0.1f ||
                    std::fabs(y - h) < 0.1f || std::fabs(y - (h - 40)) < 0.1f)
            << y << " at " << time;
    }
    ASSERT_EQ(turns.size(), 41u);
    EXPECT_LT(turns[0], 1.036);
    for (size_t i = 1; i < turns.size(); ++i) {
        const double hold = i % 2 == 1 ? 15.0 : 30.0;
        EXPECT_GT(turns[i] - turns[i - 1], hold + 1.0 - 1e-3) << i;
        EXPECT_LT(turns[i] - turns[i - 1], hold + 1.0 + 2 * 0.036) << i;
    }
}

TEST(TextLineX, CentresALineOnItsLength) {
    EXPECT_EQ(TextLineX(800, 21), 274.0f);
    EXPECT_EQ(TextLineX(801, 1), 394.5f);
}

TEST(GlyphIndex, OnlyCodesWithACellDrawAGlyph) {
    EXPECT_EQ(GlyphIndex('!'), 1);
    EXPECT_EQ(GlyphIndex('a'), 65);
    EXPECT_EQ(GlyphIndex('\x7F'), 95);
    for (int code = 0; code <= 32; ++code) EXPECT_EQ(GlyphIndex(static_cast<char>(code)), -1);
    for (int code = 128; code < 256; ++code) EXPECT_EQ(GlyphIndex(static_cast<char>(code)), -1);
}

}  // namespace
