#include "render/frame_clock.h"

#include <windows.h>
#include <mmsystem.h>

FrameClock frameClock{};
double frameTime = 0.0;
double frameDelta = 1.0;

void StartFrameClock() {
    frameClock = FrameClock{};
    LARGE_INTEGER frequency;
    if (QueryPerformanceFrequency(&frequency)) {
        frameClock.frequency = frequency.QuadPart;
        LARGE_INTEGER start;
        QueryPerformanceCounter(&start);
        frameClock.counterStart = start.QuadPart;
        frameClock.usePerformanceCounter = true;
        frameClock.resolution = static_cast<float>(1.0 / static_cast<double>(frequency.QuadPart));
    } else {
        frameClock.usePerformanceCounter = false;
        frameClock.timerStart = timeGetTime();
        frameClock.resolution = 0.001f;
        frameClock.frequency = 1000;
    }
}

double ReadFrameClock() {
    // The count goes through a float first, as the frame logic has always seen it.
    if (frameClock.usePerformanceCounter) {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        const float counts = static_cast<float>(now.QuadPart - frameClock.counterStart);
        return static_cast<double>(counts * frameClock.resolution);
    }
    const uint32_t elapsed = timeGetTime() - frameClock.timerStart;
    return static_cast<double>(static_cast<float>(elapsed) * frameClock.resolution);
}
