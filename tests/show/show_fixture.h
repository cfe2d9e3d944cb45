// The show's state reset, frames of the show without drawing, and the robot's drawing fed back.
#pragma once
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <functional>
#include <initializer_list>
#include "render/frame_clock.h"
#include "render/random.h"
#include "render/scene.h"
#include "robot/robot_model.h"
#include "settings/settings.h"
#include "show/animation.h"
#include "show/director.h"
#include "show/hologram.h"
#include "support/gl_fixture.h"
#include "text/overlay.h"
#include "textures/texture_loader.h"

constexpr double FRAME = 1.0 / 30.0;

inline const std::array<PictureRecord, CATALOGUE_SIZE> startCatalogue = pictureCatalogue;

inline void ResetShowState(uint32_t seed) {
    showStep = SHOW_WAIT;
    nextIndex = 70;
    recentPicks = {70, -1, -1, -1, -1};
    currentIndex = poseFrames = bodyTurnDir = headTurnDir = 0;
    beamScale = texLeft = texTop = leanAmount = leanAngle = lensPitch = holdUntil = 0.0;
    frameTime = previousFrameTime = 0.0;
    captionVisible = hologramDone = zoomActive = movieActive = false;
    bodyTurning = headTurning = scanPhase = false;
    floorProjection = leaning = true;
    holoHalfWidth = 1.0f;
    texRight = texBottom = frameDelta = 1.0;
    bodyYaw = -180.0f;
    bodyYawTarget = headYaw = headYawTarget = sweepRow = 0.0f;
    holoPhase = HOLO_SCAN;
    glitchClock = 5.0f;
    saverSettings = SaverSettings{};
    pictureCatalogue = startCatalogue;
    SeedRandom(seed);
}

// One frame of the show's logic in the order the frame runs it, without the drawing.
inline void ShowFrame() {
    frameTime += FRAME;
    frameDelta = FRAME;
    RunShowDirector();
    UpdateRobotPose();
    if (showStep > 0 && AdvanceHologram()) ComputeHologramRows();
}

// Frames until `done` holds; false when it has not after `seconds`.
inline bool RunUntil(const std::function<bool()>& done, double seconds) {
    for (int i = 0; i < seconds / FRAME && !done(); ++i) ShowFrame();
    return done();
}

inline int FirstIndexWithFlags(uint32_t flags) {
    for (int i = 0; i < CATALOGUE_SIZE; ++i) {
        if (pictureCatalogue[i].flags == flags) return i;
    }
    return -1;
}

// The robot aimed (dome at -17.5) and held still while it projects; body 0 faces the viewer.
inline void HoldPose(bool floor, double lean, float body = 0.0f) {
    currentIndex = nextIndex = FirstIndexWithFlags(floor ? PF_FLOOR : PF_FRONT);
    floorProjection = floor;
    showStep = SHOW_PLAY;
    hologramDone = true;
    leanAmount = lean;
    leaning = lean > 0.0;
    bodyYaw = body;
    headYaw = -17.5f;
    frameDelta = 0.0;
}

// What one DrawRobotAndHologram sends with only the listed robot and beam lists left filled.
inline Fed FeedRobot(std::initializer_list<unsigned int> keep) {
    BuildRobotLists();
    BuildBeamList();
    for (unsigned int list = LIST_BODY; list <= LIST_BEAM; ++list) {
        if (std::ranges::find(keep, list) != keep.end()) continue;
        glNewList(list, GL_COMPILE);
        glEndList();
    }
    return Feed([] { DrawRobotAndHologram(); });
}

// A lens as fed (its 16 cone triangles, then 8 of glass): its middle and where it looks.
struct Axis {
    P3 origin, direction;
};
inline Axis LensAxis(const Fed& fed, size_t first) {
    const P3 origin = MeanPosition(fed, first, first + 16);
    return {origin, Unit(MeanPosition(fed, first + 16, first + 24) - origin)};
}

class ShowStateTest : public ::testing::Test {
protected:
    void SetUp() override { ResetShowState(12345); }
    void TearDown() override { ResetShowState(1); }
};

// Loading items makes textures and drawing needs lists, so these tests need a context.
class ShowTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        ResetShowState(12345);
    }
    void TearDown() override {
        glDeleteTextures(1, &textureSlots[SLOT_HOLOGRAM]);
        textureSlots[SLOT_HOLOGRAM] = 0;
        ReleaseGlyphTextures();
        ResetShowState(1);
        GlTest::TearDown();
    }
};
