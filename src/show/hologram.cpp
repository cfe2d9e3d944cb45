#include "show/hologram.h"

int holoPhase = HOLO_SCAN;
float sweepRow = 0.0f;
double holdUntil = 0.0;
float glitchClock = 5.0f;
bool scanPhase = false;

void BuildBeamList() {}
void DrawProjections() {}
void DrawHologram() {}
