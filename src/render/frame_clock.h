// The frame clock: seconds since the scene was built, read once per frame.
#pragma once
#include <cstdint>

struct FrameClock {
    int64_t frequency = 0;
    // Millisecond timer: its last reading and the milliseconds counted since the start, which
    // carry on across the timer's wrap every 49.7 days.
    uint32_t timerLast = 0;
    uint64_t timerElapsedMs = 0;
    bool usePerformanceCounter = false;
    int64_t counterStart = 0;
    // This frame's reading, and the seconds since the previous frame's.
    double frameTime = 0.0;
    double frameDelta = 1.0;
    double previousFrameTime = 0.0;
};

extern FrameClock frameClock;

void StartFrameClock();
double ReadFrameClock();
// Makes a clock reading this frame's time.
void TakeFrameTime(double time);
// Seconds in `counts` of a counter running at `frequency`, exact to the count at any run time.
double CounterSeconds(int64_t counts, int64_t frequency);
// Seconds since the start after a millisecond-timer reading of `now`.
double MillisecondTimerSeconds(FrameClock& clock, uint32_t now);
