#include <GL/gl.h>
#include <gtest/gtest.h>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>
#include "media/movie.h"
#include "media/movie_files.h"
#include "media/sound.h"
#include "render/frame_clock.h"
#include "render/scene.h"
#include "settings/settings.h"
#include "show/director.h"
#include "show/hologram.h"
#include "support/gl_fixture.h"

namespace {

using movie_files::UseMediaFolder;

struct Texel {
    int red, green, blue;
};

class MovieTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        saverSettings.playAviSound = false;
        frameTime = 0.0;
        frameDelta = 0.0;
    }

    void TearDown() override {
        CloseMovieAndSound();
        movieActive = false;
        DeleteMovieTexture();
        GlTest::TearDown();
    }

    // What the director does before it asks for a movie.
    bool OpenMovie(const char* folder) {
        UseMediaFolder(folder);
        DeleteMovieTexture();
        movieActive = true;
        if (OpenRandomMovie()) return true;
        movieActive = false;
        CloseMovieAndSound();
        return false;
    }

    void DeleteMovieTexture() {
        glDeleteTextures(1, &textureSlots[MOVIE_TEXTURE_SLOT]);
        textureSlots[MOVIE_TEXTURE_SLOT] = 0;
    }

    void Advance(double seconds) {
        frameDelta = seconds;
        frameTime += seconds;
        AdvanceMovie(MOVIE_TEXTURE_SLOT);
    }

    // Texel (x, y) of the movie texture; row 0 is the frame's bottom row.
    Texel TexelAt(int x, int y) {
        std::vector<uint8_t> pixels(MOVIE_SURFACE_PIXELS * 3);
        glBindTexture(GL_TEXTURE_2D, textureSlots[MOVIE_TEXTURE_SLOT]);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        const size_t at = (static_cast<size_t>(y) * MOVIE_SURFACE_WIDTH + x) * 3;
        return {pixels[at], pixels[at + 1], pixels[at + 2]};
    }

    // The frame of the "long" movie on show, from its colour code.
    int LongFrameShown() {
        const Texel texel = TexelAt(10, 10);
        return static_cast<int>(std::lround((texel.red - 16) / 32.0)) +
               8 * static_cast<int>(std::lround((texel.green - 16) / 32.0));
    }

    static void ExpectNothingOpen() {
        EXPECT_EQ(frameSurface, nullptr);
        EXPECT_EQ(surfaceBits, nullptr);
        EXPECT_EQ(frameDrawer, nullptr);
        EXPECT_EQ(frameDecoder, nullptr);
        EXPECT_EQ(videoStream, nullptr);
        EXPECT_EQ(audioStream, nullptr);
        EXPECT_FALSE(aviLibraryOpen);
        EXPECT_FALSE(movieSoundOn);
    }
};

void ExpectNear(Texel actual, Texel expected, int tolerance) {
    EXPECT_NEAR(actual.red, expected.red, tolerance);
    EXPECT_NEAR(actual.green, expected.green, tolerance);
    EXPECT_NEAR(actual.blue, expected.blue, tolerance);
}

// The test movies' frame n is red 25n + 5, green 40 on the left and 200 on the right, blue 60
// in the top half and 220 in the bottom half.
TEST_F(MovieTest, A320By240MovieFillsTheWholeTexture) {
    ASSERT_TRUE(OpenMovie("raw"));
    EXPECT_EQ(holoHalfWidth, 1.3333334f);
    EXPECT_EQ(movieFrameCount, 10);
    EXPECT_EQ(movieDurationMs, 1000.0);
    GLint width = 0, height = 0, wrapS = 0, wrapT = 0, minFilter = 0, magFilter = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrapT);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
    EXPECT_EQ(width, MOVIE_SURFACE_WIDTH);
    EXPECT_EQ(height, MOVIE_SURFACE_HEIGHT);
    EXPECT_EQ(wrapS, GL_CLAMP);
    EXPECT_EQ(wrapT, GL_CLAMP);
    EXPECT_EQ(minFilter, GL_LINEAR);
    EXPECT_EQ(magFilter, GL_LINEAR);

    Advance(0.0);
    ASSERT_TRUE(movieActive);
    ExpectNear(TexelAt(0, 0), {5, 40, 220}, 0);
    ExpectNear(TexelAt(255, 127), {5, 200, 60}, 0);
    ExpectNear(TexelAt(127, 63), {5, 40, 220}, 0);
    ExpectNear(TexelAt(128, 64), {5, 200, 60}, 0);
    ExpectNear(TexelAt(0, 127), {5, 40, 60}, 0);
    ExpectNear(TexelAt(255, 0), {5, 200, 220}, 0);
}

TEST_F(MovieTest, CompressedMoviesDecode) {
    for (const char* codec : {"msvideo1", "cinepak"}) {
        SCOPED_TRACE(codec);
        ASSERT_TRUE(OpenMovie(codec));
        EXPECT_EQ(holoHalfWidth, 1.3333334f);
        Advance(0.75);
        ASSERT_TRUE(movieActive);
        EXPECT_EQ(movieFrameIndex, 7);
        ExpectNear(TexelAt(32, 32), {180, 40, 220}, 16);
        ExpectNear(TexelAt(224, 32), {180, 200, 220}, 16);
        ExpectNear(TexelAt(32, 96), {180, 40, 60}, 16);
        ExpectNear(TexelAt(224, 96), {180, 200, 60}, 16);
        CloseMovieAndSound();
    }
}

TEST_F(MovieTest, TenFramesInASecondAtThirtyFramesPerSecond) {
    ASSERT_TRUE(OpenMovie("raw"));
    Advance(0.0);
    EXPECT_EQ(movieFrameIndex, 0);
    EXPECT_EQ(TexelAt(10, 10).red, 5);
    for (int k = 1; k <= 90; ++k) {
        Advance(1.0 / 30.0);
        const double ms = k * 100.0 / 3.0;
        const int expected = std::min(9, static_cast<int>(ms / 100.0));
        // At a whole tenth of a second either neighbour is right.
        if (k % 3 == 0 && k < 30)
            EXPECT_TRUE(movieFrameIndex == expected || movieFrameIndex == expected - 1) << k;
        else
            EXPECT_EQ(movieFrameIndex, expected) << k;
        EXPECT_EQ(TexelAt(10, 10).red, 25 * movieFrameIndex + 5) << k;
    }
    EXPECT_TRUE(movieActive);
}

TEST_F(MovieTest, AStalledFrameJumpsAhead) {
    ASSERT_TRUE(OpenMovie("long"));
    EXPECT_EQ(movieFrameCount, 40);
    Advance(0.35);
    EXPECT_EQ(movieFrameIndex, 3);
    EXPECT_EQ(LongFrameShown(), 3);
    Advance(2.0);
    EXPECT_EQ(movieFrameIndex, 23);
    EXPECT_EQ(LongFrameShown(), 23);
    Advance(1e9);
    EXPECT_EQ(movieFrameIndex, 39);
    EXPECT_EQ(LongFrameShown(), 39);
    EXPECT_TRUE(movieActive);
}

TEST_F(MovieTest, RestartGoesBackToTheFirstFrame) {
    ASSERT_TRUE(OpenMovie("raw"));
    for (int i = 0; i < 21; ++i) Advance(1.0 / 30.0);
    EXPECT_EQ(movieFrameIndex, 7);
    RestartMovie();
    EXPECT_EQ(movieFrameIndex, 0);
    EXPECT_EQ(movieElapsedMs, 0.0);
    Advance(1.0 / 30.0);
    EXPECT_EQ(movieFrameIndex, 0);
    EXPECT_EQ(TexelAt(10, 10).red, 5);
}

TEST_F(MovieTest, AFrameThatCannotBeDecodedEndsTheMovie) {
    // The index ends after frame 14.
    ASSERT_TRUE(OpenMovie("lateframe"));
    frameTime = 12.0;
    holdUntil = 99.0;
    Advance(0.0);
    for (int frame = 1; frame < 15; ++frame) {
        Advance(0.1);
        ASSERT_TRUE(movieActive) << frame;
    }
    EXPECT_EQ(LongFrameShown(), 14);
    Advance(0.1);
    EXPECT_FALSE(movieActive);
    EXPECT_DOUBLE_EQ(holdUntil, 13.5);
    ExpectNothingOpen();
    EXPECT_EQ(LongFrameShown(), 14);
    // The hologram keeps its texture until the director loads the next item.
    EXPECT_TRUE(glIsTexture(textureSlots[MOVIE_TEXTURE_SLOT]));
}

TEST_F(MovieTest, MoviesThatOpenButNeverDecodeEndAtTheFirstFrame) {
    // Rows stored top-down, which the platform's drawer refuses.
    for (const char* name : {"topdown"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(OpenMovie(name));
        frameTime = 3.0;
        Advance(0.0);
        EXPECT_FALSE(movieActive);
        EXPECT_EQ(holdUntil, 3.0);
        ExpectNothingOpen();
    }
}

TEST_F(MovieTest, UnplayableFilesAreRefusedAndLeaveNothingOpen) {
    const char* names[] = {"mjpeg",      // no decoder
                           "audioonly",  // no video stream
                           "dir",        // a folder named m.avi
                           "zeroframes", "zeroduration", "manyframes",   "hugeframe",
                           "hugemovi",  // chunk sizes the library reads as negative
                           "hugejunk",   "hugeformat",   "nosuchfolder", "empty"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(OpenMovie(name));
        EXPECT_FALSE(movieActive);
        ExpectNothingOpen();
    }
}

TEST_F(MovieTest, AHeaderThatOverstatesTheFileStillPlays) {
    ASSERT_TRUE(OpenMovie("riffsize"));
    Advance(0.25);
    EXPECT_TRUE(movieActive);
    EXPECT_EQ(movieFrameIndex, 2);
}

TEST_F(MovieTest, TheAudioStreamOpensOnlyWithSoundOn) {
    ASSERT_TRUE(OpenMovie("tone"));
    EXPECT_EQ(audioStream, nullptr);
    EXPECT_FALSE(movieSoundOn);
    saverSettings.playAviSound = true;
    ASSERT_TRUE(OpenMovie("tone"));
    EXPECT_NE(audioStream, nullptr);
    EXPECT_TRUE(movieSoundOn);
    ASSERT_TRUE(OpenMovie("silent"));
    EXPECT_EQ(audioStream, nullptr);
    EXPECT_FALSE(movieSoundOn);
}

TEST_F(MovieTest, ClosingTwiceReleasesNothingTwice) {
    ASSERT_TRUE(OpenMovie("raw"));
    const HBITMAP surface = frameSurface;
    CloseMovieAndSound();
    ExpectNothingOpen();
    EXPECT_EQ(GetObjectType(surface), 0u);
    CloseMovieAndSound();
    ExpectNothingOpen();
    EXPECT_NE(movieDC, nullptr);
}

// The movie in the hologram: the scan line sweeps 40 rows a second, the picture is revealed at
// the first wrap and held until the first wrap after holdUntil.
class MovieInHologram : public MovieTest {
protected:
    void SetUp() override {
        MovieTest::SetUp();
        holoPhase = HOLO_SCAN;
        sweepRow = 0.0f;
        hologramDone = false;
        zoomActive = false;
        frameTime = 20.0;
    }

    void HologramFrame() {
        frameDelta = 1.0 / 30.0;
        frameTime += frameDelta;
        AdvanceHologram();
    }

    // Frames until the phase is reached (or a minute has passed); the clock then.
    double RunUntil(int phase) {
        for (int frame = 0; frame < 1800 && holoPhase != phase; ++frame) HologramFrame();
        EXPECT_EQ(holoPhase, phase);
        return frameTime;
    }
};

TEST_F(MovieInHologram, TheMovieStartsAgainAtTheReveal) {
    ASSERT_TRUE(OpenMovie("raw"));
    while (holoPhase == HOLO_SCAN && sweepRow < 39.0f) HologramFrame();
    EXPECT_GE(movieFrameIndex, 8);
    const double reveal = RunUntil(HOLO_REVEAL);
    EXPECT_EQ(movieElapsedMs, 0.0);
    EXPECT_EQ(movieFrameIndex, 0);
    EXPECT_DOUBLE_EQ(holdUntil, reveal + 1.0);
    HologramFrame();
    EXPECT_EQ(movieFrameIndex, 0);
    EXPECT_EQ(TexelAt(10, 10).red, 5);
}

TEST_F(MovieInHologram, TheMovieIsHeldForItsLength) {
    ASSERT_TRUE(OpenMovie("long"));
    const double reveal = RunUntil(HOLO_REVEAL);
    const double last = RunUntil(HOLO_LAST);
    EXPECT_GT(last - reveal, 4.0);
    EXPECT_LT(last - reveal, 5.1);
    EXPECT_TRUE(movieActive);
    EXPECT_EQ(LongFrameShown(), 39);
    // The last sweep and the erase run on the last frame; then the movie is closed.
    for (int frame = 0; frame < 90 && !hologramDone; ++frame) HologramFrame();
    EXPECT_TRUE(hologramDone);
    EXPECT_FALSE(movieActive);
    ExpectNothingOpen();
}

TEST_F(MovieInHologram, ADecodingFailureEndsTheHoldAtTheNextWrap) {
    ASSERT_TRUE(OpenMovie("lateframe"));
    RunUntil(HOLO_REVEAL);
    while (movieActive && holoPhase != HOLO_LAST) HologramFrame();
    const double failed = frameTime;
    EXPECT_DOUBLE_EQ(holdUntil, failed);
    const double last = RunUntil(HOLO_LAST);
    EXPECT_LE(last - failed, 1.0 + 1.0 / 30.0);
    EXPECT_EQ(LongFrameShown(), 14);
}

TEST(MovieFrameAt, FromTheFirstFrameToTheLastAndNoFurther) {
    EXPECT_EQ(MovieFrameAt(0.0, 1000.0, 10), 0);
    EXPECT_EQ(MovieFrameAt(99.9, 1000.0, 10), 0);
    EXPECT_EQ(MovieFrameAt(100.0, 1000.0, 10), 1);
    EXPECT_EQ(MovieFrameAt(900.0, 1000.0, 10), 9);
    EXPECT_EQ(MovieFrameAt(1000.0, 1000.0, 10), 9);
    EXPECT_EQ(MovieFrameAt(1e300, 1000.0, 10), 9);
    EXPECT_EQ(MovieFrameAt(-5.0, 1000.0, 10), 0);
    EXPECT_EQ(MovieFrameAt(std::numeric_limits<double>::quiet_NaN(), 1000.0, 10), 0);
    EXPECT_EQ(MovieFrameAt(1e12, 1000.0, 2147483647), 2147483646);
}

TEST(SwapRedBlue, SwapsTheOuterBytesOfEveryPixel) {
    std::vector<unsigned char> pixels(MOVIE_SURFACE_PIXELS * 3 + 1, 7);
    for (size_t i = 0; i < MOVIE_SURFACE_PIXELS * 3; ++i) pixels[i] = static_cast<unsigned char>(i);
    SwapRedBlue(pixels.data());
    for (size_t p = 0; p < MOVIE_SURFACE_PIXELS; ++p) {
        ASSERT_EQ(pixels[p * 3], static_cast<unsigned char>(p * 3 + 2));
        ASSERT_EQ(pixels[p * 3 + 1], static_cast<unsigned char>(p * 3 + 1));
        ASSERT_EQ(pixels[p * 3 + 2], static_cast<unsigned char>(p * 3));
    }
    EXPECT_EQ(pixels.back(), 7);
}

TEST(PackedBitmapPixels, SkipTheHeaderColourTableAndMasks) {
    std::array<unsigned char, 256> block{};
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(block.data());
    const auto offset = [&] {
        return PackedBitmapPixels(header, sizeof(BITMAPINFOHEADER)) - block.data();
    };
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biBitCount = 24;
    EXPECT_EQ(offset(), 40);
    header->biBitCount = 8;
    EXPECT_EQ(offset(), 40 + 256 * 4);
    header->biClrUsed = 16;
    EXPECT_EQ(offset(), 40 + 16 * 4);
    header->biClrUsed = 0;
    header->biBitCount = 16;
    header->biCompression = BI_BITFIELDS;
    EXPECT_EQ(offset(), 40 + 12);
    header->biSize = sizeof(BITMAPV4HEADER);
    EXPECT_EQ(offset(), static_cast<long>(sizeof(BITMAPV4HEADER)));
}

}  // namespace
