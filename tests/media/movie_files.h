// The movies of make_movies.sh (made into the Unix folder $QUORVEL_MOVIES before the media
// tests run) and a fixture that plays them.
#pragma once
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include "media/avi_structure.h"
#include "media/movie.h"
#include "media/sound.h"
#include "render/frame_clock.h"
#include "render/scene.h"
#include "settings/settings.h"
#include "show/director.h"
#include "show/hologram.h"
#include "show/show_fixture.h"
#include "support/gl_fixture.h"

namespace movie_files {

// Wine's process ids repeat between prefixes; the tick count keeps two runs apart.
inline const std::string& UnixFolder() {
    static const std::string folder = "/tmp/quorvel-media-" +
                                      std::to_string(GetCurrentProcessId()) + "-" +
                                      std::to_string(GetTickCount64());
    return folder;
}

// Runs a Unix command; its exit code. Wine's handle of a Unix process does not wait for it, so
// the command leaves its code in a file.
inline int RunUnix(const std::string& command) {
    const std::string status = UnixFolder() + ".status";
    std::string line = "Z:\\bin\\sh -c \"" + command + "; echo $? >" + status + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return -1;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    const std::string windowsStatus = "Z:" + status;
    for (int waited = 0; waited < 300000; waited += 50) {
        FILE* file = std::fopen(windowsStatus.c_str(), "r");
        int code = -1;
        if (file != nullptr && std::fscanf(file, "%d", &code) == 1) {
            std::fclose(file);
            DeleteFileA(windowsStatus.c_str());
            return code;
        }
        if (file != nullptr) std::fclose(file);
        Sleep(50);
    }
    return -1;
}

// The folder of test case `name`, as a media folder path (with its trailing backslash).
inline std::string Case(const char* name) {
    const char* folder = std::getenv("QUORVEL_MOVIES");
    EXPECT_NE(folder, nullptr) << "QUORVEL_MOVIES names no folder of test movies";
    std::string path = std::string("Z:") + (folder ? folder : "/nowhere") + "/" + name + "/";
    for (char& c : path)
        if (c == '/') c = '\\';
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
