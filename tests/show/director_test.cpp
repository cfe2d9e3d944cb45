#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <set>
#include "show/show_fixture.h"

namespace {

// An empty media folder of its own (with the trailing separator the settings keep).
void UseEmptyMediaFolder(const char* name) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::strncpy(saverSettings.aviPath, (folder.string() + "\\").c_str(), AVI_PATH_SIZE - 1);
}

TEST_F(ShowStateTest, ChooserKeepsToTheSettingsAndNeverRepeatsTheLastFive) {
    struct Case {
        bool playAvis, showExternalBmps, onlyExternalPics;
        int lowest, highest;
        size_t distinct;
    };
    for (const Case c : {Case{false, false, true, 16, 105, 90}, Case{true, true, true, 0, 15, 16},
                         Case{false, true, true, 0, 7, 8}, Case{true, false, true, 8, 105, 98},
                         Case{true, true, false, 0, 105, 106}}) {
        ResetShowState(777);
        saverSettings.playAvis = c.playAvis;
        saverSettings.showExternalBmps = c.showExternalBmps;
        saverSettings.onlyExternalPics = c.onlyExternalPics;
        std::set<int> seen;
        for (int i = 0; i < 4000; ++i) {
            const std::array<int, 5> before = recentPicks;
            ChooseNextItem();
            ASSERT_EQ(std::count(before.begin(), before.end(), nextIndex), 0) << nextIndex;
            ASSERT_TRUE(std::equal(before.begin(), before.end() - 1, recentPicks.begin() + 1));
            ASSERT_EQ(recentPicks[0], nextIndex);
            seen.insert(nextIndex);
        }
        EXPECT_EQ(*seen.begin(), c.lowest);
        EXPECT_EQ(*seen.rbegin(), c.highest);
        EXPECT_EQ(seen.size(), c.distinct);
    }
}

TEST_F(ShowTest, FirstItemIsEntry70WhateverTheSettingsLoadedWithTheRobotAtRest) {
    for (const bool enabled : {false, true}) {
        ResetShowState(enabled ? 99 : 4242);
        UseEmptyMediaFolder("quorvel-show-first");
        saverSettings.playAvis = saverSettings.showExternalBmps = enabled;
        saverSettings.onlyExternalPics = enabled;
        // Loaded only with the robot at rest, fully leaned back or fully upright.
        ASSERT_TRUE(RunUntil([] { return showStep == SHOW_POSE; }, 120.0));
        EXPECT_EQ(leanAmount, leaning ? 1.0 : 0.0);
        EXPECT_EQ(poseFrames, 0);
        ASSERT_TRUE(RunUntil([] { return showStep == SHOW_OPEN; }, 120.0));
        EXPECT_EQ(currentIndex, 70);
    }
}

TEST_F(ShowTest, ItemsLoadAndBeamsOpenOnlyWithTheRobotAtRest) {
    frameDelta = FRAME;
    leanAmount = 0.5;  // halfway back; the pose is not advanced here, so it stays
    for (int i = 0; i < 900; ++i) RunShowDirector();
    EXPECT_EQ(showStep, SHOW_WAIT);
    showStep = SHOW_OPEN;
    beamScale = 0.99;
    RunShowDirector();
    EXPECT_EQ(beamScale, 1.0);
    EXPECT_EQ(showStep, SHOW_OPEN);
}

TEST_F(ShowTest, FailedLoadsKeepWaitingAndChooseAgain) {
    // A picture missing from the program comes back with no size: no division by zero.
    PictureRecord missing = pictureCatalogue[70];
    missing.resourceId = 999;
    holoHalfWidth = 1.5f;
    EXPECT_FALSE(LoadShowItem(missing));
    EXPECT_EQ(holoHalfWidth, 1.5f);

    UseEmptyMediaFolder("quorvel-show-empty");
    saverSettings.playAvis = saverSettings.showExternalBmps = true;
    leanAmount = 1.0;
    // A movie slot and an external slot with nothing in the folder to load.
    for (const int failing : {8, 1}) {
        ASSERT_TRUE(LoadShowItem(pictureCatalogue[70]));
        nextIndex = recentPicks[0] = failing;
        ASSERT_TRUE(RunUntil([&] { return nextIndex != failing; }, 120.0));
        EXPECT_EQ(showStep, SHOW_WAIT);
        EXPECT_EQ(recentPicks[1], failing);
        EXPECT_FALSE(movieActive);
        EXPECT_EQ(textureSlots[2], 0u) << "the previous picture is freed";
    }
}

TEST_F(ShowTest, CloseUpIsDrawnOnlyForZoomItems) {
    const uint32_t before = randomState;
    ASSERT_TRUE(LoadShowItem(pictureCatalogue[FirstIndexWithFlags(PF_FRONT)]));
    EXPECT_EQ(randomState, before);
    const PictureRecord& zoom = pictureCatalogue[FirstIndexWithFlags(PF_FRONT | PF_ZOOM)];
    int closeUps = 0;
    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(LoadShowItem(pictureCatalogue[FirstIndexWithFlags(PF_FRONT | PF_ZOOM)]));
        closeUps += zoomActive ? 1 : 0;
        EXPECT_EQ(texLeft, zoomActive ? zoom.zoomLeft : 0.0);
        EXPECT_EQ(texBottom, zoomActive ? zoom.zoomBottom : 1.0);
    }
    EXPECT_NEAR(closeUps, 100, 30);
}

TEST_F(ShowTest, FloorPictureWaitsForTheBodyInRangeAndTheDomeAimed) {
    const int floor = FirstIndexWithFlags(PF_FLOOR);
    for (const float start : {150.0f, -300.0f, 40.0f, 100.5f, -100.0f}) {
        ResetShowState(static_cast<uint32_t>(start) + 5000u);
        bodyYaw = start;
        headYaw = 200.0f;
        nextIndex = floor;
        ASSERT_TRUE(RunUntil([] { return showStep == SHOW_OPEN; }, 120.0)) << start;
        const float body = bodyYaw;
        EXPECT_TRUE(body >= -100.0f && body <= 100.0f) << body;
        if (start < -100.0f || start > 100.0f) {
            EXPECT_NE(body, start);
        }
        // The beam opens fully and waits for the robot to tip fully forward.
        ASSERT_TRUE(RunUntil([] { return showStep == SHOW_PLAY; }, 5.0));
        EXPECT_EQ(leanAmount, 1.0);
        EXPECT_EQ(beamScale, 1.0);
        // The pose holds while the item is projected.
        ASSERT_TRUE(RunUntil(
            [&] {
                EXPECT_EQ(bodyYaw, body);
                EXPECT_EQ(headYaw, -17.5f);
                return showStep == SHOW_WAIT;
            },
            60.0));
        EXPECT_FALSE(leaning);
        EXPECT_EQ(leanAmount, 0.0) << "upright again";
    }
}

TEST_F(ShowStateTest, FloorMovieTurnsTheBodyToExactlyZero) {
    showStep = SHOW_POSE;
    nextIndex = 8;
    currentIndex = 70;
    bodyYaw = 73.3f;
    leaning = false;
    ASSERT_TRUE(RunUntil([] { return showStep == SHOW_AIM; }, 60.0));
    EXPECT_EQ(bodyYaw, 0.0f);
    EXPECT_EQ(leanAmount, 1.0);
}

TEST_F(ShowStateTest, FloorItemStraightensUpAimsTheDomeThenTipsForward) {
    for (const float head : {-17.5f, 30.0f}) {
        ResetShowState(3);
        showStep = SHOW_AIM;
        currentIndex = 70;
        nextIndex = FirstIndexWithFlags(PF_FLOOR);
        leanAmount = 1.0;
        headYaw = head;
        headTurnDir = -1;
        ASSERT_TRUE(RunUntil([] { return showStep == SHOW_OPEN; }, 30.0));
        EXPECT_EQ(headYaw, -17.5f);
        EXPECT_TRUE(leaning);
        EXPECT_LE(leanAmount, FRAME) << "fully upright before tipping forward";
    }
}

TEST_F(ShowStateTest, CaptionsAreProjectedForAboutHalfOfTheItemsWithMoreThanOneCharacter) {
    const int front = FirstIndexWithFlags(PF_FRONT);
    std::strcpy(pictureCatalogue[front].caption, "Ab");
    std::strcpy(pictureCatalogue[front + 1].caption, "Q");
    pictureCatalogue[front + 2].caption[0] = '\0';
    frameDelta = FRAME;
    for (int offset = 0; offset < 3; ++offset) {
        int shown = 0;
        for (int i = 0; i < 1000; ++i) {
            showStep = SHOW_AIM;
            nextIndex = front + offset;
            RunShowDirector();
            shown += captionVisible ? 1 : 0;
        }
        EXPECT_NEAR(shown, offset == 0 ? 500 : 0, 60) << offset;
    }
}

TEST_F(ShowStateTest, FloorItemFramesTakeNoDrawsForIdleMotions) {
    currentIndex = FirstIndexWithFlags(PF_FLOOR);
    leanAmount = 1.0;
    frameDelta = FRAME;
    // Posing: no idle events at all. Playing: only the idle event's own draw.
    showStep = SHOW_POSE;
    const uint32_t before = randomState;
    RunShowDirector();
    EXPECT_EQ(randomState, before);
    showStep = SHOW_PLAY;
    for (int i = 0; i < 300; ++i) {
        const uint32_t state = randomState;
        RunShowDirector();
        ASSERT_EQ(randomState, state * 214013u + 2531011u);
    }
    EXPECT_FALSE(bodyTurning || headTurning);
}

}  // namespace
