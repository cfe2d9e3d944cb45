// Movies decoded into the hologram's texture. Frame n of the quadrant movies is red 25n + 5,
// green 40 on the left and 200 on the right, blue 60 in the top half and 220 in the bottom half;
// frame n of the 40-frame "long" movie is red 32 (n mod 8) + 16, green 32 (n div 8) + 16.
#include <gtest/gtest.h>
#include <cmath>
#include <string>
#include <tuple>
#include <vector>
#include "media/movie_files.h"
#include "show/hologram.h"

namespace {

struct Texel {
    int x, y;
    std::array<int, 3> rgb;
};

class MovieTest : public MediaTest {
protected:
    void SetUp() override {
        MediaTest::SetUp();
        saverSettings.playAviSound = false;
    }
    static void ExpectTexels(const std::vector<Texel>& texels, int tolerance) {
        for (const Texel& t : texels) {
            for (int i = 0; i < 3; ++i)
                EXPECT_NEAR(TexelAt(t.x, t.y)[i], t.rgb[i], tolerance) << t.x << "," << t.y;
        }
    }
    static int LongFrameShown() {
        const std::vector<uint8_t> p = Texture();
        return static_cast<int>(std::lround((p[0] - 16) / 32.0) +
                                8 * std::lround((p[1] - 16) / 32.0));
    }
};

TEST_F(MovieTest, AnyMovieFillsTheWholeTextureWithItsBottomRowFirst) {
    ASSERT_TRUE(OpenMovie("raw"));
    EXPECT_EQ(showState.holoHalfWidth, 1.3333334f);
    EXPECT_EQ(moviePlayer.movieFrameCount, 10);
    EXPECT_EQ(moviePlayer.movieDurationMs, 1000.0);
    std::array<GLint, 4> parameters{};
    for (int i = 0; i < 4; ++i) {
        constexpr GLenum NAMES[] = {GL_TEXTURE_WRAP_S, GL_TEXTURE_WRAP_T, GL_TEXTURE_MIN_FILTER,
                                    GL_TEXTURE_MAG_FILTER};
        glGetTexParameteriv(GL_TEXTURE_2D, NAMES[i], &parameters[i]);
    }
    EXPECT_EQ(parameters, (std::array<GLint, 4>{GL_CLAMP, GL_CLAMP, GL_LINEAR, GL_LINEAR}));
    Advance(0.0);
    ExpectTexels({{0, 0, {5, 40, 220}},
                  {255, 0, {5, 200, 220}},
                  {127, 63, {5, 40, 220}},
                  {128, 64, {5, 200, 60}},
                  {0, 127, {5, 40, 60}},
                  {255, 127, {5, 200, 60}}},
                 0);
    // Compressed movies, half the size, at frame 7.
    for (const char* codec : {"msvideo1", "cinepak"}) {
        SCOPED_TRACE(codec);
        ASSERT_TRUE(OpenMovie(codec));
        EXPECT_EQ(showState.holoHalfWidth, 1.3333334f);
        Advance(0.75);
        ASSERT_TRUE(showState.movieActive);
        EXPECT_EQ(moviePlayer.movieFrameIndex, 7);
        ExpectTexels({{32, 32, {180, 40, 220}},
                      {224, 32, {180, 200, 220}},
                      {32, 96, {180, 40, 60}},
                      {224, 96, {180, 200, 60}}},
                     16);
    }
}

// Time steps add up; a stalled frame jumps ahead without decoding what lies between, and the
// last one stays.
TEST_F(MovieTest, TheFrameShownFollowsTheSummedTimeSteps) {
    ASSERT_TRUE(OpenMovie("long"));
    for (const auto& [step, frame] : {std::pair{0.35, 3}, {2.0, 23}, {1e9, 39}}) {
        Advance(step);
        EXPECT_EQ(moviePlayer.movieFrameIndex * 100 + LongFrameShown(), frame * 101) << step;
    }
}

TEST_F(MovieTest, AFrameThatCannotBeDecodedEndsTheMovieAndTheHold) {
    // The index ends after frame 14.
    ASSERT_TRUE(OpenMovie("lateframe"));
    frameClock.frameTime = 12.0;
    hologram.holdUntil = 99.0;
    for (int frame = 0; frame < 15; ++frame) {
        Advance(frame == 0 ? 0.0 : 0.1);
        ASSERT_TRUE(showState.movieActive) << frame;
    }
    Advance(0.1);
    EXPECT_FALSE(showState.movieActive);
    EXPECT_DOUBLE_EQ(hologram.holdUntil, 13.5);
    ExpectNothingOpen();
    // The hologram keeps the last frame until the director loads the next item.
    EXPECT_EQ(LongFrameShown(), 14);
    // Rows stored top-down, which the drawer refuses: the movie opens, then ends at its first
    // frame.
    ASSERT_TRUE(OpenMovie("topdown"));
    frameClock.frameTime = 3.0;
    Advance(0.0);
    EXPECT_FALSE(showState.movieActive);
    EXPECT_EQ(hologram.holdUntil, 3.0);
    ExpectNothingOpen();
}

// A decode of any frame would overwrite the mark; frame n of "raw" has red 25 n + 5.
TEST_F(MovieTest, AFrameAlreadyInTheTextureIsNotDecodedAgain) {
    const auto redAfter = [](double seconds) {
        Advance(seconds);
        return static_cast<int>(Texture()[(10 * MOVIE_SURFACE_WIDTH + 10) * 3]);
    };
    const uint8_t mark[3] = {99, 99, 99};
    ASSERT_TRUE(OpenMovie("raw"));
    EXPECT_EQ(redAfter(0.0), 5);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 10, 10, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, mark);
    EXPECT_EQ(redAfter(0.03), 99);
    EXPECT_EQ(redAfter(0.06), 99);
    EXPECT_EQ(redAfter(0.02), 30);
    RestartMovie();
    EXPECT_EQ(redAfter(0.0), 5);
    // A movie opened anew has a texture of its own, which its first frame must fill.
    ASSERT_TRUE(OpenMovie("raw"));
    EXPECT_EQ(redAfter(0.0), 5);
}

TEST_F(MovieTest, TheSoundStreamOpensOnlyWhenWantedAndClosingTwiceFreesOnce) {
    const struct {
        const char* movie;
        bool wanted, opens;
    } cases[] = {{"tone", false, false},
                 {"tone", true, true},
                 {"silent", true, false},
                 {"names", true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.movie) + (c.wanted ? " with sound wanted" : ""));
        saverSettings.playAviSound = c.wanted;
        ASSERT_TRUE(OpenMovie(c.movie));
        EXPECT_EQ(moviePlayer.audioStream != nullptr, c.opens);
        EXPECT_EQ(moviePlayer.movieSoundOn, c.opens);
        const HBITMAP surface = moviePlayer.frameSurface;
        CloseMovieAndSound();
        ExpectNothingOpen();
        EXPECT_EQ(GetObjectType(surface), 0u);
        CloseMovieAndSound();
        ExpectNothingOpen();
    }
}

// The scan line sweeps 40 rows a second; the picture is revealed at the first wrap and held
// until the first wrap after hologram.holdUntil.
TEST_F(MovieTest, InTheHologramTheMovieRestartsAtTheRevealAndIsHeldForItsLength) {
    hologram.holoPhase = HOLO_SCAN;
    hologram.sweepRow = 0.0f;
    showState.hologramDone = showState.zoomActive = false;
    frameClock.frameTime = 20.0;
    const auto frame = [] {
        frameClock.frameDelta = 1.0 / 30.0;
        frameClock.frameTime += frameClock.frameDelta;
        AdvanceHologram();
    };
    const auto runUntil = [&](int phase) {
        for (int i = 0; i < 1800 && hologram.holoPhase != phase; ++i) frame();
        EXPECT_EQ(hologram.holoPhase, phase);
        return frameClock.frameTime;
    };
    ASSERT_TRUE(OpenMovie("long"));
    // The movie already runs during the first sweep.
    while (hologram.holoPhase == HOLO_SCAN && hologram.sweepRow < 39.0f) frame();
    EXPECT_GE(moviePlayer.movieFrameIndex, 8);
    const double reveal = runUntil(HOLO_REVEAL);
    EXPECT_EQ(moviePlayer.movieElapsedMs, 0.0);
    EXPECT_EQ(moviePlayer.movieFrameIndex, 0);
    EXPECT_DOUBLE_EQ(hologram.holdUntil, reveal + 4.0);
    const double last = runUntil(HOLO_LAST);
    EXPECT_GT(last - reveal, 4.0);
    EXPECT_LT(last - reveal, 5.1);
    EXPECT_EQ(LongFrameShown(), 39);
    // The last sweep and the erase run on the last frame; then the movie is closed.
    for (int i = 0; i < 90 && !showState.hologramDone; ++i) frame();
    EXPECT_TRUE(showState.hologramDone);
    EXPECT_FALSE(showState.movieActive);
    ExpectNothingOpen();
}

// Elapsed and total milliseconds, frames, the frame shown: the last one from the movie's end on.
TEST(MovieFrameAt, FromTheFirstFrameToTheLastAndNoFurther) {
    const std::tuple<double, double, int, int> cases[] = {
        {99.9, 1000, 10, 0},  {100, 1000, 10, 1},
        {999.9, 1000, 10, 9}, {1000, 1000, 10, 9},
        {1e300, 1000, 10, 9}, {-5, 1000, 10, 0},
        {NAN, 1000, 10, 0},   {1e12, 1000, 2147483647, 2147483646}};
    for (const auto& [elapsed, duration, count, frame] : cases)
        EXPECT_EQ(MovieFrameAt(elapsed, duration, count), frame) << elapsed;
}

}  // namespace
