#include "show/director.h"

#include <GL/gl.h>
#include <algorithm>
#include <cstring>
#include "media/movie.h"
#include "render/frame_clock.h"
#include "render/random.h"
#include "render/scene.h"
#include "settings/settings.h"
#include "show/animation.h"
#include "textures/texture_loader.h"

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

namespace {

constexpr int POSE_SETTLE_FRAMES = 5;
constexpr float DOME_AIM = -17.5f;
constexpr float FLOOR_BODY_LIMIT = 100.0f;
constexpr int EXTERNAL_ONLY_RANGE = 16;

bool CurrentIsFloor() {
    return ItemHas(currentIndex, PF_FLOOR);
}

bool NextIsFloor() {
    return ItemHas(nextIndex, PF_FLOOR);
}

bool RobotAtRest() {
    return (leaning && leanAmount == 1.0) || (!leaning && leanAmount == 0.0);
}

float RandomTurnTarget() {
    return static_cast<float>(NextRandom() % 720 - 360);
}

void StartDomeTurn() {
    headYawTarget = RandomTurnTarget();
    headTurning = true;
}

void RunIdleEvents() {
    if (showStep != SHOW_POSE) {
        switch (NextRandom() % 20) {
            case 0:
                if (!headTurning && (!CurrentIsFloor() || showStep < SHOW_POSE) &&
                    (!leaning || showStep < SHOW_AIM)) {
                    StartDomeTurn();
                }
                break;
            case 1:
                if (!bodyTurning && (!CurrentIsFloor() || showStep < SHOW_POSE)) {
                    bodyYawTarget = RandomTurnTarget();
                    bodyTurning = true;
                }
                break;
            case 2:
                if ((leanAmount == 1.0 || leanAmount == 0.0) &&
                    (!CurrentIsFloor() || showStep < SHOW_AIM) && NextRandom() % 50 == 1) {
                    leaning = !leaning;
                }
                break;
            default:
                break;
        }
    }
    if ((!CurrentIsFloor() || showStep < SHOW_POSE) && !headTurning && NextRandom() % 20 == 0) {
        StartDomeTurn();
    }
}

void EnterPose() {
    poseFrames = 0;
    bodyTurning = false;
    headTurning = false;
    showStep = SHOW_POSE;
}

// A loaded item poses at once; a picture still on the decoding thread keeps the director
// waiting, with no new load, until it is ready or refused.
void AfterLoad(PictureDecode decode) {
    if (decode == PictureDecode::Failed) {
        ChooseNextItem();
    } else if (decode != PictureDecode::Pending) {
        EnterPose();
    }
}

void StepWait() {
    const PictureDecode pending = FinishExternalPicture();
    if (pending != PictureDecode::Idle) {
        AfterLoad(pending);
        return;
    }
    if (NextRandom() % 90 != 0 || !RobotAtRest()) return;
    if (LoadShowItem(pictureCatalogue[nextIndex])) {
        AfterLoad(FinishExternalPicture());
    } else {
        ChooseNextItem();
    }
}

void StepPose() {
    poseFrames += 1;
    if (poseFrames == POSE_SETTLE_FRAMES && NextIsFloor()) {
        if (ItemHas(nextIndex, PF_MOVIE)) {
            leaning = true;
            bodyTurning = true;
            bodyYawTarget = 0.0f;
        } else if (bodyYaw < -FLOOR_BODY_LIMIT || bodyYaw > FLOOR_BODY_LIMIT) {
            leaning = true;
            bodyTurning = true;
            bodyYawTarget = static_cast<float>(NextRandom() % 200 - 100);
        }
    }
    const bool bodyPlaced = !NextIsFloor() || (!bodyTurning && bodyYaw >= -FLOOR_BODY_LIMIT &&
                                               bodyYaw <= FLOOR_BODY_LIMIT);
    if (poseFrames >= POSE_SETTLE_FRAMES && RobotAtRest() && bodyPlaced) {
        headTurning = true;
        headYawTarget = DOME_AIM;
        showStep = SHOW_AIM;
    }
}

void StepAim() {
    const char* caption = pictureCatalogue[nextIndex].caption;
    captionVisible = NextRandom() % 2 == 0 && strnlen(caption, CAPTION_SIZE) > 1;
    if (NextIsFloor()) {
        if (headYaw != DOME_AIM) {
            headTurning = true;
            headYawTarget = DOME_AIM;
        }
        // Straighten up first, then tip forward once the dome is aimed.
        if (leaning) {
            leaning = false;
        } else if (leanAmount == 0.0 && !headTurning) {
            leaning = true;
            currentIndex = nextIndex;
            showStep = SHOW_OPEN;
        }
    } else {
        currentIndex = nextIndex;
        showStep = SHOW_OPEN;
    }
}

void StepOpen() {
    beamScale = std::min(beamScale + frameDelta, 1.0);
    if ((!leaning || leanAmount == 1.0) && beamScale == 1.0) showStep = SHOW_PLAY;
}

void StepPlay() {
    if (!hologramDone) return;
    beamScale = std::max(beamScale - frameDelta, 0.0);
    if (CurrentIsFloor()) leaning = false;
    if (RobotAtRest() && beamScale == 0.0) {
        hologramDone = false;
        showStep = SHOW_WAIT;
        ChooseNextItem();
    }
}

bool IsRejected(int candidate) {
    return std::find(recentPicks.begin(), recentPicks.end(), candidate) != recentPicks.end() ||
           (ItemHas(candidate, PF_MOVIE) && !saverSettings.playAvis) ||
           (ItemHas(candidate, PF_EXTERNAL) && !saverSettings.showExternalBmps);
}

}  // namespace

bool ItemHas(int index, uint32_t flag) {
    return (pictureCatalogue[index].flags & flag) != 0;
}

void RunShowDirector() {
    RunIdleEvents();
    StepBodyTurn();
    StepHeadTurn();
    switch (showStep) {
        case SHOW_WAIT:
            StepWait();
            break;
        case SHOW_POSE:
            StepPose();
            break;
        case SHOW_AIM:
            StepAim();
            break;
        case SHOW_OPEN:
            StepOpen();
            break;
        case SHOW_PLAY:
            StepPlay();
            break;
        default:
            break;
    }
}

void ChooseNextItem() {
    const bool externalOnly = saverSettings.showExternalBmps && saverSettings.onlyExternalPics;
    const int range = externalOnly ? EXTERNAL_ONLY_RANGE : CATALOGUE_SIZE;
    int candidate = NextRandom() % range;
    while (IsRejected(candidate)) candidate = NextRandom() % range;
    nextIndex = candidate;
    std::copy_backward(recentPicks.begin(), recentPicks.end() - 1, recentPicks.end());
    recentPicks[0] = candidate;
}

bool LoadShowItem(PictureRecord& record) {
    if ((record.flags & PF_MOVIE) != 0) movieActive = true;
    // Forget the freed name at once: a later load that fails must not delete it a second time,
    // when it may already belong to a newer texture.
    glDeleteTextures(1, &textureSlots[SLOT_HOLOGRAM]);
    textureSlots[SLOT_HOLOGRAM] = 0;
    zoomActive = false;
    texLeft = 0.0;
    texTop = 0.0;
    texRight = 1.0;
    texBottom = 1.0;
    floorProjection = (record.flags & PF_FLOOR) != 0;
    if (movieActive) {
        if (!OpenRandomMovie()) {
            movieActive = false;
            CloseMovieAndSound();
            return false;
        }
        return true;
    }
    if ((record.flags & PF_EXTERNAL) != 0) {
        if (!LoadExternalPicture()) return false;
    } else {
        const PictureSize size =
            LoadResourceTexture(static_cast<uint16_t>(record.resourceId), SLOT_HOLOGRAM,
                                GetModuleHandleA(nullptr), ALPHA_COLOUR_KEY, false);
        // A missing picture comes back as an empty size.
        if (size.width <= 0.0 || size.height <= 0.0) return false;
        holoHalfWidth = static_cast<float>(size.width / size.height);
    }
    if ((record.flags & PF_ZOOM) != 0 && NextRandom() % 2 == 0) {
        zoomActive = true;
        texLeft = record.zoomLeft;
        texTop = record.zoomTop;
        texRight = record.zoomRight;
        texBottom = record.zoomBottom;
    }
    return true;
}
