// The projections from the dome: beams, captions and the scan-line hologram.
#pragma once
#include <array>

constexpr int HOLO_SCAN = 0;
constexpr int HOLO_REVEAL = 1;
constexpr int HOLO_HOLD = 2;
constexpr int HOLO_LAST = 3;
constexpr int HOLO_ERASE = 4;
constexpr int HOLO_FINISHED = 5;

constexpr int HOLO_ROW_COUNT = 39;

extern int holoPhase;
extern float sweepRow;
extern double holdUntil;
extern float glitchClock;
extern bool scanPhase;

// One scan line of the hologram strip: its alpha, its sideways (and forward) jump, and the
// texture row it shows.
struct HoloRow {
    float alpha;
    float jitter;
    float t;
};

void BuildBeamList();
// The three projections, drawn from the dome frame.
void DrawProjections();
void DrawHologram();

// The hologram's per-frame update: glitch clock, movie, zoom-out, sweep and phases. False once
// the sequence has ended, until the director starts the next one: nothing is drawn then.
bool AdvanceHologram();
// This frame's rows, top row first; flips scanPhase row by row and sets it for the next frame.
std::array<HoloRow, HOLO_ROW_COUNT> ComputeHologramRows();
// From the main lens to the plane the picture stands in.
void ApplyPictureFrame();
