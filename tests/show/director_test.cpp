#include <windows.h>
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <deque>
#include <filesystem>
#include <set>
#include "show/show_fixture.h"

namespace {

constexpr double FRAME = 1.0 / 30.0;

template <typename Done>
bool RunUntil(Done done, double seconds) {
    for (int i = 0; i < seconds / FRAME; ++i) {
        if (done()) return true;
        ShowFrame(FRAME);
    }
    return done();
}

int FirstIndexWithFlags(uint32_t flags) {
    for (int i = 0; i < CATALOGUE_SIZE; ++i) {
        if (pictureCatalogue[i].flags == flags) return i;
    }
    return -1;
}

// An empty folder of its own, as the media folder (with its trailing separator).
std::string EmptyMediaFolder(const char* name) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder.string() + "\\";
}

void UseMediaFolder(const std::string& folder) {
    std::strncpy(saverSettings.aviPath, folder.c_str(), AVI_PATH_SIZE - 1);
}

std::set<int> ChooseMany(int count) {
    std::set<int> seen;
    for (int i = 0; i < count; ++i) {
        ChooseNextItem();
        seen.insert(nextIndex);
    }
    return seen;
}

TEST_F(ShowStateTest, ChosenIndexNeverEqualsAnyOfTheFiveBefore) {
    struct Mode {
        bool playAvis, showExternalBmps, onlyExternalPics;
    };
    for (const Mode mode : {Mode{true, true, false}, Mode{true, true, true},
                            Mode{false, true, true}, Mode{false, false, false}}) {
        ResetShowState(777);
        saverSettings.playAvis = mode.playAvis;
        saverSettings.showExternalBmps = mode.showExternalBmps;
        saverSettings.onlyExternalPics = mode.onlyExternalPics;
        std::deque<int> history{70, -1, -1, -1, -1};
        for (int i = 0; i < 3000; ++i) {
            ChooseNextItem();
            ASSERT_EQ(std::find(history.begin(), history.begin() + 5, nextIndex),
                      history.begin() + 5)
                << "pick " << i << " repeats " << nextIndex;
            history.push_front(nextIndex);
            ASSERT_TRUE(std::equal(recentPicks.begin(), recentPicks.end(), history.begin()));
        }
    }
}

TEST_F(ShowStateTest, WithMoviesOffOnlyTheBuiltInPicturesAreChosen) {
    saverSettings.playAvis = false;
    saverSettings.showExternalBmps = false;
    saverSettings.onlyExternalPics = true;
    const std::set<int> seen = ChooseMany(4000);
    EXPECT_EQ(seen.size(), 90u);
    EXPECT_EQ(*seen.begin(), 16);
    EXPECT_EQ(*seen.rbegin(), 105);
}

TEST_F(ShowStateTest, OnlyExternalPicturesDrawsFromTheFirstSixteenEntries) {
    saverSettings.playAvis = true;
    saverSettings.showExternalBmps = true;
    saverSettings.onlyExternalPics = true;
    const std::set<int> seen = ChooseMany(2000);
    EXPECT_EQ(seen.size(), 16u);
    EXPECT_EQ(*seen.rbegin(), 15);

    // Without movies, only the eight external-picture slots remain.
    saverSettings.playAvis = false;
    EXPECT_EQ(ChooseMany(2000), (std::set<int>{0, 1, 2, 3, 4, 5, 6, 7}));
}

TEST_F(ShowStateTest, OnlyExternalPicturesWithoutAnyPictureUsesTheWholeCatalogue) {
    saverSettings.playAvis = true;
    saverSettings.showExternalBmps = false;
    saverSettings.onlyExternalPics = true;
    const std::set<int> seen = ChooseMany(4000);
    EXPECT_EQ(seen.size(), 98u);  // 8 movie slots and 90 pictures
    EXPECT_EQ(*seen.begin(), 8);
    EXPECT_EQ(*seen.rbegin(), 105);
}

TEST_F(ShowTest, FirstItemIsEntry70WhateverTheSettings) {
    const std::string folder = EmptyMediaFolder("quorvel-show-first");
    for (const bool enabled : {false, true}) {
        for (const uint32_t seed : {1u, 99u, 4242u}) {
            ResetShowState(seed);
            UseMediaFolder(folder);
            saverSettings.playAvis = enabled;
            saverSettings.showExternalBmps = enabled;
            saverSettings.onlyExternalPics = enabled;
            ASSERT_TRUE(RunUntil([] { return showStep == SHOW_OPEN; }, 120.0));
            EXPECT_EQ(currentIndex, 70);
            EXPECT_EQ(recentPicks[0], 70);
        }
    }
}

TEST_F(ShowTest, LoadingAPictureSetsItsProportionsAndProjection) {
    const int floor = FirstIndexWithFlags(PF_FLOOR);
    for (const int index : {70, floor}) {
        ASSERT_TRUE(LoadShowItem(pictureCatalogue[index]));
        ASSERT_NE(textureSlots[2], 0u);
        glBindTexture(GL_TEXTURE_2D, textureSlots[2]);
        GLint width = 0, height = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        ASSERT_GT(height, 0);
        EXPECT_FLOAT_EQ(holoHalfWidth, static_cast<float>(width) / static_cast<float>(height));
        EXPECT_EQ(floorProjection, index == floor);
        EXPECT_FALSE(zoomActive);
        EXPECT_FALSE(movieActive);
        EXPECT_EQ(texLeft, 0.0);
        EXPECT_EQ(texBottom, 1.0);
    }
}

TEST_F(ShowTest, CloseUpIsDrawnOnlyForZoomItems) {
    const int plain = FirstIndexWithFlags(PF_FRONT);
    const uint32_t before = randomState;
    ASSERT_TRUE(LoadShowItem(pictureCatalogue[plain]));
    EXPECT_EQ(randomState, before);

    const int zoom = FirstIndexWithFlags(PF_FRONT | PF_ZOOM);
    const PictureRecord& record = pictureCatalogue[zoom];
    int closeUps = 0;
    for (int i = 0; i < 200; ++i) {
        const uint32_t state = randomState;
        ASSERT_TRUE(LoadShowItem(pictureCatalogue[zoom]));
        EXPECT_EQ(randomState, state * 214013u + 2531011u) << "one draw per load";
        if (zoomActive) {
            ++closeUps;
            EXPECT_EQ(texLeft, record.zoomLeft);
            EXPECT_EQ(texTop, record.zoomTop);
            EXPECT_EQ(texRight, record.zoomRight);
            EXPECT_EQ(texBottom, record.zoomBottom);
        } else {
            EXPECT_EQ(texRight, 1.0);
        }
    }
    EXPECT_GT(closeUps, 70);
    EXPECT_LT(closeUps, 130);
}

TEST_F(ShowTest, MissingPictureIsAFailedLoad) {
    PictureRecord record = pictureCatalogue[70];
    record.resourceId = 999;
    holoHalfWidth = 1.5f;
    EXPECT_FALSE(LoadShowItem(record));
    EXPECT_EQ(holoHalfWidth, 1.5f);
    EXPECT_EQ(textureSlots[2], 0u);
}

TEST_F(ShowTest, FailedLoadStaysWaitingAndChoosesAgain) {
    UseMediaFolder(EmptyMediaFolder("quorvel-show-empty"));
    saverSettings.playAvis = true;
    saverSettings.showExternalBmps = true;
    ASSERT_TRUE(LoadShowItem(pictureCatalogue[70]));
    ASSERT_NE(textureSlots[2], 0u);
    // A movie slot and an external slot with nothing in the folder to load.
    for (const int failing : {8, 1}) {
        nextIndex = failing;
        recentPicks = {failing, -1, -1, -1, -1};
        leaning = true;
        leanAmount = 1.0;
        ASSERT_TRUE(RunUntil([&] { return nextIndex != failing; }, 120.0));
        EXPECT_EQ(showStep, SHOW_WAIT);
        EXPECT_EQ(recentPicks[0], nextIndex);
        EXPECT_EQ(recentPicks[1], failing);
        EXPECT_FALSE(movieActive);
        EXPECT_EQ(textureSlots[2], 0u) << "the old picture was freed";
    }
}

TEST_F(ShowTest, FloorPictureWaitsForTheBodyInRangeAndTheDomeAimed) {
    const int floor = FirstIndexWithFlags(PF_FLOOR);
    for (const float start : {150.0f, -300.0f, 40.0f, 100.5f, -100.0f}) {
        ResetShowState(static_cast<uint32_t>(start * 10.0f) + 5000u);
        bodyYaw = start;
        headYaw = 200.0f;
        nextIndex = floor;
        ASSERT_TRUE(RunUntil([] { return showStep == SHOW_OPEN; }, 120.0)) << start;
        EXPECT_EQ(currentIndex, floor);
        EXPECT_GE(bodyYaw, -100.0f);
        EXPECT_LE(bodyYaw, 100.0f);
        if (start < -100.0f || start > 100.0f) {
            EXPECT_NE(bodyYaw, start);
        }
        EXPECT_EQ(headYaw, -17.5f);
        // The pose stays put while the item is projected.
        const float body = bodyYaw;
        ASSERT_TRUE(RunUntil(
            [&] {
                EXPECT_EQ(bodyYaw, body);
                EXPECT_EQ(headYaw, -17.5f);
                return showStep == SHOW_WAIT;
            },
            60.0));
    }
}

TEST_F(ShowStateTest, FloorMovieTurnsTheBodyToExactlyZero) {
    showStep = SHOW_POSE;
    nextIndex = 8;
    currentIndex = 70;
    bodyYaw = 73.3f;
    leaning = false;
    leanAmount = 0.0;
    ASSERT_TRUE(RunUntil([] { return showStep == SHOW_AIM; }, 60.0));
    EXPECT_EQ(bodyYaw, 0.0f);
    EXPECT_TRUE(leaning);
    EXPECT_EQ(leanAmount, 1.0);
}

TEST_F(ShowStateTest, FloorItemStraightensUpThenTipsForward) {
    const int floor = FirstIndexWithFlags(PF_FLOOR);
    showStep = SHOW_AIM;
    currentIndex = 70;
    nextIndex = floor;
    leaning = true;
    leanAmount = 1.0;
    headYaw = 30.0f;
    ShowFrame(FRAME);
    EXPECT_FALSE(leaning);
    EXPECT_TRUE(headTurning);
    EXPECT_EQ(headYawTarget, -17.5f);
    ASSERT_TRUE(RunUntil([] { return showStep == SHOW_OPEN; }, 30.0));
    EXPECT_TRUE(leaning);
    EXPECT_EQ(currentIndex, floor);
    EXPECT_EQ(headYaw, -17.5f);
    EXPECT_LT(leanAmount, 0.1);
    // The beam opens fully before the robot has tipped all the way, and waits for it.
    ASSERT_TRUE(RunUntil([] { return showStep == SHOW_PLAY; }, 30.0));
    EXPECT_EQ(leanAmount, 1.0);
    EXPECT_EQ(beamScale, 1.0);
}

TEST_F(ShowStateTest, CaptionsOfAtMostOneCharacterAreNeverProjected) {
    const int front = FirstIndexWithFlags(PF_FRONT);
    std::strcpy(pictureCatalogue[front].caption, "Q");
    pictureCatalogue[front + 1].caption[0] = '\0';
    frameDelta = FRAME;
    for (const int index : {front, front + 1}) {
        for (int i = 0; i < 300; ++i) {
            showStep = SHOW_AIM;
            nextIndex = index;
            RunShowDirector();
            ASSERT_FALSE(captionVisible);
        }
    }
}

TEST_F(ShowStateTest, AboutHalfOfTheCaptionsAreProjected) {
    std::strcpy(pictureCatalogue[70].caption, "Ab");
    int shown = 0;
    frameDelta = FRAME;
    for (int i = 0; i < 1000; ++i) {
        showStep = SHOW_AIM;
        nextIndex = 70;
        RunShowDirector();
        ASSERT_EQ(showStep, SHOW_OPEN);
        shown += captionVisible ? 1 : 0;
    }
    EXPECT_GT(shown, 430);
    EXPECT_LT(shown, 570);
}

TEST_F(ShowStateTest, BeamClosesAfterTheHologramThenTheNextItemIsChosen) {
    const int floor = FirstIndexWithFlags(PF_FLOOR);
    showStep = SHOW_PLAY;
    currentIndex = floor;
    nextIndex = floor;
    recentPicks = {floor, -1, -1, -1, -1};
    beamScale = 1.0;
    leaning = true;
    leanAmount = 1.0;
    frameDelta = 0.125;
    for (int i = 0; i < 5; ++i) RunShowDirector();
    EXPECT_EQ(beamScale, 1.0) << "nothing happens before the hologram is done";
    hologramDone = true;
    RunShowDirector();
    UpdateRobotPose();
    EXPECT_EQ(beamScale, 0.875);
    EXPECT_FALSE(leaning);
    int frames = 1;
    while (showStep == SHOW_PLAY && frames < 100) {
        RunShowDirector();
        UpdateRobotPose();
        ++frames;
    }
    EXPECT_EQ(showStep, SHOW_WAIT);
    EXPECT_EQ(frames, 9) << "the beam has shrunk, then the robot stands upright";
    EXPECT_EQ(beamScale, 0.0);
    EXPECT_FALSE(hologramDone);
    EXPECT_EQ(recentPicks[1], floor);
    EXPECT_EQ(recentPicks[0], nextIndex);
}

TEST_F(ShowStateTest, FloorProjectionFramesTakeOneDrawEach) {
    // While a floor item plays, no idle motion may start, so only the idle-event draw is taken.
    showStep = SHOW_PLAY;
    currentIndex = FirstIndexWithFlags(PF_FLOOR);
    leaning = true;
    leanAmount = 1.0;
    frameDelta = FRAME;
    uint32_t expected = randomState;
    for (int i = 0; i < 500; ++i) {
        RunShowDirector();
        expected = expected * 214013u + 2531011u;
        ASSERT_EQ(randomState, expected) << "frame " << i;
    }
    EXPECT_FALSE(bodyTurning);
    EXPECT_FALSE(headTurning);
    EXPECT_TRUE(leaning);
}

TEST_F(ShowStateTest, PoseFramesOfAFloorItemTakeNoDraws) {
    showStep = SHOW_POSE;
    currentIndex = FirstIndexWithFlags(PF_FLOOR);
    nextIndex = 70;
    leanAmount = 0.5;
    frameDelta = FRAME;
    const uint32_t before = randomState;
    for (int i = 0; i < 10; ++i) RunShowDirector();
    EXPECT_EQ(randomState, before);
    EXPECT_EQ(poseFrames, 10);
    EXPECT_EQ(showStep, SHOW_POSE) << "the robot is not at rest";
}

TEST_F(ShowTest, LongShowKeepsItsRules) {
    for (int i = 16; i < CATALOGUE_SIZE; ++i) {
        if (i % 10 != 0) std::strcpy(pictureCatalogue[i].caption, "Caption");
    }
    std::deque<int> loaded;
    int floorItems = 0, frontItems = 0, captioned = 0, captionsShown = 0;
    int previousStep = showStep;
    for (int frame = 0; frame < 2 * 3600 * 30; ++frame) {
        ShowFrame(FRAME);
        if (previousStep == SHOW_WAIT && showStep == SHOW_POSE) {
            ASSERT_GE(nextIndex, 16);
            const int recent = std::min<int>(5, static_cast<int>(loaded.size()));
            ASSERT_EQ(std::find(loaded.begin(), loaded.begin() + recent, nextIndex),
                      loaded.begin() + recent);
            loaded.push_front(nextIndex);
        }
        if (previousStep == SHOW_AIM && showStep == SHOW_OPEN) {
            (ItemHas(currentIndex, PF_FLOOR) ? floorItems : frontItems) += 1;
            if (std::strlen(pictureCatalogue[currentIndex].caption) > 1) {
                ++captioned;
                captionsShown += captionVisible ? 1 : 0;
            }
        }
        if (InFloorPose()) {
            ASSERT_GE(bodyYaw, -100.0f);
            ASSERT_LE(bodyYaw, 100.0f);
            ASSERT_EQ(headYaw, -17.5f);
        }
        ASSERT_NE(holoPhase, HOLO_FINISHED);
        ASSERT_GE(beamScale, 0.0);
        ASSERT_LE(beamScale, 1.0);
        ASSERT_TRUE(leanAmount >= 0.0 && leanAmount <= 1.0);
        previousStep = showStep;
    }
    EXPECT_GT(loaded.size(), 250u);
    EXPECT_GT(floorItems, 30);
    EXPECT_GT(frontItems, 100);
    EXPECT_GT(captionsShown, captioned * 3 / 10);
    EXPECT_LT(captionsShown, captioned * 7 / 10);
}

}  // namespace
