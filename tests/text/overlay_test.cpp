// What the overlay's frames draw: its lines and banner in place, upright, and scaled by DPI.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <cwchar>
#include <vector>
#include "render/frame_clock.h"
#include "render/random.h"
#include "render/scene.h"
#include "settings/settings.h"
#include "support/gl_fixture.h"
#include "text/overlay.h"
#include "textures/texture_loader.h"

namespace {

// A power-of-two frame step keeps every frame time and slide end exact.
constexpr double TICK = 1.0 / 32.0;

class OverlayDraw : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        BuildFont();
        BuildBannerList();
        saved_ = saverSettings;
        overlay = {};
        SeedRandom(77);
        scene.clientRect = {0, 0, 800, 600};
        // Counted down long ago: the line is the closing sentence.
        saverSettings.countToYear = 2002;
        std::wcscpy(saverSettings.countMessage, L"ABCDEFGHIJKLMNOPQRSTU");
    }
    void TearDown() override {
        saverSettings = saved_;
        scene = {};
        overlay = {};
        ReleaseGlyphTextures();
        GlTest::TearDown();
    }
    // The quads of one overlay frame at frame time `time`, each as its middle and its size in
    // window pixels (the feedback viewport is 256 x 256) and, in the size's third place, the
    // texture coordinates of its top left corner added up.
    static std::vector<std::pair<P3, P3>> DrawnAt(double time) {
        const int width = scene.clientRect.right, height = scene.clientRect.bottom;
        StepOverlay(time, width, height, overlay.overlayScale);
        const Fed fed = Feed([&] { DrawOverlay(width, height); }, true);
        const double pixels[2] = {scene.clientRect.right / 256.0, scene.clientRect.bottom / 256.0};
        std::vector<std::pair<P3, P3>> quads;
        for (size_t f = 0; f + 1 < fed.size(); f += 2) {
            P3 low{1e9, 1e9, 0}, high{-1e9, -1e9, 0};
            const FedVertex* topLeft = &fed[f][0];
            for (size_t i = 0; i < 6; ++i) {
                const P3 p = fed[f + i / 3][i % 3].p;
                const P3 corner = topLeft->p;
                if (p[0] < corner[0] - 1e-3 || (p[0] < corner[0] + 1e-3 && p[1] > corner[1]))
                    topLeft = &fed[f + i / 3][i % 3];
                for (int axis = 0; axis < 2; ++axis) {
                    low[axis] = std::min(low[axis], p[axis] * pixels[axis]);
                    high[axis] = std::max(high[axis], p[axis] * pixels[axis]);
                }
            }
            const P3 size = high - low;
            quads.push_back({0.5 * (low + high), {size[0], size[1], topLeft->s + topLeft->t}});
        }
        return quads;
    }
    // The overlay run frame by frame up to `time`, then that frame's quads.
    static std::vector<std::pair<P3, P3>> QuadsAt(double time) {
        for (frameClock.frameTime = TICK; frameClock.frameTime < time; frameClock.frameTime += TICK)
            StepOverlay(frameClock.frameTime, scene.clientRect.right, scene.clientRect.bottom,
                        overlay.overlayScale);
        return DrawnAt(time);
    }
    SaverSettings saved_;
};

// Also upright and unmirrored: the top left corner shows the picture's top left (0, 0).
void ExpectQuad(const std::pair<P3, P3>& quad, P3 middle, P3 size) {
    for (int axis = 0; axis < 2; ++axis) {
        EXPECT_NEAR(quad.first[axis], middle[axis], 0.05) << axis;
        EXPECT_NEAR(quad.second[axis], size[axis], 0.05) << axis;
    }
    EXPECT_EQ(quad.second[2], size[2]);
}

// The reference frames hold the lines' and the banner's places with the countdown shown.
TEST_F(OverlayDraw, WithoutTheCountdownTheTextHoldShowsNothing) {
    ASSERT_FALSE(QuadsAt(30.0).empty());
    saverSettings.showCountdown = false;
    overlay = {};
    EXPECT_TRUE(QuadsAt(30.0).empty());
}

TEST_F(OverlayDraw, AtTwiceTheDpiOnTwiceThePixelsEveryQuadIsTwiceAsLarge) {
    const auto run = [](int width, int height, float scale) {
        overlay = {};
        SeedRandom(5);
        scene.clientRect = {0, 0, width, height};
        overlay.overlayScale = scale;
        // Two full cycles: both banner corners, both edges, every slide.
        std::vector<std::vector<std::pair<P3, P3>>> frames;
        for (double time = 0.25; time <= 190.0; time += 0.25) frames.push_back(DrawnAt(time));
        return frames;
    };
    const auto normal = run(480, 360, 1.0f);
    const auto doubled = run(960, 720, 2.0f);
    ASSERT_EQ(doubled.size(), normal.size());
    for (size_t frame = 0; frame < normal.size(); ++frame) {
        ASSERT_EQ(doubled[frame].size(), normal[frame].size()) << "frame " << frame;
        for (size_t i = 0; i < normal[frame].size(); ++i) {
            const auto& [middle, size] = normal[frame][i];
            ExpectQuad(doubled[frame][i], 2.0 * middle, {2.0 * size[0], 2.0 * size[1], size[2]});
        }
    }
}

TEST(OverlayScaleFor, FollowsTheDpiAboveNinetySixOnly) {
    EXPECT_EQ(OverlayScaleFor(96), 1.0f);
    EXPECT_EQ(OverlayScaleFor(72), 1.0f);
    EXPECT_EQ(OverlayScaleFor(120), 1.25f);
    EXPECT_EQ(OverlayScaleFor(192), 2.0f);
}

}  // namespace
