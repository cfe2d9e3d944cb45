// Benchmarks of the saver's start-up and frame loop, run through the saver's own creation path.
#include <windows.h>
#include <GL/gl.h>
#include <psapi.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <atomic>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>
#include "header_times.h"
#include "host/command_line.h"
#include "host/saver_window.h"
#include "media/movie.h"
#include "offscreen_window.h"
#include "render/frame_clock.h"
#include "render/frame_pacing.h"
#include "render/gl_window.h"
#include "render/scene.h"
#include "settings/config_dialog.h"
#include "settings/settings.h"
#include "show/animation.h"
#include "show/director.h"
#include "show/hologram.h"
#include "text/overlay.h"
#include "textures/media_library.h"
#include "textures/texture_loader.h"

namespace {

double Now() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// User and kernel time of the whole process (every thread, the rasteriser's too), seconds.
double ProcessCpuSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](FILETIME t) {
        return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime) /
               1e7;
    };
    return seconds(kernel) + seconds(user);
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
        SwapBuffers(renderWindow.glDC);
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
    for (int i = 0;
         i < 3600 && !(showState.showStep == SHOW_PLAY && hologram.holoPhase == HOLO_HOLD); ++i) {
        RenderFrame(frameClock.frameTime + step);
        SwapBuffers(renderWindow.glDC);
    }
}

struct FrameCosts {
    double emptyMs;
    double fullMs;
    double emptyCpuMs;
    double fullCpuMs;
};

// Empty and full frames in alternating short blocks, so that both meet the same machine load;
// wall time and the process's CPU time per frame. The full frames advance the show by a
// millisecond each, so the held picture stays on.
FrameCosts CompareFrameCosts(double seconds) {
    constexpr double block = 0.25;
    double emptySeconds = 0.0, fullSeconds = 0.0, emptyCpu = 0.0, fullCpu = 0.0;
    int emptyFrames = 0, fullFrames = 0;
    const auto timeBlock = [&](auto frame, double& total, double& cpu, int& frames) {
        const double start = Now();
        const double cpuStart = ProcessCpuSeconds();
        while (Now() - start < block) {
            frame();
            SwapBuffers(renderWindow.glDC);
            ++frames;
        }
        glFinish();
        total += Now() - start;
        cpu += ProcessCpuSeconds() - cpuStart;
    };
    const double start = Now();
    while (Now() - start < seconds) {
        timeBlock(EmptyFrame, emptySeconds, emptyCpu, emptyFrames);
        timeBlock([] { RenderFrame(frameClock.frameTime + 0.001); }, fullSeconds, fullCpu,
                  fullFrames);
    }
    return {emptySeconds / emptyFrames * 1e3, fullSeconds / fullFrames * 1e3,
            emptyCpu / emptyFrames * 1e3, fullCpu / fullFrames * 1e3};
}

// The scene's transform as the frame sets it before the robot.
void BeginScene() {
    glCallList(LIST_PROJECTION);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushMatrix();
    glColor3f(1.0f, 1.0f, 1.0f);
    glTranslatef(0.0f, 0.0f, -10.0f);
}

// Where a held picture's frame goes: each part drawn alone after the clear, and the whole
// frame with drawing clipped to one pixel, which leaves the driver's own work without the
// rasteriser's. Interleaved rounds, so that every part meets the same load: the wall time of
// the best round, the CPU time of all (the process's CPU clock counts in 10 ms steps here).
void FrameBreakdown(int rounds) {
    struct Part {
        const char* name;
        void (*draw)();
        double wallMs = 1e9;
        double cpuSeconds = 0.0;
        int frames = 0;
    };
    Part parts[] = {
        {"clear and swap", EmptyFrame},
        {"robot's lists",
         [] {
             // Before the beam opens nothing is projected.
             const int step = std::exchange(showState.showStep, SHOW_AIM);
             BeginScene();
             DrawRobotAndHologram();
             glPopMatrix();
             showState.showStep = step;
         }},
        {"projections (beams, captions, hologram)",
         [] {
             BeginScene();
             ApplyBodyFrame();
             ApplyDomeFrame();
             glDepthMask(GL_FALSE);
             DrawProjections();
             glDepthMask(GL_TRUE);
             glPopMatrix();
         }},
        {"overlay",
         [] {
             glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
             DrawOverlay(scene.clientRect.right, scene.clientRect.bottom);
         }},
        {"full frame", [] { RenderFrame(frameClock.frameTime + 0.001); }},
        {"full frame clipped to one pixel",
         [] {
             glEnable(GL_SCISSOR_TEST);
             glScissor(0, 0, 1, 1);
             RenderFrame(frameClock.frameTime + 0.001);
             glDisable(GL_SCISSOR_TEST);
         }},
    };
    for (int round = 0; round < rounds; ++round) {
        for (Part& part : parts) {
            const double start = Now();
            const double cpuStart = ProcessCpuSeconds();
            int frames = 0;
            while (Now() - start < 0.3) {
                part.draw();
                SwapBuffers(renderWindow.glDC);
                ++frames;
            }
            glFinish();
            part.wallMs = std::min(part.wallMs, (Now() - start) / frames * 1e3);
            part.cpuSeconds += ProcessCpuSeconds() - cpuStart;
            part.frames += frames;
        }
    }
    for (const Part& part : parts) {
        std::printf("frame breakdown, %s: %.2f ms, CPU %.2f ms\n", part.name, part.wallMs,
                    part.cpuSeconds / part.frames * 1e3);
    }
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
// The show's media folder, once the library has listed it.
void UseMediaFolder(const std::string& folder) {
    StartMediaLibrary(std::filesystem::path(folder).wstring());
    while (!CountMedia().listed) Sleep(1);
}

void Soak(double hours, const char* mediaFolder) {
    UseMediaFolder(mediaFolder);
    saverSettings.playAvis = true;
    saverSettings.showExternalBmps = true;
    constexpr double step = 0.25;
    int items = 0, externalItems = 0;
    int previousStep = showState.showStep;
    const double start = frameClock.frameTime;
    for (int hour = 1; hour <= hours; ++hour) {
        while (frameClock.frameTime - start < hour * 3600.0) {
            RenderFrame(frameClock.frameTime + step);
            SwapBuffers(renderWindow.glDC);
            if (previousStep == SHOW_WAIT && showState.showStep == SHOW_POSE) {
                ++items;
                externalItems += ItemHas(showState.nextIndex, PF_EXTERNAL) ? 1 : 0;
            }
            previousStep = showState.showStep;
        }
        glFinish();
        const PROCESS_MEMORY_COUNTERS memory = MemoryCounters();
        std::printf(
            "soak hour %2d: %5d items (%d external), %d texture names, %lu GDI objects, %.1f MB "
            "committed, %.1f MB working set\n",
            hour, items, externalItems, LiveTextureNames(),
            GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), Megabytes(memory.PagefileUsage),
            Megabytes(memory.WorkingSetSize));
        std::fflush(stdout);
    }
}

// The first catalogue slot with `flag`, projected in front of the robot.
int FrontSlotWith(uint32_t flag) {
    for (int i = 0; i < CATALOGUE_SIZE; ++i) {
        if (ItemHas(i, flag) && !ItemHas(i, PF_FLOOR)) return i;
    }
    return 0;
}

// The movie in `folder`\`name`: its open and the cost of showing the next movie frame (decode,
// scale, upload) on its own; then the show holding it, against the picture the show held
// before, in full frames a millisecond apart, so that a frame mostly draws the same movie
// frame again, as the saver does when it renders faster than the movie runs.
void MovieFigures(const char* folder, const char* name, double pictureFrameMs) {
    UseMediaFolder(std::string(folder) + name + "\\");
    saverSettings.playAvis = true;
    saverSettings.playAviSound = false;
    glDeleteTextures(1, &textureSlots[SLOT_HOLOGRAM]);
    showState.movieActive = true;
    const double openStart = Now();
    const std::optional<LoadedPicture> movie =
        OpenMovie(std::filesystem::path(std::string(folder) + name + "\\m.avi").wstring(), false);
    if (!movie) {
        std::printf("movie %s: cannot be opened\n", name);
        CloseMovieAndSound();
        showState.movieActive = false;
        return;
    }
    const double openMs = (Now() - openStart) * 1e3;
    const int frames = moviePlayer.movieFrameCount - 1;
    const double decodeStart = Now();
    for (int i = 0; i < frames; ++i) {
        frameClock.frameDelta = moviePlayer.movieDurationMs / moviePlayer.movieFrameCount / 1e3;
        AdvanceMovie(movie->texture);
    }
    glFinish();
    const double frameMs = (Now() - decodeStart) * 1e3 / frames;
    std::printf("movie %s (%dx%d): open %.1f ms, next frame decoded, scaled and uploaded %.2f ms\n",
                name, moviePlayer.movieFrameWidth, moviePlayer.movieFrameHeight, openMs, frameMs);
    CloseMovieAndSound();
    glDeleteTextures(1, &movie->texture);
    showState.movieActive = false;

    // Once the current item is over, the movie is the next one.
    const auto renderUntil = [](auto done) {
        for (int i = 0; i < 36000 && !done(); ++i) {
            RenderFrame(frameClock.frameTime + 1.0 / 30.0);
            SwapBuffers(renderWindow.glDC);
        }
    };
    renderUntil([] { return showState.showStep == SHOW_WAIT; });
    showState.nextIndex = FrontSlotWith(PF_MOVIE);
    renderUntil([] { return showState.showStep == SHOW_POSE; });
    FastForwardToHold();
    if (!showState.movieActive) {
        std::printf("movie %s: not held by the show\n", name);
        return;
    }
    const FrameCosts costs = CompareFrameCosts(4.0);
    std::printf(
        "frame cost, movie %s held: %.3f ms full (picture %.3f ms), %.3f ms clear and swap (CPU "
        "%.3f and %.3f ms)\n",
        name, costs.fullMs, pictureFrameMs, costs.emptyMs, costs.fullCpuMs, costs.emptyCpuMs);
}

const char* ItemKind(int index) {
    if (ItemHas(index, PF_MOVIE)) return "movie";
    if (ItemHas(index, PF_EXTERNAL)) return "external picture";
    return "built-in picture";
}

// Minutes of show in simulated time at 60 frames a second, each frame drawn and swapped as
// the saver does and timed on the wall clock, start to start. The items take turns: a
// built-in picture, an external picture of `mediaFolder` and a movie of it, so that every
// kind of load happens; the director draws everything else as it always does.
double ShowFrameTimes(double minutes, const char* mediaFolder) {
    UseMediaFolder(mediaFolder);
    saverSettings.playAvis = true;
    saverSettings.playAviSound = false;
    saverSettings.showExternalBmps = true;
    const int external = FrontSlotWith(PF_EXTERNAL);
    const int movie = FrontSlotWith(PF_MOVIE);
    int builtIn = 0;
    while (ItemHas(builtIn, PF_MOVIE | PF_EXTERNAL)) ++builtIn;
    int turn = 0;
    constexpr double step = 1.0 / 60.0;
    const int frames = static_cast<int>(minutes * 60.0 / step);
    std::vector<double> times(frames);
    std::vector<int> loads(frames, -1);
    int items = 0;
    double previous = Now();
    for (int i = 0; i < frames; ++i) {
        const int stepBefore = showState.showStep;
        // A built-in turn keeps the director's own pick when it is one.
        if (stepBefore == SHOW_WAIT) {
            if (turn == 1) showState.nextIndex = external;
            if (turn == 2) showState.nextIndex = movie;
            if (turn == 0 && ItemHas(showState.nextIndex, PF_MOVIE | PF_EXTERNAL))
                showState.nextIndex = builtIn;
        }
        RenderFrame(frameClock.frameTime + step);
        SwapBuffers(renderWindow.glDC);
        const double now = Now();
        times[i] = (now - previous) * 1e3;
        previous = now;
        if (stepBefore == SHOW_WAIT && showState.showStep == SHOW_POSE) {
            loads[i] = showState.nextIndex;
            turn = (turn + 1) % 3;
            ++items;
        }
    }
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    const double median = sorted[sorted.size() / 2];
    const double worst = sorted.back();
    std::printf(
        "show of %s, %.0f minutes at 60 frames/s (%d items): median frame %.2f ms, 99th "
        "percentile %.2f ms, worst %.2f ms (goal 3 x median + 10 = %.2f ms)\n",
        mediaFolder, minutes, items, median, sorted[sorted.size() * 99 / 100], worst,
        3.0 * median + 10.0);
    // The slowest frames, with the item a frame loaded, if any.
    std::vector<int> order(frames);
    for (int i = 0; i < frames; ++i) order[i] = i;
    std::partial_sort(order.begin(), order.begin() + 5, order.end(),
                      [&times](int a, int b) { return times[a] > times[b]; });
    for (int k = 0; k < 5; ++k) {
        const int i = order[k];
        std::printf("show, slow frame %d at %.2f s: %.2f ms%s%s\n", i, (i + 1) * step, times[i],
                    loads[i] >= 0 ? ", loads a " : "", loads[i] >= 0 ? ItemKind(loads[i]) : "");
    }
    double loadWorst[3] = {0.0, 0.0, 0.0};
    for (int i = 0; i < frames; ++i) {
        if (loads[i] < 0) continue;
        const int kind = ItemHas(loads[i], PF_MOVIE) ? 2 : ItemHas(loads[i], PF_EXTERNAL) ? 1 : 0;
        loadWorst[kind] = std::max(loadWorst[kind], times[i]);
    }
    std::printf(
        "show, slowest frame that loads a built-in picture %.2f ms, an external picture "
        "%.2f ms, a movie %.2f ms\n",
        loadWorst[0], loadWorst[1], loadWorst[2]);
    return worst;
}

// The media folder's listing: how long it takes and what it holds.
void LibraryFigures(const char* folder) {
    const std::atomic<bool> stop{false};
    const PROCESS_MEMORY_COUNTERS before = MemoryCounters();
    const double start = Now();
    const MediaList list = ListMediaFolder(std::filesystem::path(folder).wstring(), stop);
    const double ms = (Now() - start) * 1e3;
    const PROCESS_MEMORY_COUNTERS after = MemoryCounters();
    std::printf(
        "library: %zu pictures and %zu movies in %zu folders listed in %.0f ms, the list %.1f MB "
        "(%.1f MB more committed)\n",
        list.pictures.size(), list.movies.size(), list.folders.size(), ms, Megabytes(list.Bytes()),
        Megabytes(after.PagefileUsage - before.PagefileUsage));
}

// One picture file loaded as the show loads it: time, and memory at the peak of its decode,
// sampled while it runs (Wine keeps no peak of its own).
void DecodeFigures(const char* file) {
    const PROCESS_MEMORY_COUNTERS before = MemoryCounters();
    std::atomic<bool> loading{true};
    SIZE_T peakCommitted = before.PagefileUsage, peakResident = before.WorkingSetSize;
    std::thread sampler([&] {
        for (; loading; Sleep(2)) {
            const PROCESS_MEMORY_COUNTERS now = MemoryCounters();
            peakCommitted = std::max(peakCommitted, now.PagefileUsage);
            peakResident = std::max(peakResident, now.WorkingSetSize);
        }
    });
    const double start = Now();
    const std::optional<LoadedPicture> picture =
        LoadPictureFile(std::filesystem::path(file).wstring());
    const double ms = (Now() - start) * 1e3;
    loading = false;
    sampler.join();
    std::printf(
        "decode of %s: %s in %.0f ms, at most %.0f MB more committed, %.0f MB more in "
        "memory\n",
        file, picture ? "shown" : "refused", ms, Megabytes(peakCommitted - before.PagefileUsage),
        Megabytes(peakResident - before.WorkingSetSize));
}

WNDPROC sceneProc = nullptr;
int paints = 0;

LRESULT CALLBACK CountingSceneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) ++paints;
    return CallWindowProcA(sceneProc, window, message, wParam, lParam);
}

void CALLBACK EndLoop(HWND, UINT, UINT_PTR, DWORD) {
    PostQuitMessage(0);
}

struct LoopFigures {
    double cpuPerMinute;
    double framesPerSecond;
};

// The saver's message loop for `seconds`, paced, or unpaced as it ran before pacing: the
// scene window invalidated whenever the queue is empty, so frames follow as fast as they can.
LoopFigures RunLoop(double seconds, bool paced) {
    paints = 0;
    const double cpu = ProcessCpuSeconds();
    const double start = Now();
    if (paced) {
        const UINT_PTR timer = SetTimer(nullptr, 0, static_cast<UINT>(seconds * 1000.0), EndLoop);
        RunMessageLoop();
        KillTimer(nullptr, timer);
    } else {
        MSG message;
        while (Now() - start < seconds) {
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
            InvalidateRect(renderWindow.glWindow, nullptr, FALSE);
        }
    }
    const double wall = Now() - start;
    return {(ProcessCpuSeconds() - cpu) / wall * 60.0, paints / wall};
}

// CPU time per minute of show with the saver's own loop, paced and unpaced, in alternating
// runs so that both meet the same load.
void PacingFigures(double seconds) {
    sceneProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        renderWindow.glWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingSceneProc)));
    std::printf(
        "pacing: refresh period %.2f ms, swap interval %s\n", framePacer.period * 1e3,
        framePacer.swapInterval == nullptr ? "not offered" : "offered, trying vertical sync");
    LoopFigures total[2] = {};
    constexpr int rounds = 2;
    for (int round = 0; round < rounds; ++round) {
        for (bool paced : {false, true}) {
            const LoopFigures figures = RunLoop(seconds / rounds, paced);
            std::printf("cpu per minute of show, %s: %.2f s (%.0f frames/s)\n",
                        paced ? "paced" : "unpaced", figures.cpuPerMinute, figures.framesPerSecond);
            total[paced].cpuPerMinute += figures.cpuPerMinute / rounds;
            total[paced].framesPerSecond += figures.framesPerSecond / rounds;
        }
    }
    std::printf("pacing: the swaps %s\n",
                framePacer.swapPaced ? "wait for the display" : "do not wait, deadlines pace");
    std::printf(
        "cpu per minute of show: paced %.2f s (%.0f frames/s), unpaced %.2f s (%.0f frames/s), "
        "paced/unpaced %.2f\n",
        total[1].cpuPerMinute, total[1].framesPerSecond, total[0].cpuPerMinute,
        total[0].framesPerSecond, total[1].cpuPerMinute / total[0].cpuPerMinute);
}

// The photo and the BMP of `folder`: the time to decode, scale and upload each into the
// hologram's texture on its own; then the show loading the photo (alone in the sub-folder
// "show"), frame by frame, with that frame's time against the worst of the others.
void PictureFigures(const char* folder) {
    SetCurrentDirectoryA(folder);
    constexpr int loads = 5;
    for (const char* name : {"photo.jpg", "photo.bmp"}) {
        PictureSize size{};
        double worst = 0.0, total = 0.0;
        bool loaded = true;
        for (int i = 0; i < loads; ++i) {
            const double start = Now();
            const std::optional<LoadedPicture> picture =
                LoadPictureFile(std::filesystem::path(name).wstring());
            glFinish();
            const double ms = (Now() - start) * 1e3;
            loaded = loaded && picture;
            if (picture) {
                size = picture->size;
                glDeleteTextures(1, &picture->texture);
            }
            total += ms;
            worst = std::max(worst, ms);
        }
        std::printf("picture %s (%.0fx%.0f): decoded, scaled and uploaded %.1f ms (worst %.1f)%s\n",
                    name, size.width, size.height, total / loads, worst,
                    loaded ? "" : ", NOT LOADED");
    }
    // The show's folder holds the photo alone.
    UseMediaFolder(std::string(folder) + "show\\");
    saverSettings.playAvis = false;
    saverSettings.showExternalBmps = true;
    saverSettings.onlyExternalPics = true;
    // Frames at the saver's pace until the show has loaded the photo: the worst frame of the
    // wait in which it was picked and decoded, against the worst of all frames before.
    double waitWorst = 0.0, others = 0.0;
    int waitFrames = 0, frames = 0;
    bool seen = false;
    for (int i = 0; i < 36000 && !seen; ++i) {
        const bool waiting = showState.showStep == SHOW_WAIT;
        const double start = Now();
        RenderFrame(frameClock.frameTime + 1.0 / 30.0);
        SwapBuffers(renderWindow.glDC);
        glFinish();
        const double ms = (Now() - start) * 1e3;
        if (!waiting) {
            others = std::max(others, ms);
            ++frames;
            continue;
        }
        waitWorst = std::max(waitWorst, ms);
        ++waitFrames;
        if (showState.showStep != SHOW_POSE) continue;
        seen = ItemHas(showState.nextIndex, PF_EXTERNAL);
        if (!seen) {  // another item's wait: among the frames before
            others = std::max(others, waitWorst);
            frames += waitFrames;
            waitWorst = 0.0;
            waitFrames = 0;
        }
    }
    std::printf(
        "show frames that pick and load photo.jpg: worst %.1f ms of %d (worst of %d frames "
        "before %.1f ms)\n",
        waitWorst, waitFrames, frames, others);
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

// The configuration dialog opened on the media folder `folder` as the user's dialog opens:
// the time to its first whole paint, to its count of the folder's tree, and the longest its
// thread was busy with one message in between. The settings it reads are the bench's own: a
// key that stands in for the current user's and is deleted afterwards.
int DialogFigures(const char* folder) {
    constexpr const wchar_t* STAND_IN = L"Software\\Plinthwax\\QUORVEL bench";
    HKEY standIn = nullptr, settings = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, STAND_IN, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &standIn, nullptr) != ERROR_SUCCESS ||
        RegOverridePredefKey(HKEY_CURRENT_USER, standIn) != ERROR_SUCCESS ||
        RegCreateKeyExW(HKEY_CURRENT_USER, SETTINGS_KEY_WIDE.data(), 0, nullptr, 0, KEY_WRITE,
                        nullptr, &settings, nullptr) != ERROR_SUCCESS) {
        std::printf("dialog: no registry key of the bench's own\n");
        return 1;
    }
    WriteStringValue(settings, L"AVI Path", std::filesystem::path(folder).wstring().c_str());
    WriteDwordValue(settings, L"Play AVIs", 1);
    RegCloseKey(settings);

    const double start = Now();
    HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(CONFIG_DIALOG_ID),
                                     nullptr, ScreenSaverConfigureDialog, 0);
    ShowWindow(dialog, SW_SHOW);
    // Painted whole once nothing is left to paint or handle.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    const double painted = Now();
    wchar_t counts[128] = L"";
    GetDlgItemTextW(dialog, CONTROL_MEDIA_COUNTS, counts, 128);
    const std::wstring first = counts;
    double busiest = 0.0;
    while (std::wstring_view(counts).starts_with(L"Counting") && Now() - start < 300.0) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            const double busy = Now();
            TranslateMessage(&message);
            DispatchMessageW(&message);
            busiest = std::max(busiest, Now() - busy);
        }
        GetDlgItemTextW(dialog, CONTROL_MEDIA_COUNTS, counts, 128);
    }
    const double counted = Now();
    DestroyWindow(dialog);
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegCloseKey(standIn);
    RegDeleteTreeW(HKEY_CURRENT_USER, STAND_IN);
    const auto utf8 = [](const std::wstring& text) {
        return std::filesystem::path(text).u8string();
    };
    std::printf(
        "dialog: first paint %.1f ms (count line '%s'), count shown %.1f ms ('%s'), longest "
        "message in between %.1f ms\n",
        (painted - start) * 1e3, reinterpret_cast<const char*>(utf8(first).c_str()),
        (counted - start) * 1e3, reinterpret_cast<const char*>(utf8(counts).c_str()),
        busiest * 1e3);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // qbench --headers: only the checks of untrusted bytes over hostile files.
    if (argc > 1 && std::strcmp(argv[1], "--headers") == 0) {
        PrintHeaderTimes();
        return 0;
    }
    const int width = argc > 2 ? std::atoi(argv[1]) : 1024;
    const int height = argc > 2 ? std::atoi(argv[2]) : 768;
    saver.appInstance = GetModuleHandleA(nullptr);
    // qbench --dialog MEDIA_FOLDER: only the configuration dialog, without a scene.
    if (argc > 2 && std::strcmp(argv[1], "--dialog") == 0) return DialogFigures(argv[2]);
    HWND window = CreateStandInWindow(width, height);
    const double buildStart = Now();
    if (window == nullptr || !CreateScene(window, 1)) return 1;
    const double buildEnd = Now();
    // qbench W H --pacing SECONDS: only the loop's CPU time, paced and unpaced.
    if (argc > 4 && std::strcmp(argv[3], "--pacing") == 0) {
        PacingFigures(std::atof(argv[4]));
        DestroyScene();
        return 0;
    }
    // Everything else times frames drawn back to back: a display's vertical sync must not
    // hold them.
    if (framePacer.swapInterval != nullptr) framePacer.swapInterval(0);
    // qbench W H --soak HOURS MEDIA_FOLDER: only the soak.
    if (argc > 5 && std::strcmp(argv[3], "--soak") == 0) {
        Soak(std::atof(argv[4]), argv[5]);
        DestroyScene();
        return 0;
    }
    // qbench W H --show MINUTES MEDIA_FOLDER...: only the timed show of each folder, and how
    // the first's worst frame compares with the last's.
    if (argc > 5 && std::strcmp(argv[3], "--show") == 0) {
        RenderFrame(ReadFrameClock());
        SwapBuffers(renderWindow.glDC);
        std::vector<double> worst;
        for (int i = 5; i < argc; ++i) worst.push_back(ShowFrameTimes(std::atof(argv[4]), argv[i]));
        if (worst.size() > 1) {
            std::printf(
                "show, worst frame of the first folder %.2f ms, of the last %.2f ms "
                "(goal 2 x last + 20 = %.2f ms)\n",
                worst.front(), worst.back(), 2.0 * worst.back() + 20.0);
        }
        DestroyScene();
        return 0;
    }
    // qbench W H --library FOLDER: only the listing of a media folder.
    if (argc > 4 && std::strcmp(argv[3], "--library") == 0) {
        LibraryFigures(argv[4]);
        DestroyScene();
        return 0;
    }
    // qbench W H --decode FILE: only one picture's load.
    if (argc > 4 && std::strcmp(argv[3], "--decode") == 0) {
        DecodeFigures(argv[4]);
        DestroyScene();
        return 0;
    }
    RenderFrame(ReadFrameClock());
    SwapBuffers(renderWindow.glDC);
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
    LoadGlyphTextures(111, module, 16, 16, glyphTextures, ALPHA_FROM_RED);
    glFinish();
    std::printf("all scene textures: %.1f ms\n", (Now() - texturesStart) * 1e3);
    constexpr int pictureLoads = 20;
    const double pictureStart = Now();
    for (int i = 0; i < pictureLoads; ++i) {
        glDeleteTextures(1, &textureSlots[SLOT_HOLOGRAM]);
        LoadResourceTexture(static_cast<uint16_t>(200 + i), SLOT_HOLOGRAM, module, ALPHA_COLOUR_KEY,
                            false);
    }
    glFinish();
    std::printf("one catalogue picture: %.2f ms\n", (Now() - pictureStart) * 1e3 / pictureLoads);

    std::printf("empty frame loop: %.1f frames/s\n", FramesPerSecond(3.0, EmptyFrame));
    FastForwardToHold();
    const FrameCosts costs = CompareFrameCosts(6.0);
    std::printf(
        "frame cost, picture held: %.3f ms full, %.3f ms clear and swap, ratio %.2f (CPU %.3f "
        "and %.3f ms, ratio %.2f)\n",
        costs.fullMs, costs.emptyMs, costs.fullMs / costs.emptyMs, costs.fullCpuMs,
        costs.emptyCpuMs, costs.fullCpuMs / costs.emptyCpuMs);
    FrameBreakdown(5);
    // qbench W H --pictures FOLDER: then the photo and the BMP of FOLDER.
    if (argc > 4 && std::strcmp(argv[3], "--pictures") == 0) PictureFigures(argv[4]);
    // qbench W H --movies FOLDER NAME...: then each movie of FOLDER\NAME.
    if (argc > 5 && std::strcmp(argv[3], "--movies") == 0) {
        for (int i = 5; i < argc; ++i) MovieFigures(argv[4], argv[i], costs.fullMs);
    }
    DestroyScene();
    return 0;
}
