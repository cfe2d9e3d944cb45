// The movies and pictures of make_movies.sh (made into the Unix folder $QUORVEL_MOVIES before
// the unit tests run) and a fixture that plays the movies.
#pragma once
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include "media/movie.h"
#include "media/sound.h"
#include "show/show_fixture.h"

namespace movie_files {

// The folder of test case `name`, as a media folder path (with its trailing backslash).
inline std::string Case(const char* name) {
    const char* folder = std::getenv("QUORVEL_MOVIES");
    EXPECT_NE(folder, nullptr) << "QUORVEL_MOVIES names no folder of test movies";
    std::string path = std::string("Z:") + (folder ? folder : "/nowhere") + "/" + name + "/";
    std::ranges::replace(path, '/', '\\');
    return path;
}

inline std::string MovieFile(const char* name) {
    return Case(name) + "m.avi";
}

inline std::vector<unsigned char> ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace movie_files

class MediaTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        saverSettings = SaverSettings{};
        frameClock = {};
    }
    void TearDown() override {
        CloseMovieAndSound();
        StopMediaLibrary();
        showState = {};
        glDeleteTextures(1, &textureSlots[SLOT_HOLOGRAM]);
        textureSlots[SLOT_HOLOGRAM] = 0;
        GlTest::TearDown();
    }
    static void UseMediaFolder(const char* name) { ListLibrary(movie_files::Case(name)); }
    // The director's load of a movie item, from folder `name`.
    static bool OpenMovie(const char* name) {
        UseMediaFolder(name);
        constexpr int FRONT_MOVIE_ITEM = 9;
        if (!LoadShowItem(pictureCatalogue[FRONT_MOVIE_ITEM])) return false;
        const PictureDecode load = AwaitLoad(FinishItemLoad);
        if (load != PictureDecode::Loaded) showState.movieActive = false;
        return load == PictureDecode::Loaded;
    }
    // Whether the movie is still on after `seconds` more.
    static bool Advance(double seconds) {
        frameClock.frameDelta = seconds;
        frameClock.frameTime += seconds;
        AdvanceHologramMovie();
        return showState.movieActive;
    }
    // The movie texture's texels; row 0 is the frame's bottom row.
    static std::vector<uint8_t> Texture() {
        std::vector<uint8_t> pixels(MOVIE_SURFACE_PIXELS * 3);
        glBindTexture(GL_TEXTURE_2D, textureSlots[SLOT_HOLOGRAM]);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }
    static std::array<int, 3> TexelAt(int x, int y) {
        const std::vector<uint8_t> pixels = Texture();
        const uint8_t* texel = &pixels[(y * MOVIE_SURFACE_WIDTH + x) * 3];
        return {texel[0], texel[1], texel[2]};
    }
    static void ExpectNothingOpen() {
        EXPECT_TRUE(!moviePlayer.frameSurface && !moviePlayer.surfaceBits &&
                    !moviePlayer.frameDrawer && !moviePlayer.frameDecoder &&
                    !moviePlayer.videoStream && !moviePlayer.audioStream &&
                    !moviePlayer.aviLibraryOpen && !moviePlayer.movieSoundOn);
    }
};
