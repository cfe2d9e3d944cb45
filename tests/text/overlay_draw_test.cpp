#include <GL/gl.h>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>
#include "render/frame_clock.h"
#include "render/random.h"
#include "render/scene.h"
#include "settings/settings.h"
#include "text/countdown.h"
#include "text/overlay_state.h"
#include "text/text_gl_fixture.h"

namespace {

constexpr double TICK = 1.0 / 32.0;
constexpr const char* MESSAGE = "ABCDEFGHIJKLMNOPQRSTU";  // 21 characters

struct Rect {
    float left, bottom, right, top;
};

std::ostream& operator<<(std::ostream& out, const Rect& r) {
    return out << "(" << r.left << "," << r.bottom << ")-(" << r.right << "," << r.top << ")";
}

bool Near(const Rect& a, const Rect& b) {
    constexpr float tolerance = 1e-3f;
    return std::fabs(a.left - b.left) < tolerance && std::fabs(a.bottom - b.bottom) < tolerance &&
           std::fabs(a.right - b.right) < tolerance && std::fabs(a.top - b.top) < tolerance;
}

// Overlap by more than rounding; quads that merely touch do not overlap.
bool Overlap(const Rect& a, const Rect& b) {
    constexpr float margin = 0.01f;
    return a.left + margin < b.right && b.left + margin < a.right && a.bottom + margin < b.top &&
           b.bottom + margin < a.top;
}

class OverlayDraw : public TextGlTest {
protected:
    void SetUp() override {
        TextGlTest::SetUp();
        savedSettings_ = saverSettings;
        savedRect_ = clientRect;
        BuildBannerList();
        ResetOverlayState();
        SeedRandom(77);
        // Counted down long ago: the line is the fixed closing sentence.
        saverSettings.countToYear = 2002;
        std::strcpy(saverSettings.countMessage, MESSAGE);
        saverSettings.showCountdown = true;
    }
    void TearDown() override {
        saverSettings = savedSettings_;
        clientRect = savedRect_;
        overlayScale = 1.0f;
        ResetOverlayState();
        TextGlTest::TearDown();
    }
    void Window(int width, int height) {
        clientRect = {0, 0, width, height};
        glViewport(0, 0, width, height);
    }
    // Draws the overlay frame by frame up to `end`; the rectangles of the last frame's quads
    // in window coordinates.
    static std::vector<Rect> DrawUntil(double end) {
        for (; frameTime + TICK < end; frameTime += TICK) DrawOverlay();
        frameTime = end;
        return DrawnRects();
    }
    // The quads DrawOverlay draws in this frame, in window coordinates, clipped to the window.
    static std::vector<Rect> DrawnRects() {
        std::vector<GLfloat> buffer(1 << 16);
        glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
        glRenderMode(GL_FEEDBACK);
        DrawOverlay();
        const GLint used = glRenderMode(GL_RENDER);
        std::vector<Rect> rects;
        for (GLint i = 0; i < used;) {
            EXPECT_EQ(buffer[i], GL_POLYGON_TOKEN);
            const int vertices = static_cast<int>(buffer[i + 1]);
            Rect r{1e9f, 1e9f, -1e9f, -1e9f};
            for (int v = 0; v < vertices; ++v) {
                const float x = buffer[i + 2 + 3 * v];
                const float y = buffer[i + 3 + 3 * v];
                r = {std::fmin(r.left, x), std::fmin(r.bottom, y), std::fmax(r.right, x),
                     std::fmax(r.top, y)};
            }
            // A quad lying on the window's edge leaves a flat sliver after clipping.
            if (r.right - r.left < 0.01f || r.top - r.bottom < 0.01f) {
                i += 2 + 3 * vertices;
                continue;
            }
            // Each quad is a strip of two triangles whose bounds overlap; neighbouring quads
            // only touch.
            if (!rects.empty() && Overlap(rects.back(), r)) {
                Rect& last = rects.back();
                last = {std::fmin(last.left, r.left), std::fmin(last.bottom, r.bottom),
                        std::fmax(last.right, r.right), std::fmax(last.top, r.top)};
            } else {
                rects.push_back(r);
            }
            i += 2 + 3 * vertices;
        }
        return rects;
    }
    static std::vector<Rect> LineGlyphs(const std::string& text, int width, float y) {
        std::vector<Rect> rects;
        const float x0 = width / 2.0f - 6.0f * text.size();
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == ' ') continue;
            const float x = x0 + 12.0f * i;
            rects.push_back({x - 6.0f, y - 6.0f, x + 6.0f, y + 6.0f});
        }
        return rects;
    }

private:
    SaverSettings savedSettings_;
    RECT savedRect_{};
};

TEST_F(OverlayDraw, TheTextHoldShowsBothLinesCentredAtTheTop) {
    Window(800, 600);
    frameTime = 0.0;
    const std::vector<Rect> drawn = DrawUntil(30.0);
    // The countdown line at H - 26, the message 11 units above it, no banner.
    std::vector<Rect> expected = LineGlyphs(COUNTDOWN_OVER_TEXT, 800, 574.0f);
    const std::vector<Rect> message = LineGlyphs(MESSAGE, 800, 585.0f);
    expected.insert(expected.end(), message.begin(), message.end());
    ASSERT_EQ(drawn.size(), expected.size());
    for (size_t i = 0; i < drawn.size(); ++i) EXPECT_TRUE(Near(drawn[i], expected[i])) << i;
    EXPECT_EQ(message.front().left + 6.0f, 274.0f);
}

TEST_F(OverlayDraw, TheBannerHoldShowsOnlyTheBannerInItsCorner) {
    Window(800, 600);
    frameTime = 0.0;
    const std::vector<Rect> bottom = DrawUntil(10.0);
    ASSERT_EQ(bottom.size(), 1u);
    EXPECT_TRUE(Near(bottom[0], {544, 5, 800, 37})) << bottom[0];
    // After the text hold the banner comes in at the top, in the corner drawn for it.
    const std::vector<Rect> top = DrawUntil(55.0);
    ASSERT_EQ(top.size(), 1u);
    EXPECT_TRUE(bannerX == 0.0f || bannerX == 544.0f) << bannerX;
    EXPECT_TRUE(Near(top[0], {bannerX, 560, bannerX + 256, 592})) << top[0];
}

TEST_F(OverlayDraw, WithoutTheCountdownTheBannerStillComesEveryFortySevenSeconds) {
    saverSettings.showCountdown = false;
    Window(640, 480);
    std::vector<double> arrivals;
    bool resting = false;
    // Coarser frames keep the test quick; slides still end exactly on a frame.
    for (frameTime = 0.125; frameTime <= 200.0; frameTime += 0.125) {
        const std::vector<Rect> drawn = DrawnRects();
        ASSERT_LE(drawn.size(), 1u) << "at " << frameTime;
        const bool now = drawn.size() == 1 && (Near(drawn[0], {bannerX, 5, bannerX + 256, 37}) ||
                                               Near(drawn[0], {bannerX, 440, bannerX + 256, 472}));
        if (now && !resting) arrivals.push_back(frameTime);
        resting = now;
    }
    EXPECT_EQ(arrivals, (std::vector<double>{1.0, 48.0, 95.0, 142.0, 189.0}));
}

TEST_F(OverlayDraw, AtTwiceTheDpiOnTwiceThePixelsEveryQuadIsTwiceAsLarge) {
    const auto run = [this](int width, int height, float scale) {
        ResetOverlayState();
        SeedRandom(5);
        Window(width, height);
        overlayScale = scale;
        std::vector<std::vector<Rect>> frames;
        // Two full cycles: both banner corners, both edges, every slide.
        for (frameTime = 0.25; frameTime <= 190.0; frameTime += 0.25)
            frames.push_back(DrawnRects());
        return frames;
    };
    const auto normal = run(480, 360, 1.0f);
    const auto doubled = run(960, 720, 2.0f);
    ASSERT_EQ(doubled.size(), normal.size());
    for (size_t frame = 0; frame < normal.size(); ++frame) {
        ASSERT_EQ(doubled[frame].size(), normal[frame].size()) << "frame " << frame;
        for (size_t i = 0; i < normal[frame].size(); ++i) {
            const Rect& r = normal[frame][i];
            ASSERT_TRUE(Near(doubled[frame][i], {2 * r.left, 2 * r.bottom, 2 * r.right, 2 * r.top}))
                << "frame " << frame << ": " << doubled[frame][i] << " for " << r;
        }
    }
}

TEST_F(OverlayDraw, At144DpiTheBannerHoldsInItsCornerHalfAsLargeAgain) {
    saverSettings.showCountdown = false;
    Window(1536, 864);
    overlayScale = OverlayScaleFor(144);
    frameTime = 0.0;
    const std::vector<Rect> drawn = DrawUntil(10.0);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_TRUE(Near(drawn[0], {1536 - 384, 7.5f, 1536, 7.5f + 48})) << drawn[0];
}

TEST(OverlayScaleFor, FollowsTheDpiAboveNinetySixOnly) {
    EXPECT_EQ(OverlayScaleFor(96), 1.0f);
    EXPECT_EQ(OverlayScaleFor(72), 1.0f);
    EXPECT_EQ(OverlayScaleFor(120), 1.25f);
    EXPECT_EQ(OverlayScaleFor(192), 2.0f);
}

}  // namespace
