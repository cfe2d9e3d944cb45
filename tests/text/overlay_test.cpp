// The overlay's 94-second cycle of banner and text lines, and what its frames draw.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <cmath>
#include <cstring>
#include <numbers>
#include <set>
#include <string>
#include <vector>
#include "render/frame_clock.h"
#include "render/random.h"
#include "render/scene.h"
#include "settings/settings.h"
#include "support/gl_fixture.h"
#include "text/countdown.h"
#include "text/overlay.h"
#include "text/overlay_state.h"
#include "textures/texture_loader.h"

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

class OverlayDraw : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        BuildFont();
        BuildBannerList();
        saved_ = saverSettings;
        ResetOverlayState();
        SeedRandom(77);
        clientRect = {0, 0, 800, 600};
        // Counted down long ago: the line is the closing sentence.
        saverSettings.countToYear = 2002;
        std::strcpy(saverSettings.countMessage, "ABCDEFGHIJKLMNOPQRSTU");
    }
    void TearDown() override {
        saverSettings = saved_;
        clientRect = {};
        ResetOverlayState();
        ReleaseGlyphTextures();
        GlTest::TearDown();
    }
    // The overlay run frame by frame up to `time`; the quads of that frame as middle and size in
    // overlay units (the feedback viewport is 256 x 256).
    static std::vector<std::pair<P3, P3>> QuadsAt(double time) {
        for (frameTime = TICK; frameTime < time; frameTime += TICK)
            StepOverlay(frameTime, 800, 600);
        frameTime = time;
        const Fed fed = Feed([] { DrawOverlay(); }, true);
        std::vector<std::pair<P3, P3>> quads;
        for (size_t f = 0; f + 1 < fed.size(); f += 2) {
            P3 low{1e9, 1e9, 0}, high{-1e9, -1e9, 0};
            for (size_t i = 0; i < 6; ++i) {
                const P3 p = fed[f + i / 3][i % 3].p;
                for (int axis = 0; axis < 2; ++axis) {
                    const double scaled = p[axis] * (axis == 0 ? 800.0 : 600.0) / 256.0;
                    low[axis] = std::min(low[axis], scaled);
                    high[axis] = std::max(high[axis], scaled);
                }
            }
            quads.push_back({0.5 * (low + high), high - low});
        }
        return quads;
    }
    SaverSettings saved_;
};

TEST_F(OverlayDraw, TextHoldShowsBothLinesCentredAtTheTopThenTheBannerInItsCorner) {
    const auto text = QuadsAt(30.0);
    std::vector<P3> expected;
    for (const auto& [line, y] : {std::pair<std::string, double>{COUNTDOWN_OVER_TEXT, 574.0},
                                  {saverSettings.countMessage, 585.0}}) {
        for (size_t i = 0; i < line.size(); ++i) {
            if (line[i] != ' ') expected.push_back({400.0 - 6.0 * line.size() + 12.0 * i, y, 0});
        }
    }
    EXPECT_EQ(expected.back()[0] - 12.0 * 20, 274.0) << "a 21-character line starts at 274";
    ASSERT_EQ(text.size(), expected.size());
    for (size_t q = 0; q < text.size(); ++q) {
        EXPECT_NEAR(text[q].first[0], expected[q][0], 0.05) << q;
        EXPECT_NEAR(text[q].first[1], expected[q][1], 0.05) << q;
        EXPECT_NEAR(text[q].second[0], 12.0, 0.05) << q;
        EXPECT_NEAR(text[q].second[1], 12.0, 0.05) << q;
    }
    const auto banner = QuadsAt(55.0);
    ASSERT_EQ(banner.size(), 1u);
    EXPECT_TRUE(bannerX == 0.0f || bannerX == 544.0f) << bannerX;
    EXPECT_NEAR(banner[0].first[0], bannerX + 128.0, 0.05);
    EXPECT_NEAR(banner[0].first[1], 576.0, 0.05);
    EXPECT_NEAR(banner[0].second[0], 256.0, 0.05);
    EXPECT_NEAR(banner[0].second[1], 32.0, 0.05);
    // Without the countdown the text hold shows nothing.
    saverSettings.showCountdown = false;
    ResetOverlayState();
    EXPECT_TRUE(QuadsAt(30.0).empty());
}

}  // namespace
