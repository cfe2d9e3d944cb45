// The show's state back at its start-up values, and frames of the show without drawing.
#pragma once
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <functional>
#include "render/frame_clock.h"
#include "render/random.h"
#include "render/scene.h"
#include "settings/settings.h"
#include "show/animation.h"
#include "show/director.h"
#include "show/hologram.h"
#include "support/gl_fixture.h"

constexpr double FRAME = 1.0 / 30.0;

inline const std::array<PictureRecord, CATALOGUE_SIZE> startCatalogue = pictureCatalogue;

inline void ResetShowState(uint32_t seed) {
    showStep = SHOW_WAIT;
    nextIndex = 70;
    recentPicks = {70, -1, -1, -1, -1};
    currentIndex = poseFrames = 0;
    beamScale = 0.0;
    captionVisible = hologramDone = zoomActive = movieActive = false;
    floorProjection = true;
    holoHalfWidth = 1.0f;
    texLeft = texTop = 0.0;
    texRight = texBottom = 1.0;
    leaning = true;
    leanAmount = leanAngle = lensPitch = 0.0;
    bodyYaw = -180.0f;
    bodyYawTarget = headYaw = headYawTarget = 0.0f;
    bodyTurnDir = headTurnDir = 0;
    bodyTurning = headTurning = false;
    holoPhase = HOLO_SCAN;
    sweepRow = 0.0f;
    holdUntil = 0.0;
    glitchClock = 5.0f;
    scanPhase = false;
    frameTime = previousFrameTime = 0.0;
    frameDelta = 1.0;
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

class ShowStateTest : public ::testing::Test {
protected:
    void SetUp() override { ResetShowState(12345); }
    void TearDown() override { ResetShowState(1); }
};

// Loading items makes textures, so these tests need a context.
class ShowTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        ResetShowState(12345);
    }
    void TearDown() override {
        glDeleteTextures(1, &textureSlots[2]);
        textureSlots[2] = 0;
        ResetShowState(1);
        GlTest::TearDown();
    }
};
