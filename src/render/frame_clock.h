// The frame clock: seconds since the scene was built, read once per frame.
#pragma once
#include <cstdint>

struct FrameClock {
    int64_t frequency;
    float resolution;
    uint32_t timerStart;
    bool usePerformanceCounter;
    int64_t counterStart;
};

extern FrameClock frameClock;
extern double frameTime;
extern double frameDelta;

void StartFrameClock();
double ReadFrameClock();
