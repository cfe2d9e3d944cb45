// The show's state back at its start-up values, and frames of the show without drawing.
#pragma once
#include <GL/gl.h>
#include <gtest/gtest.h>
#include "render/frame_clock.h"
#include "render/random.h"
#include "render/scene.h"
#include "settings/settings.h"
#include "show/animation.h"
#include "show/director.h"
#include "show/hologram.h"
#include "support/gl_fixture.h"

inline const std::array<PictureRecord, CATALOGUE_SIZE> startCatalogue = pictureCatalogue;

inline void ResetShowState(uint32_t seed) {
    showStep = SHOW_WAIT;
    nextIndex = 70;
    recentPicks = {70, -1, -1, -1, -1};
    currentIndex = 0;
    poseFrames = 0;
    beamScale = 0.0;
    captionVisible = false;
    hologramDone = false;
    floorProjection = true;
    zoomActive = false;
    movieActive = false;
    holoHalfWidth = 1.0f;
    texLeft = 0.0;
    texTop = 0.0;
    texRight = 1.0;
    texBottom = 1.0;
    leaning = true;
    leanAmount = 0.0;
    leanAngle = 0.0;
    lensPitch = 0.0;
    bodyYaw = -180.0f;
    bodyYawTarget = 0.0f;
    bodyTurnDir = 0;
    bodyTurning = false;
    headYaw = 0.0f;
    headYawTarget = 0.0f;
    headTurnDir = 0;
    headTurning = false;
    holoPhase = HOLO_SCAN;
    sweepRow = 0.0f;
    holdUntil = 0.0;
    glitchClock = 5.0f;
    scanPhase = false;
    frameTime = 0.0;
    frameDelta = 1.0;
    previousFrameTime = 0.0;
    saverSettings = SaverSettings{};
    pictureCatalogue = startCatalogue;
    SeedRandom(seed);
}

// One frame of the show's logic in the order the frame runs it, without the drawing.
inline void ShowFrame(double delta) {
    frameTime += delta;
    frameDelta = delta;
    RunShowDirector();
    UpdateRobotPose();
    if (showStep > 0 && AdvanceHologram()) ComputeHologramRows();
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
