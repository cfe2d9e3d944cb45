// The director's rules for choosing, loading and posing; the order of its random draws is
// held by the golden trace.
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
        EXPECT_EQ(textureSlots[SLOT_HOLOGRAM], 0u) << "the previous picture is freed";
    }
}

TEST_F(ShowTest, PicturesKeepTheirProportionsAndOnlyZoomItemsDrawForACloseUp) {
    const uint32_t before = randomState;
    PictureRecord& front = pictureCatalogue[FirstIndexWithFlags(PF_FRONT)];
    ASSERT_TRUE(LoadShowItem(front));
    EXPECT_EQ(randomState, before);
    const Bitmap bitmap = DecodeBitmapResource(static_cast<int>(front.resourceId));
    EXPECT_FLOAT_EQ(holoHalfWidth, static_cast<float>(bitmap.width) / bitmap.height);
    const PictureRecord& zoom = pictureCatalogue[FirstIndexWithFlags(PF_FRONT | PF_ZOOM)];
    std::set<bool> seen;
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(LoadShowItem(pictureCatalogue[FirstIndexWithFlags(PF_FRONT | PF_ZOOM)]));
        seen.insert(zoomActive);
        EXPECT_EQ(texLeft, zoomActive ? zoom.zoomLeft : 0.0);
        EXPECT_EQ(texBottom, zoomActive ? zoom.zoomBottom : 1.0);
    }
    EXPECT_EQ(seen.size(), 2u);
}

TEST_F(ShowTest, FloorPictureWaitsForTheBodyInRangeAndTheDomeAimedThenHoldsThePose) {
    for (const float start : {150.0f, -300.0f, 40.0f, 100.5f, -100.0f}) {
        ResetShowState(static_cast<uint32_t>(start) + 5000u);
        bodyYaw = start;
        headYaw = 200.0f;
        nextIndex = FirstIndexWithFlags(PF_FLOOR);
        ASSERT_TRUE(RunUntil([] { return showStep == SHOW_OPEN; }, 120.0)) << start;
        const float body = bodyYaw;
        EXPECT_TRUE(body >= -100.0f && body <= 100.0f) << body;
        EXPECT_TRUE(body != start || (start >= -100.0f && start <= 100.0f)) << "turned in";
        // The beam opens fully and waits for the robot to tip fully forward.
        ASSERT_TRUE(RunUntil([] { return showStep == SHOW_PLAY; }, 5.0));
        EXPECT_EQ(leanAmount, 1.0);
        EXPECT_EQ(beamScale, 1.0);
        ASSERT_TRUE(RunUntil(
            [&] {
                EXPECT_EQ(bodyYaw, body);
                EXPECT_EQ(headYaw, -17.5f);
                return showStep == SHOW_WAIT;
            },
            60.0));
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

TEST_F(ShowStateTest, OnlyCaptionsOfMoreThanOneCharacterAreProjected) {
    const int front = FirstIndexWithFlags(PF_FRONT);
    frameDelta = FRAME;
    for (const char* caption : {"Ab", "Q", ""}) {
        std::strcpy(pictureCatalogue[front].caption, caption);
        std::set<bool> seen;
        for (int i = 0; i < 50; ++i) {
            showStep = SHOW_AIM;
            nextIndex = front;
            RunShowDirector();
            seen.insert(captionVisible);
        }
        EXPECT_EQ(seen.size(), std::strlen(caption) > 1 ? 2u : 1u) << caption;
        EXPECT_TRUE(seen.contains(false));
    }
}

}  // namespace
