// Movies are checked before the platform's AVI library sees them: the broken ones it would crash
// on are refused, good ones of unusual shape still play.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>
#include "media/avi_structure.h"
#include "media/movie.h"
#include "media/movie_files.h"
#include "media/sound.h"
#include "render/frame_clock.h"
#include "render/scene.h"
#include "settings/settings.h"
#include "show/director.h"
#include "support/gl_fixture.h"

namespace {

std::string MovieFile(const char* name) {
    return movie_files::Case(name) + "m.avi";
}

TEST(AviSafety, MoviesThePlatformWouldCrashOnAreRefused) {
    for (const char* name :
         {"streamcount", "strlname", "indexsize", "halfindex", "headersize", "cinepakcolours",
          "palettecolours", "nochannels", "hugewidth", "noheight", "widebits", "badframe",
          "truncated", "badwave", "zeroblock", "hugeblock", "audiorate"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(CheckAviFile(MovieFile(name).c_str()).valid);
        EXPECT_FALSE(OpenMovieFile(MovieFile(name).c_str()));
        CloseMovie();
    }
}

class UnusualMovies : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        saverSettings.playAviSound = true;
    }

    void TearDown() override {
        CloseMovieAndSound();
        movieActive = false;
        glDeleteTextures(1, &textureSlots[MOVIE_TEXTURE_SLOT]);
        textureSlots[MOVIE_TEXTURE_SLOT] = 0;
        GlTest::TearDown();
    }

    bool Open(const char* name) {
        CloseMovieAndSound();
        movie_files::UseMediaFolder(name);
        glDeleteTextures(1, &textureSlots[MOVIE_TEXTURE_SLOT]);
        movieActive = true;
        return OpenRandomMovie();
    }

    // Whether the movie is still on after `seconds` more.
    static bool Play(double seconds) {
        frameDelta = seconds;
        AdvanceMovie(MOVIE_TEXTURE_SLOT);
        return movieActive;
    }

    static std::array<int, 3> TexelAt(int x, int y) {
        std::vector<unsigned char> pixels(MOVIE_SURFACE_PIXELS * 3);
        glBindTexture(GL_TEXTURE_2D, textureSlots[MOVIE_TEXTURE_SLOT]);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        const unsigned char* texel = &pixels[(y * MOVIE_SURFACE_WIDTH + x) * 3];
        return {texel[0], texel[1], texel[2]};
    }

    // Reads the sound the saver plays, as its player does (the platform aborts the process on a
    // read past what the index holds); the samples read.
    static LONG ReadSound() {
        std::vector<char> buffer(SOUND_BUFFER_BYTES);
        LONG at = AVIStreamStart(audioStream);
        for (LONG bytes = 0, samples = 1; at < movieSoundEnd && samples > 0; at += samples) {
            const LONG count = std::min<LONG>(movieSoundEnd - at, SOUND_BUFFER_BYTES / 4);
            if (AVIStreamRead(audioStream, at, count, buffer.data(), SOUND_BUFFER_BYTES, &bytes,
                              &samples) != 0) {
                break;
            }
        }
        return at;
    }
};

// The tone movie: five grey frames and 10,000 samples of 4 bytes.
TEST_F(UnusualMovies, PaddingAfterTheMoviePlaysWithItsSound) {
    for (const char* name : {"tailff", "tailzero"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(Open(name));
        EXPECT_TRUE(movieSoundOn);
        EXPECT_EQ(movieSoundEnd, 10000);
        EXPECT_EQ(ReadSound(), 10000);
        EXPECT_TRUE(Play(0.45));
        EXPECT_EQ(movieFrameIndex, 4);
        EXPECT_EQ(TexelAt(100, 50), (std::array<int, 3>{128, 128, 128}));
    }
}

TEST_F(UnusualMovies, ALargeFilesLayoutPlaysWhatTheFirstIndexHolds) {
    ASSERT_TRUE(Open("opendml"));
    EXPECT_EQ(movieFrameCount, 10);
    ASSERT_TRUE(movieSoundOn);
    EXPECT_EQ(AVIStreamLength(audioStream), 20000);
    EXPECT_EQ(movieSoundEnd, 10000);
    EXPECT_EQ(ReadSound(), 10000);
    EXPECT_TRUE(Play(0.45));
    EXPECT_EQ(TexelAt(100, 50), (std::array<int, 3>{128, 128, 128}));
    // The platform reads no frame past the first part: the movie ends there.
    EXPECT_FALSE(Play(0.1));
}

TEST_F(UnusualMovies, PalettedFramesAndUnreadableSound) {
    ASSERT_TRUE(Open("pal8"));
    EXPECT_TRUE(Play(0.0));
    // Left red, top green, blue everywhere; dithered by the encoder's palette.
    const auto expectNear = [](std::array<int, 3> texel, std::array<int, 3> expected) {
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(texel[i], expected[i], 40) << i;
    };
    expectNear(TexelAt(60, 100), {255, 255, 255});
    expectNear(TexelAt(200, 100), {0, 255, 255});
    expectNear(TexelAt(60, 30), {255, 0, 255});
    expectNear(TexelAt(200, 30), {0, 0, 255});
    // A sound starting after its stream's first sample is one the platform aborts reading.
    ASSERT_TRUE(Open("latesound"));
    EXPECT_FALSE(movieSoundOn);
    EXPECT_EQ(audioStream, nullptr);
    EXPECT_TRUE(Play(0.25));
}

TEST(PackedBitmapPixels, AColourTableBeyondTheFormatIsRefused) {
    std::vector<unsigned char> block(2048);
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(block.data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biBitCount = 8;
    header->biClrUsed = 256;
    EXPECT_EQ(PackedBitmapPixels(header, 40 + 1024) - block.data(), 40 + 1024);
    header->biClrUsed = 0x10000000;
    EXPECT_EQ(PackedBitmapPixels(header, 40 + 1024), nullptr);
    // A stream format may carry a longer table than a decoder writes.
    header->biClrUsed = 300;
    EXPECT_EQ(PackedBitmapPixels(header, 40 + 1200) - block.data(), 40 + 1200);
    EXPECT_EQ(PackedBitmapPixels(header, 40 + 1196), nullptr);
    header->biClrUsed = 0;
    header->biSize = 0xFFFFFFF0;
    EXPECT_EQ(PackedBitmapPixels(header, 40), nullptr);
    header->biSize = 20;
    EXPECT_EQ(PackedBitmapPixels(header, 40), nullptr);
}

// The rules on copies of the tone movie changed in memory.
class AviRules : public ::testing::Test {
protected:
    size_t Find(const char* tag, int nth = 1) const {
        auto at = bytes_.begin() - 1;
        for (int i = 0; i < nth; ++i) at = std::search(at + 1, bytes_.end(), tag, tag + 4);
        return static_cast<size_t>(at - bytes_.begin());
    }
    uint32_t Get32(size_t at) const {
        uint32_t value;
        std::memcpy(&value, &bytes_[at], 4);
        return value;
    }
    void Put32(size_t at, uint32_t value) { std::memcpy(&bytes_[at], &value, 4); }
    void Put16(size_t at, uint16_t value) { std::memcpy(&bytes_[at], &value, 2); }
    AviStructure Check() const { return CheckAviBytes(bytes_); }
    // Index entry i: its id, flags, offset and size.
    size_t Entry(int i) const { return Find("idx1") + 8 + static_cast<size_t>(i) * 16; }

    std::vector<unsigned char> bytes_ = movie_files::ReadFile(MovieFile("tone"));
    const int entries_ = 15;
};

TEST_F(AviRules, IndexOffsetsCountAsThePlatformCountsThem) {
    ASSERT_TRUE(Check().valid);
    EXPECT_EQ(Check().audioSamples, 10000);
    // From the start of the file: the frame data's list type lies 4 bytes before the first chunk.
    const uint32_t listType = static_cast<uint32_t>(Find("movi"));
    for (int i = 0; i < entries_; ++i) Put32(Entry(i) + 8, Get32(Entry(i) + 8) + listType);
    EXPECT_EQ(Check().audioSamples, 10000);
    // Counted from the first entry, the rest would lie outside the frame data.
    Put32(Entry(0) + 8, Get32(Entry(0) + 8) - listType);
    EXPECT_FALSE(Check().valid);
}

TEST_F(AviRules, IndexEntriesLieInsideTheFrameDataAndNameADeclaredStream) {
    // The last entry's chunk of 784 samples ends where the frame data does.
    const size_t last = Entry(entries_ - 1);
    const uint32_t end = static_cast<uint32_t>(Find("idx1") - Find("movi"));
    Put32(last + 12, end - Get32(last + 8) - 8);
    EXPECT_TRUE(Check().valid);
    Put32(last + 12, end - Get32(last + 8) - 7);
    EXPECT_FALSE(Check().valid);
    Put32(last + 12, end - Get32(last + 8) - 8);
    std::memcpy(&bytes_[last], "rec ", 4);
    EXPECT_EQ(Check().audioSamples, 10000 - 784);
    std::memcpy(&bytes_[last], "02wb", 4);
    EXPECT_FALSE(Check().valid);
    // Stored frames shorter than a whole image; an empty one repeats the last.
    std::memcpy(&bytes_[last], "01wb", 4);
    Put32(Entry(0) + 12, 32 * 32 * 3 - 1);
    EXPECT_FALSE(Check().valid);
    Put32(Entry(0) + 12, 0);
    EXPECT_TRUE(Check().valid);
    // Frames counted in bytes: the index must hold all the header declares.
    Put32(Entry(0) + 12, 32 * 32 * 3);
    Put32(Find("strh") + 8 + 44, 32 * 32 * 3);
    EXPECT_TRUE(Check().valid);
    Put32(Find("strh") + 8 + 44, 32 * 32 * 3 + 1);
    EXPECT_FALSE(Check().valid);
}

TEST_F(AviRules, ChunksLieInsideTheirListsAndTheIndexHoldsWholeEntries) {
    const size_t index = Find("idx1");
    Put32(index + 4, 14 * 16 + 8);
    std::memcpy(&bytes_[Entry(14) + 8], "JUNK\0\0\0\0", 8);
    EXPECT_FALSE(Check().valid);
    // Without its last entry the index holds less of the sound.
    Put32(index + 4, 14 * 16);
    std::memcpy(&bytes_[Entry(14)], "JUNK\x08\0\0\0", 8);
    EXPECT_EQ(Check().audioSamples, 10000 - 784);
    Put32(Find("vprp") + 4, Get32(Find("vprp") + 4) + 2);
    EXPECT_FALSE(Check().valid);
}

TEST_F(AviRules, FormatsHoldWhatTheyClaim) {
    const size_t video = Find("strf") + 8;
    const size_t sound = Find("strf", 2) + 8;
    const size_t rectangle = Find("strh") + 8 + 48;
    Put32(rectangle, 0);
    Put32(rectangle + 4, 0);
    EXPECT_TRUE(Check().valid);
    Put32(video + 32, 1);
    EXPECT_FALSE(Check().valid);
    Put32(video + 32, 0);
    Put16(sound + 12, 2);
    EXPECT_FALSE(Check().valid);
    Put16(sound + 12, 4);
    Put16(sound + 2, 1);
    Put16(sound + 14, 32);
    EXPECT_TRUE(Check().valid);
    Put16(sound + 2, 19);
    Put16(sound + 12, 19 * 4);
    EXPECT_FALSE(Check().valid);
}

}  // namespace
