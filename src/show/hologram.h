// The projections from the dome: beams, captions and the scan-line hologram.
#pragma once

constexpr int HOLO_SCAN = 0;
constexpr int HOLO_REVEAL = 1;
constexpr int HOLO_HOLD = 2;
constexpr int HOLO_LAST = 3;
constexpr int HOLO_ERASE = 4;
constexpr int HOLO_FINISHED = 5;

extern int holoPhase;
extern float sweepRow;
extern double holdUntil;
extern float glitchClock;
extern bool scanPhase;

void BuildBeamList();
// The three projections, drawn from the dome frame.
void DrawProjections();
void DrawHologram();
