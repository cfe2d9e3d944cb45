#include "show/director.h"

#include <GL/gl.h>
#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include "media/movie.h"
#include "render/frame_clock.h"
#include "render/random.h"
#include "render/gl_names.h"
#include "settings/settings.h"
#include "show/animation.h"
#include "show/hologram.h"
#include "text/overlay.h"
#include "textures/media_library.h"
#include "textures/texture_loader.h"

ShowState showState;

namespace {

constexpr int POSE_SETTLE_FRAMES = 5;
constexpr float DOME_AIM = -17.5f;
constexpr float FLOOR_BODY_LIMIT = 100.0f;
constexpr int EXTERNAL_ONLY_RANGE = 16;
// Longer file names are not shown as captions.
constexpr size_t CAPTION_NAME_LIMIT = 254;
// Files of the media folder tried for one item before the director chooses another item.
constexpr int FILE_ATTEMPTS = 3;

bool CurrentIsFloor() {
    return ItemHas(showState.currentIndex, PF_FLOOR);
}

bool NextIsFloor() {
    return ItemHas(showState.nextIndex, PF_FLOOR);
}

bool RobotAtRest() {
    return (robotPose.leaning && robotPose.leanAmount == 1.0) ||
           (!robotPose.leaning && robotPose.leanAmount == 0.0);
}

float RandomTurnTarget() {
    return static_cast<float>(NextRandom() % 720 - 360);
}

void StartDomeTurn() {
    robotPose.headYawTarget = RandomTurnTarget();
    robotPose.headTurning = true;
}

void RunIdleEvents() {
    if (showState.showStep != SHOW_POSE) {
        switch (NextRandom() % 20) {
            case 0:
                if (!robotPose.headTurning &&
                    (!CurrentIsFloor() || showState.showStep < SHOW_POSE) &&
                    (!robotPose.leaning || showState.showStep < SHOW_AIM)) {
                    StartDomeTurn();
                }
                break;
            case 1:
                if (!robotPose.bodyTurning &&
                    (!CurrentIsFloor() || showState.showStep < SHOW_POSE)) {
                    robotPose.bodyYawTarget = RandomTurnTarget();
                    robotPose.bodyTurning = true;
                }
                break;
            case 2:
                if ((robotPose.leanAmount == 1.0 || robotPose.leanAmount == 0.0) &&
                    (!CurrentIsFloor() || showState.showStep < SHOW_AIM) &&
                    NextRandom() % 50 == 1) {
                    robotPose.leaning = !robotPose.leaning;
                }
                break;
            default:
                break;
        }
    }
    if ((!CurrentIsFloor() || showState.showStep < SHOW_POSE) && !robotPose.headTurning &&
        NextRandom() % 20 == 0) {
        StartDomeTurn();
    }
}

void EnterPose() {
    showState.poseFrames = 0;
    robotPose.bodyTurning = false;
    robotPose.headTurning = false;
    showState.showStep = SHOW_POSE;
}

bool StartExternalPicture() {
    const std::optional<std::wstring> path = PickMediaFile(MediaKind::Picture);
    return path && StartPictureFile(*path);
}

bool StartExternalMovie() {
    const std::optional<std::wstring> path = PickMediaFile(MediaKind::Movie);
    return path && StartMovie(*path, saverSettings.playAviSound);
}

// A movie that could not be opened leaves nothing behind.
void ForgetMovie() {
    showState.movieActive = false;
    CloseMovieAndSound();
}

// A loaded item poses at once; a file of the media folder still on a file thread keeps the
// director waiting, with no new load, until it is ready or refused. A refused file is passed
// over for another of the folder, a few times.
void AfterLoad(PictureDecode decode) {
    if (decode == PictureDecode::Failed) {
        const bool again = ++showState.fileAttempts < FILE_ATTEMPTS;
        if (showState.movieActive) {
            if (again && StartExternalMovie()) return;
            ForgetMovie();
        } else if (again && StartExternalPicture()) {
            return;
        }
        ChooseNextItem();
    } else if (decode != PictureDecode::Pending) {
        EnterPose();
    }
}

void StepWait() {
    const PictureDecode pending = FinishItemLoad();
    if (pending != PictureDecode::Idle) {
        AfterLoad(pending);
        return;
    }
    if (NextRandom() % 90 != 0 || !RobotAtRest()) return;
    if (LoadShowItem(pictureCatalogue[showState.nextIndex])) {
        AfterLoad(FinishItemLoad());
    } else {
        ChooseNextItem();
    }
}

void StepPose() {
    showState.poseFrames += 1;
    if (showState.poseFrames == POSE_SETTLE_FRAMES && NextIsFloor()) {
        if (ItemHas(showState.nextIndex, PF_MOVIE)) {
            robotPose.leaning = true;
            robotPose.bodyTurning = true;
            robotPose.bodyYawTarget = 0.0f;
        } else if (robotPose.bodyYaw < -FLOOR_BODY_LIMIT || robotPose.bodyYaw > FLOOR_BODY_LIMIT) {
            robotPose.leaning = true;
            robotPose.bodyTurning = true;
            robotPose.bodyYawTarget = static_cast<float>(NextRandom() % 200 - 100);
        }
    }
    const bool bodyPlaced =
        !NextIsFloor() || (!robotPose.bodyTurning && robotPose.bodyYaw >= -FLOOR_BODY_LIMIT &&
                           robotPose.bodyYaw <= FLOOR_BODY_LIMIT);
    if (showState.poseFrames >= POSE_SETTLE_FRAMES && RobotAtRest() && bodyPlaced) {
        robotPose.headTurning = true;
        robotPose.headYawTarget = DOME_AIM;
        showState.showStep = SHOW_AIM;
    }
}

void StepAim() {
    const wchar_t* caption = pictureCatalogue[showState.nextIndex].caption;
    showState.captionVisible = NextRandom() % 2 == 0 && wcsnlen(caption, CAPTION_SIZE) > 1;
    if (NextIsFloor()) {
        if (robotPose.headYaw != DOME_AIM) {
            robotPose.headTurning = true;
            robotPose.headYawTarget = DOME_AIM;
        }
        // Straighten up first, then tip forward once the dome is aimed.
        if (robotPose.leaning) {
            robotPose.leaning = false;
        } else if (robotPose.leanAmount == 0.0 && !robotPose.headTurning) {
            robotPose.leaning = true;
            showState.currentIndex = showState.nextIndex;
            showState.showStep = SHOW_OPEN;
        }
    } else {
        showState.currentIndex = showState.nextIndex;
        showState.showStep = SHOW_OPEN;
    }
}

void StepOpen() {
    showState.beamScale = std::min(showState.beamScale + frameClock.frameDelta, 1.0);
    if ((!robotPose.leaning || robotPose.leanAmount == 1.0) && showState.beamScale == 1.0)
        showState.showStep = SHOW_PLAY;
}

void StepPlay() {
    if (!showState.hologramDone) return;
    showState.beamScale = std::max(showState.beamScale - frameClock.frameDelta, 0.0);
    if (CurrentIsFloor()) robotPose.leaning = false;
    if (RobotAtRest() && showState.beamScale == 0.0) {
        showState.hologramDone = false;
        showState.showStep = SHOW_WAIT;
        ChooseNextItem();
    }
}

// What the media folder offers now, as far as the settings want it: nothing before its
// listing is done.
struct MediaOnOffer {
    bool movies;
    bool pictures;
};

MediaOnOffer OnOffer() {
    const MediaCounts counts = CountMedia();
    return {saverSettings.playAvis && counts.movies > 0,
            saverSettings.showExternalBmps && counts.pictures > 0};
}

bool IsRejected(int candidate, MediaOnOffer offer) {
    return std::find(showState.recentPicks.begin(), showState.recentPicks.end(), candidate) !=
               showState.recentPicks.end() ||
           (ItemHas(candidate, PF_MOVIE) && !offer.movies) ||
           (ItemHas(candidate, PF_EXTERNAL) && !offer.pictures);
}

}  // namespace

bool ItemHas(int index, uint32_t flag) {
    return (pictureCatalogue[index].flags & flag) != 0;
}

void AdvanceShow() {
    RunShowDirector();
    UpdateRobotPose();
    AdvanceProjections();
}

void RunShowDirector() {
    RunIdleEvents();
    StepBodyTurn();
    StepHeadTurn();
    switch (showState.showStep) {
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
    const MediaOnOffer offer = OnOffer();
    const bool externalOnly = offer.pictures && saverSettings.onlyExternalPics;
    const int range = externalOnly ? EXTERNAL_ONLY_RANGE : CATALOGUE_SIZE;
    int candidate = NextRandom() % range;
    while (IsRejected(candidate, offer)) candidate = NextRandom() % range;
    showState.nextIndex = candidate;
    std::copy_backward(showState.recentPicks.begin(), showState.recentPicks.end() - 1,
                       showState.recentPicks.end());
    showState.recentPicks[0] = candidate;
}

PictureDecode FinishItemLoad() {
    LoadedPicture picture;
    const bool movie = showState.movieActive;
    const PictureDecode state = movie ? FinishMovie(picture) : FinishPictureFile(picture);
    if (state != PictureDecode::Loaded) return state;
    textureSlots[SLOT_HOLOGRAM] = picture.texture;
    if (movie) {
        // In single precision, from the frame's whole pixels.
        showState.holoHalfWidth =
            static_cast<float>(picture.size.width) / static_cast<float>(picture.size.height);
        return state;
    }
    wchar_t* caption = pictureCatalogue[showState.nextIndex].caption;
    if (picture.name.size() < CAPTION_NAME_LIMIT) {
        const std::wstring shown = FileCaption(picture.name);
        std::copy_n(shown.c_str(), shown.size() + 1, caption);
    }
    showState.holoHalfWidth = static_cast<float>(picture.size.width / picture.size.height);
    return state;
}

bool LoadShowItem(PictureRecord& record) {
    if ((record.flags & PF_MOVIE) != 0) showState.movieActive = true;
    showState.fileAttempts = 0;
    // Forget the freed name at once: a later load that fails must not delete it a second time,
    // when it may already belong to a newer texture.
    glDeleteTextures(1, &textureSlots[SLOT_HOLOGRAM]);
    textureSlots[SLOT_HOLOGRAM] = 0;
    showState.zoomActive = false;
    showState.texLeft = 0.0;
    showState.texTop = 0.0;
    showState.texRight = 1.0;
    showState.texBottom = 1.0;
    showState.floorProjection = (record.flags & PF_FLOOR) != 0;
    if (showState.movieActive) {
        if (!StartExternalMovie()) {
            ForgetMovie();
            return false;
        }
        return true;
    }
    if ((record.flags & PF_EXTERNAL) != 0) {
        if (!StartExternalPicture()) return false;
    } else {
        const PictureSize size =
            LoadResourceTexture(static_cast<uint16_t>(record.resourceId), SLOT_HOLOGRAM,
                                GetModuleHandleA(nullptr), ALPHA_COLOUR_KEY, false);
        // A missing picture comes back as an empty size.
        if (size.width <= 0.0 || size.height <= 0.0) return false;
        showState.holoHalfWidth = static_cast<float>(size.width / size.height);
    }
    if ((record.flags & PF_ZOOM) != 0 && NextRandom() % 2 == 0) {
        showState.zoomActive = true;
        showState.texLeft = record.zoomLeft;
        showState.texTop = record.zoomTop;
        showState.texRight = record.zoomRight;
        showState.texBottom = record.zoomBottom;
    }
    return true;
}
