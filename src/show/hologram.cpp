#include "show/hologram.h"

#include <GL/gl.h>
#include <cstring>
#include "media/movie.h"
#include "render/frame_clock.h"
#include "render/random.h"
#include "render/gl_names.h"
#include "show/animation.h"
#include "show/director.h"
#include "text/overlay.h"

HologramState hologram;

namespace {

constexpr float SWEEP_ROWS = 40.0f;
constexpr double SWEEP_SPEED = 40.0;
constexpr double HOLD_SECONDS = 10.0;
constexpr double ZOOM_SPEED = 0.33;
constexpr float GLITCH_LENGTH = 0.125f;
constexpr float GLITCH_CLOCK_STOP = 0.3f;
constexpr float ROW_SPACING = 0.05f;
constexpr float GLYPH_SIZE = 0.15f;
constexpr GLfloat GLOW[] = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr GLfloat DARK[] = {0.0f, 0.0f, 0.0f, 1.0f};
constexpr GLfloat BEAM_GLOW[] = {0.0f, 0.0f, 0.5f, 1.0f};

// Each beam's length flickers between 90 % and 104 % of its size.
double BeamFlicker() {
    return (NextRandom() % 15 + 90) / 100.0;
}

void DrawBeam(double width, double height, double flicker) {
    glPushMatrix();
    glScaled(width, height, showState.beamScale * flicker);
    glCallList(LIST_BEAM);
    glPopMatrix();
}

float CaptionAlpha() {
    return static_cast<float>((NextRandom() % 25 + 80) / 100.0 * 0.5 * showState.beamScale);
}

float RandomJitter() {
    return static_cast<float>(NextRandom() % 30 - 15) / 100.0f;
}

// The zoom-out moves each edge of the texture region one frame's step towards the whole
// picture; an edge found at or past its end is set to it exactly.
void WidenTowardsZero(double& edge) {
    edge = edge > 0.0 ? edge - ZOOM_SPEED * frameClock.frameDelta : 0.0;
}

void WidenTowardsOne(double& edge) {
    edge = edge < 1.0 ? edge + ZOOM_SPEED * frameClock.frameDelta : 1.0;
}

void AdvanceSweep() {
    hologram.sweepRow = static_cast<float>(hologram.sweepRow + SWEEP_SPEED * frameClock.frameDelta);
    if (hologram.sweepRow >= SWEEP_ROWS) {
        hologram.sweepRow = 0.0f;
        if (hologram.holoPhase != HOLO_HOLD) hologram.holoPhase += 1;
        if (hologram.holoPhase == HOLO_REVEAL) {
            if (showState.movieActive) {
                hologram.holdUntil = frameClock.frameTime + moviePlayer.movieDurationMs / 1000.0;
                RestartMovie();
            } else {
                hologram.holdUntil = frameClock.frameTime + HOLD_SECONDS;
            }
        }
    }
    if (hologram.sweepRow == 0.0f && hologram.holoPhase == HOLO_HOLD &&
        frameClock.frameTime > hologram.holdUntil)
        hologram.holoPhase = HOLO_LAST;
}

}  // namespace

void BuildBeamList() {
    glNewList(LIST_BEAM, GL_COMPILE);
    glDisable(GL_TEXTURE_2D);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, BEAM_GLOW);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glBegin(GL_TRIANGLE_FAN);
    glColor4f(0.0f, 0.0f, 0.5f, 0.5f);
    glVertex3f(0.0f, 0.0f, 0.075f);
    glColor4f(0.0f, 0.0f, 0.5f, 0.0f);
    glVertex3f(-1.0f, 1.0f, 1.5f);
    glVertex3f(1.0f, 1.0f, 1.5f);
    glVertex3f(1.0f, -1.0f, 1.5f);
    glVertex3f(-1.0f, -1.0f, 1.5f);
    glVertex3f(-1.0f, 1.0f, 1.5f);
    glEnd();
    glDisable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, DARK);
    glEnable(GL_TEXTURE_2D);
    glEndList();
}

void ApplyPictureFrame() {
    glTranslated(0.0, 0.0, 2.0);
    if (showState.floorProjection) {
        // Undo the lean, the lens pitch and both turns: the picture stands upright and faces
        // the viewer.
        glRotated(-robotPose.lensPitch + robotPose.leanAngle, 1.0, 0.0, 0.0);
        glRotated(-robotPose.headYaw - 35.0 - robotPose.bodyYaw + 18.0, 0.0, 1.0, 0.0);
    }
}

void DrawProjections() {
    const wchar_t* caption = pictureCatalogue[showState.currentIndex].caption;
    const double length = static_cast<double>(wcsnlen(caption, CAPTION_SIZE));
    if (showState.captionVisible && !showState.floorProjection) {
        glPushMatrix();
        glRotated(215.0, 0.0, 1.0, 0.0);
        glRotated(-12.5, 1.0, 0.0, 0.0);
        glTranslated(0.0, 0.0, 0.975);
        DrawBeam(length * 0.5 * GLYPH_SIZE * showState.beamScale, GLYPH_SIZE * showState.beamScale,
                 hologram.captionBeamFlicker);
        glScaled(showState.beamScale, showState.beamScale, showState.beamScale);
        glTranslated(0.0, 0.0, 1.6);
        glTranslated(-length * 0.5 * GLYPH_SIZE, 0.0, 0.0);
        DrawHoloText(caption, GLYPH_SIZE, hologram.captionAlpha);
        glPopMatrix();
    }
    if (showState.captionVisible && showState.floorProjection) {
        glPushMatrix();
        glRotated(147.5, 0.0, 1.0, 0.0);
        glRotated(-65.0, 1.0, 0.0, 0.0);
        glTranslated(0.0, 0.0, 0.975);
        DrawBeam(0.2 * showState.beamScale, 0.2 * showState.beamScale, hologram.captionBeamFlicker);
        glScaled(showState.beamScale, showState.beamScale, showState.beamScale);
        glTranslated(0.0, 0.0, 0.7);
        glRotated(-robotPose.headYaw - 147.5 - robotPose.bodyYaw + 18.0, 0.0, 0.0, 1.0);
        glRotated(-90.0, 0.0, 1.0, 0.0);
        glRotated(90.0, 1.0, 0.0, 0.0);
        glScaled(0.75, 1.0, 1.0);
        DrawHoloText(caption, GLYPH_SIZE, hologram.captionAlpha);
        glPopMatrix();
    }
    glPushMatrix();
    ApplyLensFrame();
    DrawBeam(showState.holoHalfWidth * showState.beamScale, showState.beamScale,
             hologram.beamFlicker);
    ApplyPictureFrame();
    DrawHologram();
    glPopMatrix();
}

void AdvanceHologramMovie() {
    // A movie that cannot go on ends its hold now.
    if (showState.movieActive && !AdvanceMovie(textureSlots[SLOT_HOLOGRAM])) {
        showState.movieActive = false;
        hologram.holdUntil = frameClock.frameTime;
    }
}

bool AdvanceHologram() {
    if (NextRandom() % 1000 == 2) hologram.glitchClock = 0.0f;
    if (hologram.glitchClock < GLITCH_CLOCK_STOP)
        hologram.glitchClock = static_cast<float>(hologram.glitchClock + frameClock.frameDelta);
    AdvanceHologramMovie();
    if (showState.hologramDone) return false;
    if (showState.zoomActive && ItemHas(showState.currentIndex, PF_ZOOM) &&
        hologram.holoPhase > HOLO_REVEAL) {
        WidenTowardsZero(showState.texLeft);
        WidenTowardsZero(showState.texTop);
        WidenTowardsOne(showState.texRight);
        WidenTowardsOne(showState.texBottom);
    }
    AdvanceSweep();
    if (hologram.holoPhase == HOLO_FINISHED) {
        showState.hologramDone = true;
        hologram.holoPhase = HOLO_SCAN;
        if (showState.movieActive) {
            CloseMovieAndSound();
            showState.movieActive = false;
        }
    }
    return true;
}

std::array<HoloRow, HOLO_ROW_COUNT> ComputeHologramRows() {
    std::array<HoloRow, HOLO_ROW_COUNT> rows{};
    const int scan = static_cast<int>(hologram.sweepRow);
    for (int i = 0; i < HOLO_ROW_COUNT; ++i) {
        float alpha = showState.movieActive ? (hologram.scanPhase ? 0.85f : 0.9f)
                                            : (hologram.scanPhase ? 0.7f : 0.8f);
        hologram.scanPhase = !hologram.scanPhase;
        float jitter = 0.0f;
        if (NextRandom() % 1000 == 0 || hologram.glitchClock < GLITCH_LENGTH)
            jitter = RandomJitter();
        const bool scanRow = i == scan || i == scan - 1;
        switch (hologram.holoPhase) {
            case HOLO_SCAN:
                alpha = 0.0f;
                if (scanRow) {
                    alpha = 1.0f;
                    jitter = RandomJitter();
                }
                break;
            case HOLO_REVEAL:
                if (i > hologram.sweepRow) alpha = 0.0f;
                if (scanRow) alpha = 1.0f;
                break;
            case HOLO_HOLD:
                if (scanRow) alpha = 1.0f;
                break;
            case HOLO_LAST:
            case HOLO_ERASE:
                if (scanRow) {
                    alpha = 1.0f;
                    jitter = RandomJitter();
                } else if (hologram.holoPhase == HOLO_ERASE && i < scan) {
                    alpha = 0.0f;
                }
                break;
            default:
                break;
        }
        float t = static_cast<float>(showState.texTop + (showState.texBottom - showState.texTop) *
                                                            i / (HOLO_ROW_COUNT - 1));
        // Movie frames are stored bottom row first.
        if (showState.movieActive) t = 1.0f - t;
        rows[i] = {alpha, jitter, t};
    }
    hologram.scanPhase = static_cast<long long>(4.0 * frameClock.frameTime) % 2 == 0;
    return rows;
}

void AdvanceProjections() {
    if (showState.showStep <= 0) return;
    if (showState.captionVisible) {
        hologram.captionBeamFlicker = BeamFlicker();
        hologram.captionAlpha = CaptionAlpha();
    }
    hologram.beamFlicker = BeamFlicker();
    hologram.showing = AdvanceHologram();
    if (hologram.showing) hologram.rows = ComputeHologramRows();
}

void DrawHologram() {
    if (!hologram.showing) return;
    const std::array<HoloRow, HOLO_ROW_COUNT>& rows = hologram.rows;
    glBindTexture(GL_TEXTURE_2D, textureSlots[SLOT_HOLOGRAM]);
    glEnable(GL_BLEND);
    glTranslated(0.0, 1.0, 0.0);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, GLOW);
    glNormal3f(0.0f, 0.0f, 1.0f);
    glBegin(GL_TRIANGLE_STRIP);
    const float left = static_cast<float>(showState.texLeft);
    const float right = static_cast<float>(showState.texRight);
    for (int i = 0; i < HOLO_ROW_COUNT; ++i) {
        const HoloRow& row = rows[i];
        const float y = -ROW_SPACING * static_cast<float>(i);
        glColor4f(0.9f, 0.9f, 1.0f, row.alpha);
        glTexCoord2f(left, row.t);
        glVertex3f(-showState.holoHalfWidth + row.jitter, y, row.jitter);
        glTexCoord2f(right, row.t);
        glVertex3f(showState.holoHalfWidth + row.jitter, y, row.jitter);
    }
    glEnd();
    glDisable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, DARK);
}
