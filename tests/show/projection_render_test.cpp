#include <GL/gl.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <vector>
#include "show/show_fixture.h"

namespace {

constexpr int SIZE = 256;
constexpr int PICTURE_SIDE = 128;

struct Pixel {
    int r, g, b;
    bool Lit() const { return r + g + b > 60; }
    bool BeamBlue() const { return b > 25 && r < 8 && g < 8; }
    bool White() const { return r > 120 && g > 120 && b > 120; }
    bool Red() const { return r > 120 && g < 40 && b < 40; }
};

struct Box {
    int left = SIZE, right = -1, top = SIZE, bottom = -1;
};

class Image {
public:
    explicit Image(std::vector<uint8_t> rgba) : rgba_(std::move(rgba)) {}
    // x from the left, y from the top.
    Pixel At(int x, int y) const {
        const size_t i = (static_cast<size_t>(SIZE - 1 - y) * SIZE + x) * 4;
        return {rgba_[i], rgba_[i + 1], rgba_[i + 2]};
    }
    int Count(bool (Pixel::*test)() const) const {
        int count = 0;
        for (int y = 0; y < SIZE; ++y) {
            for (int x = 0; x < SIZE; ++x) count += (At(x, y).*test)() ? 1 : 0;
        }
        return count;
    }
    Box BoxOf(bool (Pixel::*test)() const) const {
        Box box;
        for (int y = 0; y < SIZE; ++y) {
            for (int x = 0; x < SIZE; ++x) {
                if (!(At(x, y).*test)()) continue;
                box = {std::min(box.left, x), std::max(box.right, x), std::min(box.top, y),
                       std::max(box.bottom, y)};
            }
        }
        return box;
    }

private:
    std::vector<uint8_t> rgba_;
};

// The hologram's picture replaced by one of our own, opaque, red across its top quarter and
// white below, so that its rows and its orientation can be told on screen.
void UseTestPicture() {
    std::vector<uint8_t> pixels(PICTURE_SIDE * PICTURE_SIDE * 4, 255);
    for (int i = 0; i < PICTURE_SIDE * PICTURE_SIDE / 4; ++i) pixels[i * 4 + 1] = 0;
    for (int i = 0; i < PICTURE_SIDE * PICTURE_SIDE / 4; ++i) pixels[i * 4 + 2] = 0;
    glBindTexture(GL_TEXTURE_2D, textureSlots[2]);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, PICTURE_SIDE, PICTURE_SIDE, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, pixels.data());
    holoHalfWidth = 1.0f;
}

// The real scene in a small window, without the robot's own lists: what is seen is what the
// projector draws.
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
        RenderFrame(frameTime + FRAME);
        if (showStep == SHOW_POSE && poseFrames == 1) UseTestPicture();
        return Image(ReadBackBuffer(SIZE, SIZE));
    }
    // Frames until `done` holds after one; the image of that frame.
    Image FrameWhen(const std::function<bool()>& done) {
        Image image = Frame();
        for (int i = 0; i < 3600 && !done(); ++i) image = Frame();
        EXPECT_TRUE(done());
        return image;
    }
};

TEST_F(ProjectionRenderTest, BeamIsBlueWhileOpenAndNothingIsProjectedWhileWaiting) {
    EXPECT_EQ(FrameWhen([] { return leanAmount == 1.0; }).Count(&Pixel::Lit), 0);
    const Image opening = FrameWhen([] { return showStep == SHOW_OPEN && beamScale > 0.6; });
    EXPECT_GT(opening.Count(&Pixel::BeamBlue), 300);
    const Image closed = FrameWhen([] { return showStep == SHOW_WAIT; });
    EXPECT_EQ(closed.Count(&Pixel::Lit), 0);
}

TEST_F(ProjectionRenderTest, HoldShowsThePictureRowsInAlternatingBrightness) {
    const Image hold =
        FrameWhen([] { return holoPhase == HOLO_HOLD && sweepRow > 30.0f && glitchClock >= 0.3f; });
    const Box white = hold.BoxOf(&Pixel::White);
    ASSERT_GT(white.right - white.left, 30);
    ASSERT_GT(white.bottom - white.top, 20);
    // Down the middle of the picture the brightness keeps turning from rising to falling.
    const int x = (white.left + white.right) / 2;
    int turns = 0, direction = 0;
    for (int y = white.top + 1; y < (white.top + white.bottom) / 2; ++y) {
        const int step = hold.At(x, y).g - hold.At(x, y - 1).g;
        const int sign = (step > 0) - (step < 0);
        turns += sign != 0 && direction != 0 && sign != direction ? 1 : 0;
        direction = sign != 0 ? sign : direction;
    }
    EXPECT_GE(turns, 6);
    // The picture's top is up: going down that column, red comes before white.
    int firstRed = SIZE, firstWhite = SIZE;
    for (int y = SIZE - 1; y >= 0; --y) {
        if (hold.At(x, y).Red()) firstRed = y;
        if (hold.At(x, y).White()) firstWhite = y;
    }
    EXPECT_LT(firstRed, firstWhite);
}

TEST_F(ProjectionRenderTest, FloorPictureStandsUprightFacingTheViewerWhateverTheBodyTurn) {
    for (const float body : {-90.0f, 0.0f, 90.0f}) {
        currentIndex = nextIndex = FirstIndexWithFlags(PF_FLOOR);
        ASSERT_TRUE(LoadShowItem(pictureCatalogue[currentIndex]));
        UseTestPicture();
        showStep = SHOW_PLAY;
        beamScale = leanAmount = 1.0;
        headYaw = -17.5f;
        bodyYaw = body;
        holoPhase = HOLO_HOLD;
        sweepRow = 36.0f;
        holdUntil = 1e9;
        const Image image = Frame();
        const Box white = image.BoxOf(&Pixel::White);
        const Box red = image.BoxOf(&Pixel::Red);
        ASSERT_LT(white.left, white.right) << body;
        EXPECT_LT(red.bottom, white.top + 3) << body;
        // Upright: every row of the picture starts and ends in the same columns.
        for (int y = red.top + 1; y < white.bottom - 8; ++y) {
            Box row;
            for (int x = 0; x < SIZE; ++x) {
                if (image.At(x, y).White() || image.At(x, y).Red()) {
                    row = {std::min(row.left, x), std::max(row.right, x)};
                }
            }
            EXPECT_NEAR(row.left, white.left, 2) << "row " << y << ", body " << body;
            EXPECT_NEAR(row.right, white.right, 2) << "row " << y << ", body " << body;
        }
        // Facing the viewer, it keeps its proportions: 1.9 high, 2 wide, a quarter of it red.
        const double height = white.bottom - red.top + 1;
        EXPECT_NEAR(height / (white.right - white.left + 1), 0.95, 0.06) << body;
        EXPECT_NEAR((red.bottom - red.top + 1) / height, 0.25, 0.04) << body;
    }
}

TEST_F(ProjectionRenderTest, AimedLensRisesTwentyDegreesOrDipsFortyInTheFloorPose) {
    struct Case {
        bool floor;
        double lean, elevation;
    };
    for (const Case c : {Case{false, 0.0, 20.0}, Case{false, 1.0, 20.0}, Case{true, 1.0, -40.0}}) {
        currentIndex = FirstIndexWithFlags(c.floor ? PF_FLOOR : PF_FRONT);
        showStep = SHOW_PLAY;
        leanAmount = c.lean;
        leaning = c.lean == 1.0;
        bodyYaw = 0.0f;
        headYaw = -17.5f;
        frameDelta = 0.0;
        UpdateRobotPose();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        ApplyBodyFrame();
        ApplyDomeFrame();
        ApplyLensFrame();
        GLdouble m[16];
        glGetDoublev(GL_MODELVIEW_MATRIX, m);
        // The lens axis, towards the viewer.
        EXPECT_NEAR(std::asin(m[9]) * 180.0 / 3.14159265358979, c.elevation, 0.5) << c.floor;
        EXPECT_GT(m[10], 0.7);
        EXPECT_NEAR(m[8], 0.0, 0.02);
    }
}

}  // namespace
