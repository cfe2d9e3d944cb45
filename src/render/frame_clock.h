// The frame clock: seconds since the scene was built, read once per frame.
#pragma once
#include <cstdint>

struct FrameClock {
    int64_t frequency;
    // Millisecond timer: its last reading and the milliseconds counted since the start, which
    // carry on across the timer's wrap every 49.7 days.
    uint32_t timerLast;
    uint64_t timerElapsedMs;
    bool usePerformanceCounter;
    int64_t counterStart;
};

extern FrameClock frameClock;
extern double frameTime;
extern double frameDelta;

void StartFrameClock();
double ReadFrameClock();
// Seconds in `counts` of a counter running at `frequency`, exact to the count at any run time.
double CounterSeconds(int64_t counts, int64_t frequency);
// Seconds since the start after a millisecond-timer reading of `now`.
double MillisecondTimerSeconds(FrameClock& clock, uint32_t now);
