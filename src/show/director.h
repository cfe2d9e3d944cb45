// The show director: what the robot does and what its hologram shows, frame by frame.
#pragma once
#include <array>
#include "show/catalogue.h"
#include "textures/texture_loader.h"

constexpr int SHOW_WAIT = -2;
constexpr int SHOW_POSE = -1;
constexpr int SHOW_AIM = 0;
constexpr int SHOW_OPEN = 1;
constexpr int SHOW_PLAY = 2;

// What the show is doing and what it projects.
struct ShowState {
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
    // Files of the media folder tried for the item being loaded.
    int fileAttempts = 0;
    float holoHalfWidth = 1.0f;
    // The part of the picture shown: all of it, or a close-up region that widens.
    double texLeft = 0.0;
    double texTop = 0.0;
    double texRight = 1.0;
    double texBottom = 1.0;
};

extern ShowState showState;

// Whether catalogue entry `index` carries the flag bit.
bool ItemHas(int index, uint32_t flag);
// One frame of the show at the frame clock's time: the director, the robot's pose, then the
// projections with the hologram and any movie.
void AdvanceShow();
void RunShowDirector();
void ChooseNextItem();
// Readies the item's texture in the hologram's slot: a picture of the program at once, a file of
// the media folder (a picture or a movie) at a later FinishItemLoad. False when there is
// nothing to show.
bool LoadShowItem(PictureRecord& record);
// A file of the media folder done loading becomes the hologram's texture; a picture's name the
// next item's caption when it fits. As FinishPictureFile.
PictureDecode FinishItemLoad();
