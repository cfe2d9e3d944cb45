// The movies of make_movies.sh, made once per test run into the folder $QUORVEL_MOVIES names (a
// Unix path; the test runner makes them before the media tests), and a fixture that plays them.
#pragma once
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include "media/movie.h"
#include "media/sound.h"
#include "render/frame_clock.h"
#include "render/scene.h"
#include "settings/settings.h"
#include "show/director.h"
#include "support/gl_fixture.h"

namespace movie_files {

// A folder name of this test process's own: Wine's process ids are small and repeat between
// prefixes, so the tick count keeps two test runs on one machine apart.
inline const std::string& UnixFolder() {
    static const std::string folder = "/tmp/quorvel-media-" +
                                      std::to_string(GetCurrentProcessId()) + "-" +
                                      std::to_string(GetTickCount64());
    return folder;
}

// Runs a Unix command (Wine starts Unix programs like Windows ones, but its process handle does
// not wait for them, so the command leaves its exit code in a file); its exit code.
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

inline void UseMediaFolder(const char* name) {
    std::snprintf(saverSettings.aviPath, sizeof(saverSettings.aviPath), "%s", Case(name).c_str());
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
        frameTime = frameDelta = 0.0;
    }
    void TearDown() override {
        CloseMovieAndSound();
        movieActive = false;
        glDeleteTextures(1, &textureSlots[MOVIE_TEXTURE_SLOT]);
        textureSlots[MOVIE_TEXTURE_SLOT] = 0;
        GlTest::TearDown();
    }
    // What the director does around its request for a movie of folder `name`.
    static bool OpenMovie(const char* name) {
        movie_files::UseMediaFolder(name);
        glDeleteTextures(1, &textureSlots[MOVIE_TEXTURE_SLOT]);
        textureSlots[MOVIE_TEXTURE_SLOT] = 0;
        movieActive = OpenRandomMovie();
        if (!movieActive) CloseMovieAndSound();
        return movieActive;
    }
    static void Advance(double seconds) {
        frameDelta = seconds;
        frameTime += seconds;
        AdvanceMovie(MOVIE_TEXTURE_SLOT);
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
