// A golden trace of a seeded run: ten simulated minutes of real frames at 15 per second
// (director, animation, beams, captions, hologram and overlay, in the order the frame draws
// them). Every random decision comes from one shared generator, so the order of the draws and
// the parity each is tested against are part of the behaviour: any change to them changes the
// trace. Each line is one item as its beam opens (time, catalogue entry, floor or front,
// close-up, caption) or one minute's summary (generator state, and a hash of the whole show
// state folded in every frame).
//
// After a deliberate change of the show's random decisions, regenerate the trace: run
//   tools/with-wine.sh build wine build/tests/test_show.exe --gtest_filter='ShowTrace*'
// copy the printed trace into GOLDEN below, and review the difference.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include "show/show_fixture.h"
#include "text/overlay_state.h"

namespace {

constexpr const char* GOLDEN = R"(
scheme 4
   2.9 item  70 front
  29.3 item  36 front caption
  51.6 item  44 floor
  1 min state 0105633d hash c8f512ae68bd66d8
  85.6 item  67 front
 117.1 item  74 floor
  2 min state edb1a011 hash c24a54fc70a32a18
 151.7 item  89 floor
 173.0 item  97 front
  3 min state ad4064cd hash 9f64d4c95f6dbf16
 206.7 item 105 front close-up
 229.7 item  76 front
  4 min state 3b3e4801 hash 5c7c0492875a4377
 252.2 item  21 front close-up
 272.5 item  50 front caption
  5 min state 5a37f6f0 hash 6e6fbb1483e09feb
 302.9 item  71 front caption
 330.5 item  99 floor caption
 347.4 item  84 front caption
  6 min state 6bb73efd hash a4ef172bfe7f31bc
 364.3 item 103 front
 384.7 item  49 floor
 404.5 item 105 front close-up caption
  7 min state ac27e984 hash a3a557768f5247ba
 421.5 item 104 front close-up caption
 443.7 item  51 front
 472.6 item  78 floor
  8 min state bd78f0a3 hash d4127a28afad44f8
 488.3 item  68 floor
 521.7 item  86 front
  9 min state ca57d495 hash 6e950204443a3f62
 547.4 item  59 front
 566.7 item  84 front close-up
 10 min state 052c4178 hash 7e57e8efbccc408d
)";

// FNV-1a over the bytes of each value.
class Hash {
public:
    template <typename T>
    void Add(const T& value) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(&value);
        for (size_t i = 0; i < sizeof(T); ++i) hash_ = (hash_ ^ bytes[i]) * 0x100000001b3ull;
    }
    unsigned long long Value() const { return hash_; }

private:
    unsigned long long hash_ = 0xcbf29ce484222325ull;
};

constexpr int FPS = 15;

using ShowTrace = ShowTest;

TEST_F(ShowTrace, TenMinutesOfASeededShowFollowTheGoldenTrace) {
    ResetShowState(20240607);
    ResetOverlayState();
    saverSettings.robotColour = ROBOT_COLOUR_RANDOM;
    saverSettings.showCountdown = false;
    clientRect = {0, 0, 64, 64};
    overlayDisabled = false;
    InitRenderState();
    // The robot's own lists and the overlay's text lines draw nothing at random, and no pixel
    // matters here: left out, the run takes a fraction of the time.
    for (unsigned int list = LIST_BODY; list < LIST_BEAM; ++list) {
        glNewList(list, GL_COMPILE);
        glEndList();
    }
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 1, 1);
    std::ostringstream trace;
    trace << "\nscheme " << saverSettings.robotColour << "\n";
    Hash hash;
    char line[96];
    for (int frame = 1; frame <= FPS * 600; ++frame) {
        const int step = showStep;
        RenderFrame(static_cast<double>(frame) / FPS);
        for (const auto value :
             {randomState, static_cast<uint32_t>(showStep), static_cast<uint32_t>(nextIndex),
              static_cast<uint32_t>(holoPhase),
              static_cast<uint32_t>(leaning + 2 * bodyTurning + 4 * headTurning)})
            hash.Add(value);
        for (const auto value : {bodyYaw, headYaw, sweepRow, bannerX, bannerY, textOffset})
            hash.Add(value);
        for (const auto value : {leanAmount, beamScale, texLeft, texTop, texRight, texBottom})
            hash.Add(value);
        if (step == SHOW_AIM && showStep == SHOW_OPEN) {
            std::snprintf(line, sizeof(line), "%6.1f item %3d %s%s%s\n", frameTime, currentIndex,
                          floorProjection ? "floor" : "front", zoomActive ? " close-up" : "",
                          captionVisible ? " caption" : "");
            trace << line;
        }
        if (frame % (FPS * 60) == 0) {
            std::snprintf(line, sizeof(line), "%3d min state %08x hash %016llx\n", frame / FPS / 60,
                          randomState, hash.Value());
            trace << line;
        }
    }
    ReleaseScene();
    const std::string actual = trace.str();
    if (actual != GOLDEN) std::printf("The trace of this build:\n%s", actual.c_str());
    std::istringstream expectedLines(GOLDEN), actualLines(actual);
    for (int n = 1; expectedLines || actualLines; ++n) {
        std::string expected, got;
        std::getline(expectedLines, expected);
        std::getline(actualLines, got);
        ASSERT_EQ(got, expected) << "first difference in line " << n;
    }
}

}  // namespace
