// The director's rules for choosing, loading and posing; its random draws are held by the trace.
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>
#include "bmp_seeds.h"
#include "show/show_fixture.h"

namespace {

TEST_F(ShowStateTest, ChooserKeepsToTheSettingsAndNeverRepeatsTheLastFive) {
    const auto folder = std::filesystem::temp_directory_path() / "quorvel-chooser";
    std::filesystem::create_directories(folder / "2024");
    for (const char* name : {"a.avi", "2024/b.jpg"}) std::ofstream(folder / name).put('x');
    struct Case {
        bool playAvis, showExternalBmps, onlyExternalPics;
        int lowest, highest;
        size_t distinct;
    };
    for (const Case c : {Case{false, false, true, 16, 105, 90}, Case{true, true, true, 0, 15, 16},
                         Case{false, true, true, 0, 7, 8}, Case{true, false, true, 8, 105, 98},
                         Case{true, true, false, 0, 105, 106}}) {
        ResetShowState(777);
        ListLibrary(folder);
        saverSettings.playAvis = c.playAvis;
        saverSettings.showExternalBmps = c.showExternalBmps;
        saverSettings.onlyExternalPics = c.onlyExternalPics;
        std::set<int> seen;
        for (int i = 0; i < 4000; ++i) {
            const std::array<int, 5> before = showState.recentPicks;
            ChooseNextItem();
            ASSERT_EQ(std::count(before.begin(), before.end(), showState.nextIndex), 0)
                << showState.nextIndex;
            ASSERT_TRUE(
                std::equal(before.begin(), before.end() - 1, showState.recentPicks.begin() + 1));
            ASSERT_EQ(showState.recentPicks[0], showState.nextIndex);
            seen.insert(showState.nextIndex);
        }
        EXPECT_EQ(*seen.begin(), c.lowest);
        EXPECT_EQ(*seen.rbegin(), c.highest);
        EXPECT_EQ(seen.size(), c.distinct);
        // Until the folder is listed, the show keeps to its own pictures.
        StopMediaLibrary();
        ChooseNextItem();
        EXPECT_GE(showState.nextIndex, 16);
    }
    std::filesystem::remove_all(folder);
}

TEST_F(ShowTest, FailedLoadsKeepWaitingAndChooseAgain) {
    // A picture missing from the program comes back with no size: no division by zero.
    PictureRecord missing = pictureCatalogue[70];
    missing.resourceId = 999;
    showState.holoHalfWidth = 1.5f;
    EXPECT_FALSE(LoadShowItem(missing));
    EXPECT_EQ(showState.holoHalfWidth, 1.5f);
    // An empty media folder, with the trailing separator the settings keep.
    const auto folder = std::filesystem::temp_directory_path() / "quorvel-show-empty";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    ListLibrary(folder);
    saverSettings.playAvis = saverSettings.showExternalBmps = true;
    robotPose.leanAmount = 1.0;
    // A movie slot and an external slot with nothing in the folder to load.
    for (const int failing : {8, 1}) {
        ASSERT_TRUE(LoadShowItem(pictureCatalogue[70]));
        showState.nextIndex = showState.recentPicks[0] = failing;
        ASSERT_TRUE(RunUntil([&] { return showState.nextIndex != failing; }, 120.0));
        EXPECT_EQ(showState.showStep, SHOW_WAIT);
        EXPECT_EQ(showState.recentPicks[1], failing);
        EXPECT_FALSE(showState.movieActive);
        EXPECT_EQ(textureSlots[SLOT_HOLOGRAM], 0u) << "the previous picture is freed";
    }
}

TEST_F(ShowStateTest, FloorMovieTurnsTheBodyToExactlyZero) {
    showState.showStep = SHOW_POSE;
    showState.nextIndex = 8;
    showState.currentIndex = 70;
    robotPose.bodyYaw = 73.3f;
    robotPose.leaning = false;
    ASSERT_TRUE(RunUntil([] { return showState.showStep == SHOW_AIM; }, 60.0));
    EXPECT_EQ(robotPose.bodyYaw, 0.0f);
    EXPECT_EQ(robotPose.leanAmount, 1.0);
}

TEST_F(ShowStateTest, OnlyCaptionsOfMoreThanOneCharacterAreProjected) {
    const int front = FirstIndexWithFlags(PF_FRONT);
    frameClock.frameDelta = FRAME;
    for (const wchar_t* caption : {L"Ab", L"Q", L""}) {
        std::wcscpy(pictureCatalogue[front].caption, caption);
        std::set<bool> seen;
        for (int i = 0; i < 50; ++i) {
            showState.showStep = SHOW_AIM;
            showState.nextIndex = front;
            RunShowDirector();
            seen.insert(showState.captionVisible);
        }
        EXPECT_EQ(seen.size(), std::wcslen(caption) > 1 ? 2u : 1u) << caption;
        EXPECT_TRUE(seen.contains(false));
    }
}

// A picture file's caption is its name as the font shows it: other scripts' letters kept,
// characters it lacks left out, and a neutral caption when nothing of the name is left.
TEST_F(ShowTest, PictureFilesAreCaptionedWithTheLettersOfTheirNames) {
    const auto folder = std::filesystem::temp_directory_path() / "quorvel-captions";
    const std::vector<BmpSeed> seeds = MakeBmpSeeds(1);
    const std::vector<uint8_t>& bmp = seeds.front().bytes;
    saverSettings.showExternalBmps = saverSettings.onlyExternalPics = true;
    const int item = FirstIndexWithFlags(PF_EXTERNAL | PF_ZOOM | PF_FRONT);
    for (const auto& [file, caption] :
         {std::pair<std::wstring_view, std::wstring_view>{L"Москва.bmp", L"Москва.bmp"},
          {L"🌊 Beach.bmp", L"Beach.bmp"},
          {L"東京 タワー.bmp", NEUTRAL_CAPTION}}) {
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        std::ofstream(folder / file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bmp.data()),
                   static_cast<std::streamsize>(bmp.size()));
        ListLibrary(folder);
        // The director loads the item when it is ready to, and poses once the picture is in.
        showState.showStep = SHOW_WAIT;
        showState.nextIndex = item;
        for (ULONGLONG end = GetTickCount64() + 20000;
             showState.showStep == SHOW_WAIT && GetTickCount64() < end; Sleep(1))
            ShowFrame();
        ASSERT_EQ(showState.showStep, SHOW_POSE) << std::wstring(file);
        ASSERT_EQ(showState.nextIndex, item);
        EXPECT_EQ(std::wstring(pictureCatalogue[item].caption), std::wstring(caption));
    }
    ReleasePictureDecoder();
    StopMediaLibrary();
    std::filesystem::remove_all(folder);
}

}  // namespace
