#include <gtest/gtest.h>
#include <windows.h>
#include <GL/gl.h>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>
#include "render/scene.h"
#include "robot/robot_model.h"
#include "settings/settings.h"
#include "support/gl_fixture.h"
#include "textures/texture_loader.h"

namespace {

constexpr int SIZE = 256;

// Pieces of the robot, so that each one's pixels in the whole picture can be found.
enum Piece : unsigned {
    BODY = 1,
    CENTRE_LEG = 2,
    CENTRE_FOOT = 4,
    SIDE_LEGS = 8,
    SIDE_FEET = 16,
    DOME = 32,
    MAIN_LENS = 64,
    DOME_LENSES = 128,
    WHOLE_ROBOT = BODY | CENTRE_LEG | CENTRE_FOOT | SIDE_LEGS | SIDE_FEET | DOME | MAIN_LENS,
};

void CallIf(unsigned pieces, unsigned piece, GLuint list) {
    if ((pieces & piece) != 0) glCallList(list);
}

// The robot placed as the animation places it at rest: upright, unturned (body yaw -180 is a
// drawn rotation of 0), dome at its 162 degrees, lens pitched 20 degrees down.
void DrawRobotAtRest(unsigned pieces) {
    SetProjection(SIZE, SIZE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushMatrix();
    glColor3f(1.0f, 1.0f, 1.0f);
    glTranslatef(0.0f, 0.0f, -10.0f);
    CallIf(pieces, BODY, LIST_BODY);
    glPushMatrix();
    glTranslatef(0.0f, -0.7f, 0.0f);
    CallIf(pieces, CENTRE_LEG, LIST_CENTRE_LEG);
    CallIf(pieces, CENTRE_FOOT, LIST_CENTRE_FOOT);
    glPopMatrix();
    for (const bool left : {true, false}) {
        glPushMatrix();
        glTranslatef(left ? -1.0f : 1.0f, 0.0f, 0.0f);
        CallIf(pieces, SIDE_LEGS, left ? LIST_SIDE_LEG : LIST_SIDE_LEG_MIRRORED);
        glTranslatef(0.0f, -1.7f, 0.0f);
        CallIf(pieces, SIDE_FEET, left ? LIST_SIDE_FOOT : LIST_SIDE_FOOT_MIRRORED);
        glPopMatrix();
    }
    glPushMatrix();
    glTranslatef(0.0f, 0.4f, 0.0f);
    glRotatef(162.0f, 0.0f, 1.0f, 0.0f);
    CallIf(pieces, DOME, LIST_DOME);
    for (const LensMount& mount : DOME_LENS_MOUNTS) {
        glPushMatrix();
        MountDomeLens(mount);
        CallIf(pieces, DOME_LENSES, LIST_LENS);
        glPopMatrix();
    }
    glPushMatrix();
    glRotatef(35.0f, 0.0f, 1.0f, 0.0f);
    glRotatef(-10.0f, 1.0f, 0.0f, 0.0f);
    glTranslatef(0.0f, 0.0f, 0.975f);
    glRotatef(-10.0f, 1.0f, 0.0f, 0.0f);
    CallIf(pieces, MAIN_LENS, LIST_LENS);
    glPopMatrix();
    glPopMatrix();
    glPopMatrix();
}

std::vector<GLuint> ReadDepth() {
    std::vector<GLuint> depth(SIZE * SIZE);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, SIZE, SIZE, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, depth.data());
    return depth;
}

struct Picture {
    std::vector<uint8_t> rgba;
    std::vector<GLuint> depth;
};

// Pixels where something was drawn.
std::vector<bool> Covered(const std::vector<GLuint>& depth) {
    std::vector<bool> covered(depth.size());
    for (size_t i = 0; i < depth.size(); ++i) covered[i] = depth[i] != 0xFFFFFFFFu;
    return covered;
}

class RobotPicture : public GlTest {
protected:
    void TearDown() override {
        ReleaseSlotTextures();
        ReleaseGlyphTextures();
        GlTest::TearDown();
    }

    // The scene's own fixed state, textures and lists, as the saver builds them.
    void BuildSceneInScheme(int scheme) {
        ReleaseSlotTextures();
        ReleaseGlyphTextures();
        clientRect = {0, 0, SIZE, SIZE};
        saverSettings.robotColour = scheme;
        InitRenderState();
    }

    Picture Draw(unsigned pieces) {
        DrawRobotAtRest(pieces);
        return {ReadBackBuffer(SIZE, SIZE), ReadDepth()};
    }

    // Pixels of the whole picture where the given pieces are the ones seen.
    std::vector<bool> VisiblePixels(const Picture& whole, unsigned pieces) {
        const std::vector<GLuint> alone = Draw(pieces).depth;
        std::vector<bool> visible(alone.size());
        for (size_t i = 0; i < alone.size(); ++i)
            visible[i] = alone[i] != 0xFFFFFFFFu && alone[i] == whole.depth[i];
        return visible;
    }
};

// Pixels whose mirror image across the picture's centre column differs in coverage.
int AsymmetricPixels(const std::vector<bool>& covered) {
    int count = 0;
    for (int y = 0; y < SIZE; ++y) {
        for (int x = 0; x < SIZE; ++x) {
            if (covered[y * SIZE + x] != covered[y * SIZE + (SIZE - 1 - x)]) ++count;
        }
    }
    return count;
}

int CountOf(const std::vector<bool>& mask) {
    int count = 0;
    for (bool b : mask) count += b ? 1 : 0;
    return count;
}

TEST_F(RobotPicture, StandsCentredAndSymmetric) {
    BuildSceneInScheme(0);
    const std::vector<bool> whole = Covered(Draw(WHOLE_ROBOT | DOME_LENSES).depth);
    int left = SIZE, right = -1, bottom = SIZE, top = -1;
    for (int y = 0; y < SIZE; ++y) {
        for (int x = 0; x < SIZE; ++x) {
            if (!whole[y * SIZE + x]) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            bottom = std::min(bottom, y);
            top = std::max(top, y);
        }
    }
    ASSERT_GE(right, left);
    EXPECT_NEAR((left + right) / 2.0, (SIZE - 1) / 2.0, 1.0);
    // The feet reach about 1.4 units each way, the dome 1.4 up and the feet 2.25 down.
    EXPECT_NEAR(right - left, 90, 6);
    EXPECT_NEAR(top - bottom, 115, 6);
    // Body, legs and feet are symmetric; the dome's lenses and panel block are not quite.
    const std::vector<bool> lower =
        Covered(Draw(BODY | CENTRE_LEG | CENTRE_FOOT | SIDE_LEGS | SIDE_FEET).depth);
    EXPECT_GT(CountOf(lower), 4000);
    EXPECT_LE(AsymmetricPixels(lower), CountOf(lower) / 200);
    EXPECT_LE(AsymmetricPixels(whole), CountOf(whole) / 50);
}

TEST_F(RobotPicture, RedSchemeRecoloursOnlyThePanels) {
    BuildSceneInScheme(0);
    const Picture blue = Draw(WHOLE_ROBOT | DOME_LENSES);
    const std::vector<bool> panels = VisiblePixels(blue, BODY | SIDE_LEGS | CENTRE_LEG);
    const std::vector<bool> fixed =
        VisiblePixels(blue, SIDE_FEET | CENTRE_FOOT | DOME_LENSES | MAIN_LENS);
    BuildSceneInScheme(1);
    const Picture red = Draw(WHOLE_ROBOT | DOME_LENSES);
    EXPECT_EQ(red.depth, blue.depth);
    EXPECT_GT(CountOf(panels), 4000);
    EXPECT_GT(CountOf(fixed), 400);
    int panelFailures = 0, fixedFailures = 0, greenFailures = 0, bluePanelPixels = 0;
    for (size_t i = 0; i < panels.size(); ++i) {
        const uint8_t* b = &blue.rgba[i * 4];
        const uint8_t* r = &red.rgba[i * 4];
        // Lighting treats every channel alike, so the swap shows through it unchanged.
        if (panels[i] && (b[2] < b[0] || r[0] < r[2] || std::abs(r[0] - b[2]) > 1 ||
                          std::abs(r[2] - b[0]) > 1)) {
            ++panelFailures;
        }
        if (panels[i] && b[2] > b[0] + 40) ++bluePanelPixels;
        if (fixed[i] && (r[0] != b[0] || r[1] != b[1] || r[2] != b[2])) ++fixedFailures;
        if (r[1] != b[1]) ++greenFailures;
    }
    // The panel art is blue on white and grey: a good share of the panels shows blue.
    EXPECT_GT(bluePanelPixels, CountOf(panels) / 10);
    EXPECT_EQ(panelFailures, 0);
    EXPECT_EQ(fixedFailures, 0);
    EXPECT_EQ(greenFailures, 0);
}

}  // namespace
