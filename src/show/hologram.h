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

// One scan line of the hologram strip: its alpha, its sideways (and forward) jump, and the
// texture row it shows.
struct HoloRow {
    float alpha;
    float jitter;
    float t;
};

// The hologram's sequence, and what this frame's advance drew for its drawing: whether the
// strip shows, its rows, and the flicker of the beams and the caption.
struct HologramState {
    int holoPhase = HOLO_SCAN;
    float sweepRow = 0.0f;
    double holdUntil = 0.0;
    float glitchClock = 5.0f;
    bool scanPhase = false;
    bool showing = false;
    std::array<HoloRow, HOLO_ROW_COUNT> rows{};
    double beamFlicker = 1.0;
    double captionBeamFlicker = 1.0;
    float captionAlpha = 0.0f;
};

extern HologramState hologram;

void BuildBeamList();
// This frame's projections while the show projects: the flicker of the caption's beam and
// glow, then the main beam's, then the hologram with its rows.
void AdvanceProjections();
// The three projections, drawn from the dome frame.
void DrawProjections();
void DrawHologram();

// The playing movie's next frame into the hologram's texture; a movie that cannot go on is over,
// and so is its hold.
void AdvanceHologramMovie();
// The hologram's per-frame update: glitch clock, movie, zoom-out, sweep and phases. False once
// the sequence has ended, until the director starts the next one: nothing is drawn then.
bool AdvanceHologram();
// This frame's rows, top row first; flips scanPhase row by row and sets it for the next frame.
std::array<HoloRow, HOLO_ROW_COUNT> ComputeHologramRows();
// From the main lens to the plane the picture stands in.
void ApplyPictureFrame();
