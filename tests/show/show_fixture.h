// The show's state reset, frames of the show without drawing, and the robot's drawing fed back.
#pragma once
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <filesystem>
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
#include "textures/media_library.h"
#include "textures/texture_loader.h"

constexpr double FRAME = 1.0 / 30.0;

inline const std::array<PictureRecord, CATALOGUE_SIZE> startCatalogue = pictureCatalogue;

inline void ResetShowState(uint32_t seed) {
    StopMediaLibrary();
    showState = {};
    robotPose = {};
    hologram = {};
    frameClock = {};
    saverSettings = {};
    pictureCatalogue = startCatalogue;
    SeedRandom(seed);
}

// The media library listing `folder` (given without its separator), once its listing is done.
inline void ListLibrary(const std::filesystem::path& folder) {
    StartMediaLibrary(folder.wstring() + L"\\");
    while (!CountMedia().listed) Sleep(1);
}

// One frame of the show: its advance, without the drawing.
inline void ShowFrame() {
    frameClock.frameTime += FRAME;
    frameClock.frameDelta = FRAME;
    AdvanceShow();
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
    showState.currentIndex = showState.nextIndex = FirstIndexWithFlags(floor ? PF_FLOOR : PF_FRONT);
    showState.floorProjection = floor;
    showState.showStep = SHOW_PLAY;
    showState.hologramDone = true;
    robotPose.leanAmount = lean;
    robotPose.leaning = lean > 0.0;
    robotPose.bodyYaw = body;
    robotPose.headYaw = -17.5f;
    frameClock.frameDelta = 0.0;
}

// What one frame of the robot and its projections sends (the pose and the projections'
// advance, then DrawRobotAndHologram) with only the listed robot and beam lists left filled.
inline Fed FeedRobot(std::initializer_list<unsigned int> keep) {
    BuildRobotLists();
    BuildBeamList();
    for (unsigned int list = LIST_BODY; list <= LIST_BEAM; ++list) {
        if (std::ranges::find(keep, list) != keep.end()) continue;
        glNewList(list, GL_COMPILE);
        glEndList();
    }
    UpdateRobotPose();
    AdvanceProjections();
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
