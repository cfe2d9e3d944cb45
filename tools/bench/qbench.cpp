// Benchmarks of the saver's start-up and frame loop, run through the saver's own creation path.
#include <windows.h>
#include <GL/gl.h>
#include <psapi.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include "host/command_line.h"
#include "media/movie.h"
#include "offscreen_window.h"
#include "render/frame_clock.h"
#include "render/gl_window.h"
#include "render/scene.h"
#include "settings/settings.h"
#include "show/director.h"
#include "show/hologram.h"
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

// Frames of simulated time until the show holds a picture: the frame with the most to draw
// (robot, beams, caption and the hologram strip).
void FastForwardToHold() {
    constexpr double step = 1.0 / 30.0;
    for (int i = 0; i < 3600 && !(showStep == SHOW_PLAY && holoPhase == HOLO_HOLD); ++i) {
        RenderFrame(frameTime + step);
        SwapBuffers(glDC);
    }
}

struct FrameCosts {
    double emptyMs;
    double fullMs;
};

// Empty and full frames in alternating short blocks, so that both meet the same machine load.
// The full frames advance the show by a millisecond each, so the held picture stays on.
FrameCosts CompareFrameCosts(double seconds) {
    constexpr double block = 0.25;
    double emptySeconds = 0.0, fullSeconds = 0.0;
    int emptyFrames = 0, fullFrames = 0;
    const auto timeBlock = [&](auto frame, double& total, int& frames) {
        const double start = Now();
        while (Now() - start < block) {
            frame();
            SwapBuffers(glDC);
            ++frames;
        }
        glFinish();
        total += Now() - start;
    };
    const double start = Now();
    while (Now() - start < seconds) {
        timeBlock(EmptyFrame, emptySeconds, emptyFrames);
        timeBlock([] { RenderFrame(frameTime + 0.001); }, fullSeconds, fullFrames);
    }
    return {emptySeconds / emptyFrames * 1e3, fullSeconds / fullFrames * 1e3};
}

// Texture names in use, counted among the first few thousand.
int LiveTextureNames() {
    int live = 0;
    for (GLuint name = 1; name <= 4096; ++name) live += glIsTexture(name) ? 1 : 0;
    return live;
}

PROCESS_MEMORY_COUNTERS MemoryCounters() {
    PROCESS_MEMORY_COUNTERS counters{};
    K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters;
}

double Megabytes(SIZE_T bytes) {
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

// Hours of show in simulated time, a quarter second a frame, each frame drawn and swapped as
// the saver does, with the external pictures of `mediaFolder`; textures and memory reported
// every simulated hour.
void Soak(double hours, const char* mediaFolder) {
    std::snprintf(saverSettings.aviPath, sizeof(saverSettings.aviPath), "%s", mediaFolder);
    saverSettings.playAvis = true;
    saverSettings.showExternalBmps = true;
    constexpr double step = 0.25;
    int items = 0, externalItems = 0;
    int previousStep = showStep;
    const double start = frameTime;
    for (int hour = 1; hour <= hours; ++hour) {
        while (frameTime - start < hour * 3600.0) {
            RenderFrame(frameTime + step);
            SwapBuffers(glDC);
            if (previousStep == SHOW_WAIT && showStep == SHOW_POSE) {
                ++items;
                externalItems += ItemHas(nextIndex, PF_EXTERNAL) ? 1 : 0;
            }
            previousStep = showStep;
        }
        glFinish();
        const PROCESS_MEMORY_COUNTERS memory = MemoryCounters();
        std::printf(
            "soak hour %2d: %5d items (%d external), %d texture names, %.1f MB committed, "
            "%.1f MB working set\n",
            hour, items, externalItems, LiveTextureNames(), Megabytes(memory.PagefileUsage),
            Megabytes(memory.WorkingSetSize));
        std::fflush(stdout);
    }
}

// The first catalogue slot that is a movie projected in front of the robot.
int FrontMovieSlot() {
    for (int i = 0; i < CATALOGUE_SIZE; ++i) {
        if (ItemHas(i, PF_MOVIE) && !ItemHas(i, PF_FLOOR)) return i;
    }
    return 0;
}

// The movie in `folder`\`name`: its open and the cost of showing the next movie frame (decode,
// scale, upload) on its own; then the show holding it, against the picture the show held
// before, in full frames a millisecond apart, so that a frame mostly draws the same movie
// frame again, as the saver does when it renders faster than the movie runs.
void MovieFigures(const char* folder, const char* name, double pictureFrameMs) {
    std::snprintf(saverSettings.aviPath, sizeof(saverSettings.aviPath), "%s%s\\", folder, name);
    saverSettings.playAvis = true;
    saverSettings.playAviSound = false;
    glDeleteTextures(1, &textureSlots[MOVIE_TEXTURE_SLOT]);
    movieActive = true;
    const double openStart = Now();
    if (!OpenRandomMovie()) {
        std::printf("movie %s: cannot be opened\n", name);
        CloseMovieAndSound();
        movieActive = false;
        return;
    }
    const double openMs = (Now() - openStart) * 1e3;
    const int frames = movieFrameCount - 1;
    const double decodeStart = Now();
    for (int i = 0; i < frames; ++i) {
        frameDelta = movieDurationMs / movieFrameCount / 1e3;
        AdvanceMovie(MOVIE_TEXTURE_SLOT);
    }
    glFinish();
    const double frameMs = (Now() - decodeStart) * 1e3 / frames;
    std::printf("movie %s (%dx%d): open %.1f ms, next frame decoded, scaled and uploaded %.2f ms\n",
                name, movieFrameWidth, movieFrameHeight, openMs, frameMs);
    CloseMovieAndSound();
    movieActive = false;

    // Once the current item is over, the movie is the next one.
    const auto renderUntil = [](auto done) {
        for (int i = 0; i < 36000 && !done(); ++i) {
            RenderFrame(frameTime + 1.0 / 30.0);
            SwapBuffers(glDC);
        }
    };
    renderUntil([] { return showStep == SHOW_WAIT; });
    nextIndex = FrontMovieSlot();
    renderUntil([] { return showStep == SHOW_POSE; });
    FastForwardToHold();
    if (!movieActive) {
        std::printf("movie %s: not held by the show\n", name);
        return;
    }
    const FrameCosts costs = CompareFrameCosts(4.0);
    std::printf(
        "frame cost, movie %s held: %.3f ms full (picture %.3f ms), %.3f ms clear and swap\n", name,
        costs.fullMs, pictureFrameMs, costs.emptyMs);
}

// The frame clock's smallest step after long runs, at this machine's counter rate and at 10 MHz.
void PrintClockSteps() {
    LARGE_INTEGER machine;
    QueryPerformanceFrequency(&machine);
    for (int64_t frequency : {int64_t{machine.QuadPart}, int64_t{10'000'000}}) {
        std::printf("frame clock step at %lld Hz:", static_cast<long long>(frequency));
        for (const auto& [name, seconds] :
             {std::pair{"1 h", int64_t{3600}}, std::pair{"1 week", int64_t{7 * 24 * 3600}},
              std::pair{"1 year", int64_t{365 * 24 * 3600}}}) {
            const int64_t counts = seconds * frequency;
            std::printf(
                " %s %.1f ns", name,
                (CounterSeconds(counts + 1, frequency) - CounterSeconds(counts, frequency)) * 1e9);
        }
        std::printf("\n");
    }
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
    // qbench W H --soak HOURS MEDIA_FOLDER: only the soak.
    if (argc > 5 && std::strcmp(argv[3], "--soak") == 0) {
        Soak(std::atof(argv[4]), argv[5]);
        DestroyScene();
        return 0;
    }
    RenderFrame(ReadFrameClock());
    SwapBuffers(glDC);
    glFinish();
    std::printf("size: %dx%d\n", width, height);
    std::printf("process start to first swapped frame: %.1f ms\n",
                SecondsSinceProcessStart() * 1e3);
    PrintClockSteps();
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
    FastForwardToHold();
    const FrameCosts costs = CompareFrameCosts(6.0);
    std::printf("frame cost, picture held: %.3f ms full, %.3f ms clear and swap, ratio %.2f\n",
                costs.fullMs, costs.emptyMs, costs.fullMs / costs.emptyMs);
    // qbench W H --movies FOLDER NAME...: then each movie of FOLDER\NAME.
    if (argc > 5 && std::strcmp(argv[3], "--movies") == 0) {
        for (int i = 5; i < argc; ++i) MovieFigures(argv[4], argv[i], costs.fullMs);
    }
    DestroyScene();
    return 0;
}
