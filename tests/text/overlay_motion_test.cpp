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
    float bannerX;
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
        return {time, bannerX, bannerY, (static_cast<float>(height) - 21.0f) - textOffset,
                randomState != before};
    }
    // Frames every TICK seconds from TICK up to and including `end`.
    static std::vector<Frame> Run(double end) {
        std::vector<Frame> frames;
        for (int k = 1; k * TICK <= end; ++k) frames.push_back(Step(k * TICK));
        return frames;
    }
};

struct Row {
    double start;
    double length;
    float bannerFrom, bannerTo, textFrom, textTo;
};

void CheckRow(const std::vector<Frame>& frames, const Row& row, float Frame::*value, float from,
              float to) {
    SCOPED_TRACE(testing::Message() << "step starting at " << row.start << " s");
    std::vector<const Frame*> inside;
    for (const Frame& f : frames) {
        if (f.time > row.start && f.time <= row.start + row.length) inside.push_back(&f);
    }
    ASSERT_FALSE(inside.empty());
    if (row.length > 1.0) {
        for (const Frame* f : inside) EXPECT_NEAR(f->*value, to, 1e-3) << "at " << f->time;
        return;
    }
    // A slide: it starts near `from`, moves one way only, passes sin(pi/4) of the way at its
    // middle and reaches `to` exactly at its end.
    EXPECT_NEAR(inside.front()->*value, from, 2.0f);
    for (size_t i = 1; i < inside.size(); ++i) {
        const float step = inside[i]->*value - inside[i - 1]->*value;
        EXPECT_GT(step * (to - from), 0.0f) << "at " << inside[i]->time;
    }
    const Frame* middle = inside[inside.size() / 2 - 1];
    ASSERT_DOUBLE_EQ(middle->time, row.start + 0.5);
    EXPECT_NEAR(middle->*value, from + (to - from) * std::numbers::sqrt2 / 2.0, 1e-3);
    EXPECT_NEAR(inside.back()->*value, to, 1e-3);
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
    const std::vector<Frame> frames = Run(111.0);
    for (const Row& row : rows) {
        CheckRow(frames, row, &Frame::bannerY, row.bannerFrom, row.bannerTo);
        CheckRow(frames, row, &Frame::countdownY, row.textFrom, row.textTo);
    }
}

TEST_F(OverlayMotion, TheFirstPassPutsTheBannerInTheRightCorner) {
    bannerX = 123.0f;
    EXPECT_EQ(Step(TICK).bannerX, W - 256);
    // Only the first pass does so.
    bannerX = 7.0f;
    EXPECT_EQ(Step(2 * TICK).bannerX, 7.0f);
}

TEST_F(OverlayMotion, NothingMovesUntilTheSlideTimeHasCome) {
    overlayTimeBase = 10.0f;
    textOffset = 3.0f;
    const Frame frame = Step(10.0);
    EXPECT_EQ(frame.bannerY, 5.0f);
    EXPECT_EQ(textOffset, 3.0f);
    EXPECT_FALSE(textTurn);
}

TEST_F(OverlayMotion, TheCornerIsDrawnOnceAtTheStartOfEachTextHold) {
    const std::vector<Frame> frames = Run(4 * 94.0 + 1.0);
    std::vector<double> draws;
    for (const Frame& f : frames) {
        if (f.drewRandom) draws.push_back(f.time);
    }
    std::vector<double> expected;
    for (int cycle = 0; cycle < 4; ++cycle) {
        expected.push_back(17.0 + 94.0 * cycle);
        expected.push_back(64.0 + 94.0 * cycle);
    }
    EXPECT_EQ(draws, expected);
}

TEST_F(OverlayMotion, TheDrawPicksTheCorner) {
    std::set<float> corners;
    for (double time = TICK; time < 30 * 94.0; time += TICK) {
        const uint32_t state = randomState;
        const int draw = NextRandom();
        randomState = state;
        const Frame frame = Step(time);
        if (!frame.drewRandom) continue;
        EXPECT_EQ(frame.bannerX, draw % 2 == 1 ? W - 256 : 0) << "at " << time;
        corners.insert(frame.bannerX);
    }
    EXPECT_EQ(corners, (std::set<float>{0.0f, W - 256.0f}));
}

TEST_F(OverlayMotion, ANarrowWindowStillPutsTheRightCornerAtWidthLessTheBanner) {
    EXPECT_EQ(Step(TICK, 200, 150).bannerX, -56.0f);
    int rightPicks = 0;
    for (double time = 2 * TICK; time < 20 * 94.0; time += TICK) {
        const Frame frame = Step(time, 200, 150);
        if (frame.drewRandom && frame.bannerX != 0.0f) {
            EXPECT_EQ(frame.bannerX, -56.0f);
            ++rightPicks;
        }
    }
    EXPECT_GT(rightPicks, 0);
}

TEST_F(OverlayMotion, AtThirtyThreeMillisecondFramesTheCycleStaysNinetyFourSeconds) {
    // Irregular frames around 33 ms: a slide ends on the first frame with t >= 1, so it may
    // overrun by up to one frame, and every hold starts from that frame.
    std::vector<double> turns;
    double time = 0.0;
    bool turn = textTurn;
    for (int k = 0; time < 10 * 94.0 + 3.0; ++k) {
        time += k % 2 == 0 ? 0.030 : 0.036;
        const Frame frame = Step(time);
        if (textTurn != turn) {
            turns.push_back(time);
            turn = textTurn;
            // The hold keeps the values of the frame that ended the slide.
            const float y = frame.bannerY;
            EXPECT_TRUE(std::fabs(y - 5.0f) < 0.1f || std::fabs(y + 35.0f) < 0.1f ||
                        std::fabs(y - h) < 0.1f || std::fabs(y - (h - 40.0f)) < 0.1f)
                << y << " at " << time;
        }
    }
    ASSERT_EQ(turns.size(), 41u);
    EXPECT_GE(turns[0], 1.0);
    EXPECT_LT(turns[0], 1.036);
    for (size_t i = 1; i < turns.size(); ++i) {
        const double hold = i % 2 == 1 ? 15.0 : 30.0;
        EXPECT_GT(turns[i] - turns[i - 1], hold + 1.0 - 1e-3) << i;
        EXPECT_LT(turns[i] - turns[i - 1], hold + 1.0 + 2 * 0.036) << i;
    }
    EXPECT_NEAR(turns[40] - turns[0], 10 * 94.0, 20 * 0.036);
}

TEST(TextLineX, CentresALineOnItsLength) {
    EXPECT_EQ(TextLineX(800, 21), 274.0f);
    EXPECT_EQ(TextLineX(800, 0), 400.0f);
    // Odd widths and lengths keep their halves.
    EXPECT_EQ(TextLineX(801, 1), 394.5f);
}

TEST(GlyphIndex, OnlyCodesWithACellDrawAGlyph) {
    EXPECT_EQ(GlyphIndex('!'), 1);
    EXPECT_EQ(GlyphIndex('A'), 33);
    EXPECT_EQ(GlyphIndex('a'), 65);
    EXPECT_EQ(GlyphIndex('\x7F'), 95);
    EXPECT_EQ(GlyphIndex(' '), -1);
    EXPECT_EQ(GlyphIndex('\t'), -1);
    EXPECT_EQ(GlyphIndex('\x01'), -1);
    for (int code = 128; code < 256; ++code) EXPECT_EQ(GlyphIndex(static_cast<char>(code)), -1);
}

}  // namespace
