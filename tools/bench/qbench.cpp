// Benchmarks of the saver's start-up and frame loop, run through the saver's own creation path.
#include <windows.h>
#include <GL/gl.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include "host/command_line.h"
#include "media/movie.h"
#include "offscreen_window.h"
#include "render/frame_clock.h"
#include "render/gl_window.h"
#include "render/scene.h"
#include "settings/settings.h"
#include "show/director.h"
#include "textures/texture_loader.h"

namespace {

double Now() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Seconds since this process was created, from the system's own record of it.
double SecondsSinceProcessStart() {
    FILETIME created, exited, kernel, user, now;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    GetSystemTimeAsFileTime(&now);
    auto ticks = [](FILETIME t) {
        return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return static_cast<double>(ticks(now) - ticks(created)) / 1e7;
}

template <typename Frame>
double FramesPerSecond(double seconds, Frame frame) {
    const double start = Now();
    int frames = 0;
    while (Now() - start < seconds) {
        frame();
        SwapBuffers(glDC);
        ++frames;
    }
    glFinish();
    return frames / (Now() - start);
}

void EmptyFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// One movie of `folder`: its open, the cost of a frame (decode, scale, upload) when every
// frame shows the next movie frame, the upload alone, and the frame rate of a cleared and
// swapped frame with and without the movie advancing, where a picture's frame has no
// per-frame texture work at all.
void MovieFigures(const std::string& folder, const char* name) {
    std::snprintf(saverSettings.aviPath, sizeof(saverSettings.aviPath), "%s\\%s\\", folder.c_str(),
                  name);
    saverSettings.playAviSound = false;
    glDeleteTextures(1, &textureSlots[MOVIE_TEXTURE_SLOT]);
    movieActive = true;
    const double openStart = Now();
    if (!OpenRandomMovie()) {
        std::printf("movie %s: cannot be opened\n", name);
        CloseMovieAndSound();
        return;
    }
    const double openMs = (Now() - openStart) * 1e3;
    const double frameSeconds = movieDurationMs / movieFrameCount / 1e3;
    const int frames = movieFrameCount - 1;
    const double decodeStart = Now();
    for (int i = 0; i < frames; ++i) {
        frameDelta = frameSeconds;
        AdvanceMovie(MOVIE_TEXTURE_SLOT);
    }
    glFinish();
    const double frameMs = (Now() - decodeStart) * 1e3 / frames;
    const double uploadStart = Now();
    for (int i = 0; i < frames; ++i) {
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, MOVIE_SURFACE_WIDTH, MOVIE_SURFACE_HEIGHT, GL_RGB,
                        GL_UNSIGNED_BYTE, surfaceBits);
    }
    glFinish();
    const double uploadMs = (Now() - uploadStart) * 1e3 / frames;
    const double pictureRate = FramesPerSecond(2.0, EmptyFrame);
    const double movieRate = FramesPerSecond(2.0, [&] {
        EmptyFrame();
        // Round and round the movie, one new frame each time.
        if (movieFrameIndex >= movieFrameCount - 1) RestartMovie();
        frameDelta = frameSeconds;
        AdvanceMovie(MOVIE_TEXTURE_SLOT);
    });
    std::printf(
        "movie %s (%dx%d, %d frames): open %.1f ms; decode, scale and upload %.2f ms a frame "
        "(upload alone %.2f ms); frame loop %.0f frames/s with a picture, %.0f with the movie "
        "(+%.2f ms a frame)\n",
        name, movieFrameWidth, movieFrameHeight, movieFrameCount, openMs, frameMs, uploadMs,
        pictureRate, movieRate, 1e3 / movieRate - 1e3 / pictureRate);
    CloseMovieAndSound();
    movieActive = false;
}

}  // namespace

int main(int argc, char** argv) {
    const int width = argc > 2 ? std::atoi(argv[1]) : 1024;
    const int height = argc > 2 ? std::atoi(argv[2]) : 768;
    appInstance = GetModuleHandleA(nullptr);
    HWND window = CreateStandInWindow(width, height);
    const double buildStart = Now();
    if (window == nullptr || !CreateScene(window, 1)) return 1;
    const double buildEnd = Now();
    RenderFrame(ReadFrameClock());
    SwapBuffers(glDC);
    glFinish();
    std::printf("size: %dx%d\n", width, height);
    std::printf("process start to first swapped frame: %.1f ms\n",
                SecondsSinceProcessStart() * 1e3);
    std::printf("scene build (creation to first frame): %.1f ms\n", (buildEnd - buildStart) * 1e3);

    HMODULE module = GetModuleHandleA(nullptr);
    const double texturesStart = Now();
    LoadResourceTexture(101, 0, module, ALPHA_COLOUR_KEY, false);
    struct SchemeTexture {
        uint16_t id;
        int width, height, alphaMode;
    };
    constexpr SchemeTexture schemeTextures[] = {{102, 512, 256, ALPHA_OPAQUE},
                                                {103, 256, 256, ALPHA_COLOUR_KEY},
                                                {105, 512, 64, ALPHA_COLOUR_KEY},
                                                {106, 128, 128, ALPHA_OPAQUE},
                                                {109, 128, 256, ALPHA_OPAQUE}};
    for (const SchemeTexture& t : schemeTextures) {
        LoadSchemeTexture(t.id, 1, module, t.width, t.height, t.alphaMode, false, 0);
    }
    for (int id : {108, 110, 104})
        LoadResourceTexture(static_cast<uint16_t>(id), 1, module, ALPHA_OPAQUE, false);
    LoadGlyphTextures(111, module, 16, 16, 96, ALPHA_FROM_RED);
    glFinish();
    std::printf("all scene textures: %.1f ms\n", (Now() - texturesStart) * 1e3);
    constexpr int pictureLoads = 20;
    const double pictureStart = Now();
    for (int i = 0; i < pictureLoads; ++i) {
        glDeleteTextures(1, &textureSlots[2]);
        LoadResourceTexture(static_cast<uint16_t>(200 + i), 2, module, ALPHA_COLOUR_KEY, false);
    }
    glFinish();
    std::printf("one catalogue picture: %.2f ms\n", (Now() - pictureStart) * 1e3 / pictureLoads);

    std::printf("empty frame loop: %.1f frames/s\n", FramesPerSecond(3.0, EmptyFrame));
    if (argc > 3) {
        for (const char* name : {"msvideo1", "cinepak", "cinepak640"}) MovieFigures(argv[3], name);
    }
    DestroyScene();
    return 0;
}
