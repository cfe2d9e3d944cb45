#include "show/director.h"

int showStep = SHOW_WAIT;
int nextIndex = 70;
std::array<int, 5> recentPicks{70, -1, -1, -1, -1};
int currentIndex = 0;
int poseFrames = 0;
double beamScale = 0.0;
bool captionVisible = false;
bool hologramDone = false;
bool floorProjection = true;
bool zoomActive = false;
bool movieActive = false;
float holoHalfWidth = 1.0f;
double texLeft = 0.0;
double texTop = 0.0;
double texRight = 1.0;
double texBottom = 1.0;

void RunShowDirector() {}
void ChooseNextItem() {}
bool LoadShowItem(PictureRecord&) {
    return false;
}
