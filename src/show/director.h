// The show director: what the robot does and what its hologram shows, frame by frame.
#pragma once
#include <array>
#include "show/catalogue.h"

constexpr int SHOW_WAIT = -2;
constexpr int SHOW_POSE = -1;
constexpr int SHOW_AIM = 0;
constexpr int SHOW_OPEN = 1;
constexpr int SHOW_PLAY = 2;

extern int showStep;
extern int nextIndex;
extern std::array<int, 5> recentPicks;
extern int currentIndex;
extern int poseFrames;
extern double beamScale;
extern bool captionVisible;
extern bool hologramDone;
extern bool floorProjection;
extern bool zoomActive;
extern bool movieActive;
extern float holoHalfWidth;
extern double texLeft;
extern double texTop;
extern double texRight;
extern double texBottom;

// Whether catalogue entry `index` carries the flag bit.
bool ItemHas(int index, uint32_t flag);
void RunShowDirector();
void ChooseNextItem();
bool LoadShowItem(PictureRecord& record);
