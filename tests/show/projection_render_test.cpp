#include <GL/gl.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>
#include "show/show_fixture.h"

namespace {

constexpr int SIZE = 256;
constexpr double FRAME = 1.0 / 30.0;
constexpr int PICTURE_SIDE = 128;
constexpr int RED_ROWS = 32;

struct Pixel {
    int r, g, b;
};

class Image {
public:
    explicit Image(std::vector<uint8_t> rgba) : rgba_(std::move(rgba)) {}
    // x from the left, y from the top.
    Pixel At(int x, int y) const {
        const size_t i = (static_cast<size_t>(SIZE - 1 - y) * SIZE + x) * 4;
        return {rgba_[i], rgba_[i + 1], rgba_[i + 2]};
    }
    int Count(const std::function<bool(Pixel)>& test) const {
        int count = 0;
        for (int y = 0; y < SIZE; ++y) {
            for (int x = 0; x < SIZE; ++x) count += test(At(x, y)) ? 1 : 0;
        }
        return count;
    }

private:
    std::vector<uint8_t> rgba_;
};

bool IsBeamBlue(Pixel p) {
    return p.b > 25 && p.r < 8 && p.g < 8;
}

bool IsLit(Pixel p) {
    return p.r + p.g + p.b > 60;
}

// The hologram's own picture: opaque, red across its top rows and white below, so that its
// rows and its orientation can be told on screen.
void ReplaceHologramPicture() {
    std::vector<uint8_t> pixels(PICTURE_SIDE * PICTURE_SIDE * 4, 255);
    for (int y = 0; y < RED_ROWS; ++y) {
        for (int x = 0; x < PICTURE_SIDE; ++x) {
            pixels[(y * PICTURE_SIDE + x) * 4 + 1] = 0;
            pixels[(y * PICTURE_SIDE + x) * 4 + 2] = 0;
        }
    }
    glBindTexture(GL_TEXTURE_2D, textureSlots[2]);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, PICTURE_SIDE, PICTURE_SIDE, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, pixels.data());
    holoHalfWidth = 1.0f;
}

int FloorIndex() {
    for (int i = 16; i < CATALOGUE_SIZE; ++i) {
        if (pictureCatalogue[i].flags == PF_FLOOR) return i;
    }
    return -1;
}

// The real scene in a small window; the robot's own lists are left out, so that what is seen
// is what the projector draws.
class ProjectionRenderTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        ResetShowState(2024);
        clientRect = {0, 0, SIZE, SIZE};
        overlayDisabled = true;
        InitRenderState();
        glDeleteLists(LIST_BODY, LIST_CENTRE_FOOT - LIST_BODY + 1);
    }
    void TearDown() override {
        ReleaseScene();
        glDeleteLists(LIST_PROJECTION, LIST_BEAM);
        ResetShowState(1);
        GlTest::TearDown();
    }

    Image Frame() {
        time_ += FRAME;
        RenderFrame(time_);
        if (showStep == SHOW_POSE && poseFrames == 1) ReplaceHologramPicture();
        return Image(ReadBackBuffer(SIZE, SIZE));
    }
    // Frames until `done` holds after one; the image of that frame.
    Image RunUntil(const std::function<bool()>& done, double seconds) {
        Image image = Frame();
        for (int i = 0; i < seconds / FRAME && !done(); ++i) image = Frame();
        EXPECT_TRUE(done());
        return image;
    }

    double time_ = 0.0;
};

TEST_F(ProjectionRenderTest, BeamIsBlueWhileOpenAndNothingIsProjectedWhileWaiting) {
    Image waiting = RunUntil([] { return leanAmount == 1.0; }, 5.0);
    EXPECT_EQ(showStep, SHOW_WAIT);
    EXPECT_EQ(waiting.Count(IsLit), 0);

    const Image opening = RunUntil([] { return showStep == SHOW_OPEN && beamScale > 0.6; }, 60.0);
    EXPECT_GT(opening.Count(IsBeamBlue), 300);

    const Image closed = RunUntil([] { return showStep == SHOW_WAIT; }, 60.0);
    EXPECT_EQ(closed.Count(IsLit), 0);
    EXPECT_EQ(closed.Count(IsBeamBlue), 0);
}

// Brightness down one screen column through the picture, and how often it turns from rising to
// falling: the rows alternate between two brightnesses.
int CountRowTurns(const Image& image, int x, int top, int bottom) {
    int turns = 0, direction = 0;
    for (int y = top + 1; y <= bottom; ++y) {
        const int step = image.At(x, y).g - image.At(x, y - 1).g;
        const int sign = (step > 0) - (step < 0);
        if (sign != 0 && sign != direction) {
            if (direction != 0) ++turns;
            direction = sign;
        }
    }
    return turns;
}

TEST_F(ProjectionRenderTest, HologramShowsThePictureRowsDuringTheHold) {
    const Image hold = RunUntil(
        [] { return holoPhase == HOLO_HOLD && sweepRow > 30.0f && glitchClock >= 0.3f; }, 60.0);
    ASSERT_EQ(showStep, SHOW_PLAY);
    // The white part of the picture, away from the bright scan line near its bottom.
    int left = SIZE, right = -1, top = SIZE, bottom = -1;
    for (int y = 0; y < SIZE; ++y) {
        for (int x = 0; x < SIZE; ++x) {
            const Pixel p = hold.At(x, y);
            if (p.g > 120 && p.r > 120) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    ASSERT_LT(left, right);
    EXPECT_GT(right - left, 30);
    EXPECT_GT(bottom - top, 20);
    const int column = (left + right) / 2;
    EXPECT_GE(CountRowTurns(hold, column, top + 2, top + (bottom - top) / 2), 6);
    // The red rows of the picture's top stand above the white ones.
    int redAbove = 0;
    for (int y = std::max(0, top - 25); y < top; ++y) {
        const Pixel p = hold.At(column, y);
        redAbove += (p.r > 120 && p.g < 40) ? 1 : 0;
    }
    EXPECT_GT(redAbove, 3);
}

struct Box {
    int left = SIZE, right = -1, top = SIZE, bottom = -1;
};

Box BoxOf(const Image& image, const std::function<bool(Pixel)>& test) {
    Box box;
    for (int y = 0; y < SIZE; ++y) {
        for (int x = 0; x < SIZE; ++x) {
            if (!test(image.At(x, y))) continue;
            box.left = std::min(box.left, x);
            box.right = std::max(box.right, x);
            box.top = std::min(box.top, y);
            box.bottom = std::max(box.bottom, y);
        }
    }
    return box;
}

bool IsWhite(Pixel p) {
    return p.r > 120 && p.g > 120 && p.b > 120;
}

bool IsRed(Pixel p) {
    return p.r > 120 && p.g < 40 && p.b < 40;
}

// Poses the robot for a floor item in mid-hold, as the director leaves it.
void PoseForFloorPicture(float body) {
    currentIndex = nextIndex = FloorIndex();
    ASSERT_TRUE(LoadShowItem(pictureCatalogue[currentIndex]));
    ReplaceHologramPicture();
    showStep = SHOW_PLAY;
    beamScale = 1.0;
    leaning = true;
    leanAmount = 1.0;
    headYaw = -17.5f;
    bodyYaw = body;
    holoPhase = HOLO_HOLD;
    sweepRow = 36.0f;
    holdUntil = 1e9;
}

TEST_F(ProjectionRenderTest, FloorPictureFrameFacesTheViewerWhateverTheBodyTurn) {
    for (const float body : {-100.0f, -37.5f, 0.0f, 55.0f, 99.0f}) {
        PoseForFloorPicture(body);
        frameDelta = 0.0;
        UpdateRobotPose();
        ASSERT_EQ(leanAngle, -20.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        ApplyBodyFrame();
        ApplyDomeFrame();
        ApplyLensFrame();
        ApplyPictureFrame();
        GLdouble m[16];
        glGetDoublev(GL_MODELVIEW_MATRIX, m);
        for (int column = 0; column < 3; ++column) {
            for (int row = 0; row < 3; ++row) {
                EXPECT_NEAR(m[column * 4 + row], column == row ? 1.0 : 0.0, 0.01)
                    << "body " << body << " element " << row << "," << column;
            }
        }
    }
}

TEST_F(ProjectionRenderTest, FloorPictureStandsUprightOnScreen) {
    for (const float body : {-90.0f, 0.0f, 90.0f}) {
        PoseForFloorPicture(body);
        const Image image = Frame();
        const Box white = BoxOf(image, IsWhite);
        const Box red = BoxOf(image, IsRed);
        ASSERT_LT(white.left, white.right) << body;
        ASSERT_LT(red.left, red.right) << body;
        EXPECT_LT(red.bottom, white.top + 3) << "the picture's top is up, body " << body;
        EXPECT_NEAR(red.left, white.left, 2);
        EXPECT_NEAR(red.right, white.right, 2);
        // Its sides are upright: every white row starts and ends in the same columns.
        for (int y = white.top + 2; y < white.bottom - 8; ++y) {
            int first = SIZE, last = -1;
            for (int x = 0; x < SIZE; ++x) {
                if (!IsWhite(image.At(x, y)) && !IsRed(image.At(x, y))) continue;
                first = std::min(first, x);
                last = std::max(last, x);
            }
            EXPECT_NEAR(first, white.left, 2) << "row " << y << ", body " << body;
            EXPECT_NEAR(last, white.right, 2) << "row " << y << ", body " << body;
        }
        // Facing the viewer, it keeps its proportions: 1.9 high, 2 wide, a quarter of it red.
        const double width = white.right - white.left + 1;
        const double height = white.bottom - red.top + 1;
        EXPECT_NEAR(height / width, 0.95, 0.06) << body;
        EXPECT_NEAR((red.bottom - red.top + 1) / height, 0.25, 0.04) << body;
    }
}

}  // namespace
