#include <GL/gl.h>
#include <cmath>
#include <cstring>
#include <vector>
#include "render/frame_clock.h"
#include "render/random.h"
#include "render/scene.h"
#include "settings/settings.h"
#include "text/overlay_state.h"
#include "text/text_gl_fixture.h"

namespace {

class OverlayScale : public TextGlTest {
protected:
    void SetUp() override {
        TextGlTest::SetUp();
        savedSettings_ = saverSettings;
        savedRect_ = clientRect;
        BuildBannerList();
        saverSettings.countToYear = 2002;
        std::strcpy(saverSettings.countMessage, "Back at twelve");
        saverSettings.showCountdown = true;
    }
    void TearDown() override {
        saverSettings = savedSettings_;
        clientRect = savedRect_;
        overlayScale = 1.0f;
        ResetOverlayState();
        TextGlTest::TearDown();
    }
    // The window positions of every vertex the overlay draws, frame by frame, from a fresh
    // start in a width x height window at the given scale.
    static std::vector<std::vector<float>> Run(int width, int height, float scale, double end) {
        ResetOverlayState();
        SeedRandom(5);
        clientRect = {0, 0, width, height};
        overlayScale = scale;
        glViewport(0, 0, width, height);
        std::vector<std::vector<float>> frames;
        for (frameTime = 0.25; frameTime <= end; frameTime += 0.25) frames.push_back(Vertices());
        return frames;
    }
    static std::vector<float> Vertices() {
        std::vector<GLfloat> buffer(1 << 16);
        glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_2D, buffer.data());
        glRenderMode(GL_FEEDBACK);
        DrawOverlay();
        const GLint used = glRenderMode(GL_RENDER);
        std::vector<float> positions;
        for (GLint i = 0; i < used;) {
            const int count = static_cast<int>(buffer[i + 1]);
            positions.insert(positions.end(), &buffer[i + 2], &buffer[i + 2 + 2 * count]);
            i += 2 + 2 * count;
        }
        return positions;
    }

private:
    SaverSettings savedSettings_;
    RECT savedRect_{};
};

TEST_F(OverlayScale, DoubleDpiDrawsTheSameOverlayTwiceAsLarge) {
    // Two full cycles: both banner corners, both edges, every slide.
    const auto normal = Run(480, 360, 1.0f, 190.0);
    const auto doubled = Run(960, 720, 2.0f, 190.0);
    ASSERT_EQ(normal.size(), doubled.size());
    size_t compared = 0;
    for (size_t frame = 0; frame < normal.size(); ++frame) {
        ASSERT_EQ(doubled[frame].size(), normal[frame].size()) << "frame " << frame;
        for (size_t i = 0; i < normal[frame].size(); ++i, ++compared) {
            ASSERT_NEAR(doubled[frame][i], 2.0f * normal[frame][i], 0.01f) << "frame " << frame;
        }
    }
    EXPECT_GT(compared, 10000u);
}

TEST_F(OverlayScale, AtOneAndAHalfTheBannerHoldsInTheCornerAtItsScaledSize) {
    saverSettings.showCountdown = false;
    const std::vector<float> banner = Run(1536, 864, OverlayScaleFor(144), 10.0).back();
    ASSERT_EQ(banner.size(), 6u * 2u);  // two triangles
    float left = 1e9f, bottom = 1e9f, right = -1e9f, top = -1e9f;
    for (size_t i = 0; i < banner.size(); i += 2) {
        left = std::fmin(left, banner[i]);
        right = std::fmax(right, banner[i]);
        bottom = std::fmin(bottom, banner[i + 1]);
        top = std::fmax(top, banner[i + 1]);
    }
    EXPECT_NEAR(left, 1536.0f - 384.0f, 0.01f);
    EXPECT_NEAR(right, 1536.0f, 0.01f);
    EXPECT_NEAR(bottom, 7.5f, 0.01f);
    EXPECT_NEAR(top, 7.5f + 48.0f, 0.01f);
}

TEST(OverlayScaleFor, FollowsTheDpiAboveNinetySixOnly) {
    EXPECT_EQ(OverlayScaleFor(96), 1.0f);
    EXPECT_EQ(OverlayScaleFor(72), 1.0f);
    EXPECT_EQ(OverlayScaleFor(120), 1.25f);
    EXPECT_EQ(OverlayScaleFor(192), 2.0f);
}

}  // namespace
