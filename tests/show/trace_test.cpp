// Ten minutes of a seeded show at 15 frames a second: per minute, the items whose beams opened
// (F floor, z close-up, c caption), the generator's state and a hash of the show state at every
// frame. After a deliberate change, regenerate with --gtest_filter='ShowTrace*' and review.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <cstdio>
#include <sstream>
#include <string>
#include "show/show_fixture.h"

namespace {

constexpr const char* GOLDEN = R"(
scheme 4
 70 36c 44F             | 0105633d 7f9012feb1f4396d
 67 74F                 | edb1a011 6931143f1a09c6ed
 89F 97                 | ad4064cd 030e17a06950d4ab
 105z 76                | 3b3e4801 7ae081b95523f6a7
 21z 50c                | 5a37f6f0 275968f0ef85002b
 71c 99Fc 84c           | 6bb73efd c49a6fde759e5db5
 103 49F 105zc          | ac27e984 769927f553f0e992
 104zc 51 78F           | bd78f0a3 6ff9064e3bbe81c8
 68F 86                 | ca57d495 9865900691d59fce
 59 84z                 | 052c4178 462acb13ac52368d
)";

constexpr int FPS = 15;

using ShowTrace = ShowTest;

TEST_F(ShowTrace, TenMinutesOfASeededShowFollowTheGoldenTrace) {
    ResetShowState(20240607);
    overlay = {};
    saverSettings.robotColour = ROBOT_COLOUR_RANDOM;
    saverSettings.showCountdown = false;
    // A caption of one character is never shown, but its item still draws for the caption.
    for (int i = 16; i < CATALOGUE_SIZE; i += 3) pictureCatalogue[i].caption[1] = '\0';
    scene.clientRect = {0, 0, 64, 64};
    scene.overlayDisabled = false;
    // The scene's build draws the random colour scheme; drawing a frame draws nothing at
    // random, so the frames are advanced without it.
    InitRenderState();
    std::ostringstream trace;
    trace << "\nscheme " << saverSettings.robotColour << "\n";
    // FNV-1a over the bytes of each value.
    unsigned long long hash = 0xcbf29ce484222325ull;
    const auto fold = [&hash](const auto& value) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(&value);
        for (size_t i = 0; i < sizeof(value); ++i) hash = (hash ^ bytes[i]) * 0x100000001b3ull;
    };
    std::ostringstream items;
    char line[96];
    for (int frame = 1; frame <= FPS * 600; ++frame) {
        const int step = showState.showStep;
        AdvanceFrame(static_cast<double>(frame) / FPS);
        for (const auto value :
             {randomState, static_cast<uint32_t>(showState.showStep),
              static_cast<uint32_t>(showState.nextIndex), static_cast<uint32_t>(hologram.holoPhase),
              static_cast<uint32_t>(robotPose.leaning + 2 * robotPose.bodyTurning +
                                    4 * robotPose.headTurning)})
            fold(value);
        for (const auto value :
             {robotPose.bodyYaw, robotPose.headYaw, hologram.sweepRow, showState.holoHalfWidth,
              overlay.bannerX, overlay.bannerY, overlay.textOffset})
            fold(value);
        for (const auto value : {robotPose.leanAmount, showState.beamScale, showState.texLeft,
                                 showState.texTop, showState.texRight, showState.texBottom})
            fold(value);
        if (step == SHOW_AIM && showState.showStep == SHOW_OPEN) {
            items << " " << showState.currentIndex << (showState.floorProjection ? "F" : "")
                  << (showState.zoomActive ? "z" : "") << (showState.captionVisible ? "c" : "");
        }
        if (frame % (FPS * 60) == 0) {
            std::snprintf(line, sizeof(line), "%-24s| %08x %016llx\n", items.str().c_str(),
                          randomState, hash);
            trace << line;
            items.str("");
        }
    }
    ReleaseScene();
    if (trace.str() != GOLDEN) std::printf("The trace of this build:\n%s", trace.str().c_str());
    EXPECT_EQ(trace.str(), GOLDEN);
}

}  // namespace
