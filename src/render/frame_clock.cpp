#include "render/frame_clock.h"

#include <windows.h>
#include <mmsystem.h>

FrameClock frameClock;

double CounterSeconds(int64_t counts, int64_t frequency) {
    // Whole seconds and the remainder apart: a double then keeps every count, so the frame
    // step stays one count long however long the saver has run.
    return static_cast<double>(counts / frequency) +
           static_cast<double>(counts % frequency) / static_cast<double>(frequency);
}

double MillisecondTimerSeconds(FrameClock& clock, uint32_t now) {
    // The unsigned difference survives the wrap; the 64-bit sum carries the count past it.
    clock.timerElapsedMs += static_cast<uint32_t>(now - clock.timerLast);
    clock.timerLast = now;
    return static_cast<double>(clock.timerElapsedMs) / 1000.0;
}

void StartFrameClock() {
    frameClock = FrameClock{};
    LARGE_INTEGER frequency;
    if (QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0) {
        frameClock.frequency = frequency.QuadPart;
        LARGE_INTEGER start;
        QueryPerformanceCounter(&start);
        frameClock.counterStart = start.QuadPart;
        frameClock.usePerformanceCounter = true;
    } else {
        frameClock.usePerformanceCounter = false;
        frameClock.timerLast = timeGetTime();
        frameClock.frequency = 1000;
    }
}

double ReadFrameClock() {
    if (frameClock.usePerformanceCounter) {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return CounterSeconds(now.QuadPart - frameClock.counterStart, frameClock.frequency);
    }
    return MillisecondTimerSeconds(frameClock, timeGetTime());
}

void TakeFrameTime(double time) {
    frameClock.frameTime = time;
    frameClock.frameDelta = time - frameClock.previousFrameTime;
    frameClock.previousFrameTime = time;
}
