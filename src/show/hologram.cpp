#include "show/hologram.h"

#include <GL/gl.h>
#include <cstring>
#include "media/movie.h"
#include "render/frame_clock.h"
#include "render/random.h"
#include "render/scene.h"
#include "show/animation.h"
#include "show/director.h"
#include "text/overlay.h"

int holoPhase = HOLO_SCAN;
float sweepRow = 0.0f;
double holdUntil = 0.0;
float glitchClock = 5.0f;
bool scanPhase = false;

namespace {

constexpr int HOLOGRAM_SLOT = 2;
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

void DrawBeam(double width, double height) {
    glPushMatrix();
    glScaled(width, height, beamScale * BeamFlicker());
    glCallList(LIST_BEAM);
    glPopMatrix();
}

float CaptionAlpha() {
    return static_cast<float>((NextRandom() % 25 + 80) / 100.0 * 0.5 * beamScale);
}

float RandomJitter() {
    return static_cast<float>(NextRandom() % 30 - 15) / 100.0f;
}

// The zoom-out moves each edge of the texture region one frame's step towards the whole
// picture; an edge found at or past its end is set to it exactly.
void WidenTowardsZero(double& edge) {
    edge = edge > 0.0 ? edge - ZOOM_SPEED * frameDelta : 0.0;
}

void WidenTowardsOne(double& edge) {
    edge = edge < 1.0 ? edge + ZOOM_SPEED * frameDelta : 1.0;
}

void AdvanceSweep() {
    sweepRow = static_cast<float>(sweepRow + SWEEP_SPEED * frameDelta);
    if (sweepRow >= SWEEP_ROWS) {
        sweepRow = 0.0f;
        if (holoPhase != HOLO_HOLD) holoPhase += 1;
        if (holoPhase == HOLO_REVEAL) {
            if (movieActive) {
                holdUntil = frameTime + movieDurationMs / 1000.0;
                RestartMovie();
            } else {
                holdUntil = frameTime + HOLD_SECONDS;
            }
        }
    }
    if (sweepRow == 0.0f && holoPhase == HOLO_HOLD && frameTime > holdUntil) holoPhase = HOLO_LAST;
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
    if (floorProjection) {
        // Undo the lean, the lens pitch and both turns: the picture stands upright and faces
        // the viewer.
        glRotated(-lensPitch + leanAngle, 1.0, 0.0, 0.0);
        glRotated(-headYaw - 35.0 - bodyYaw + 18.0, 0.0, 1.0, 0.0);
    }
}

void DrawProjections() {
    const char* caption = pictureCatalogue[currentIndex].caption;
    const double length = static_cast<double>(strnlen(caption, CAPTION_SIZE));
    if (captionVisible && !floorProjection) {
        glPushMatrix();
        glRotated(215.0, 0.0, 1.0, 0.0);
        glRotated(-12.5, 1.0, 0.0, 0.0);
        glTranslated(0.0, 0.0, 0.975);
        DrawBeam(length * 0.5 * GLYPH_SIZE * beamScale, GLYPH_SIZE * beamScale);
        glScaled(beamScale, beamScale, beamScale);
        glTranslated(0.0, 0.0, 1.6);
        glTranslated(-length * 0.5 * GLYPH_SIZE, 0.0, 0.0);
        DrawHoloText(caption, GLYPH_SIZE, CaptionAlpha());
        glPopMatrix();
    }
    if (captionVisible && floorProjection) {
        glPushMatrix();
        glRotated(147.5, 0.0, 1.0, 0.0);
        glRotated(-65.0, 1.0, 0.0, 0.0);
        glTranslated(0.0, 0.0, 0.975);
        DrawBeam(0.2 * beamScale, 0.2 * beamScale);
        glScaled(beamScale, beamScale, beamScale);
        glTranslated(0.0, 0.0, 0.7);
        glRotated(-headYaw - 147.5 - bodyYaw + 18.0, 0.0, 0.0, 1.0);
        glRotated(-90.0, 0.0, 1.0, 0.0);
        glRotated(90.0, 1.0, 0.0, 0.0);
        glScaled(0.75, 1.0, 1.0);
        DrawHoloText(caption, GLYPH_SIZE, CaptionAlpha());
        glPopMatrix();
    }
    glPushMatrix();
    ApplyLensFrame();
    DrawBeam(holoHalfWidth * beamScale, beamScale);
    ApplyPictureFrame();
    DrawHologram();
    glPopMatrix();
}

bool AdvanceHologram() {
    if (NextRandom() % 1000 == 2) glitchClock = 0.0f;
    if (glitchClock < GLITCH_CLOCK_STOP) glitchClock = static_cast<float>(glitchClock + frameDelta);
    if (movieActive) AdvanceMovie(HOLOGRAM_SLOT);
    if (hologramDone) return false;
    if (zoomActive && ItemHas(currentIndex, PF_ZOOM) && holoPhase > HOLO_REVEAL) {
        WidenTowardsZero(texLeft);
        WidenTowardsZero(texTop);
        WidenTowardsOne(texRight);
        WidenTowardsOne(texBottom);
    }
    AdvanceSweep();
    if (holoPhase == HOLO_FINISHED) {
        hologramDone = true;
        holoPhase = HOLO_SCAN;
        if (movieActive) {
            CloseMovieAndSound();
            movieActive = false;
        }
    }
    return true;
}

std::array<HoloRow, HOLO_ROW_COUNT> ComputeHologramRows() {
    std::array<HoloRow, HOLO_ROW_COUNT> rows{};
    const int scan = static_cast<int>(sweepRow);
    for (int i = 0; i < HOLO_ROW_COUNT; ++i) {
        float alpha = movieActive ? (scanPhase ? 0.85f : 0.9f) : (scanPhase ? 0.7f : 0.8f);
        scanPhase = !scanPhase;
        float jitter = 0.0f;
        if (NextRandom() % 1000 == 0 || glitchClock < GLITCH_LENGTH) jitter = RandomJitter();
        const bool scanRow = i == scan || i == scan - 1;
        switch (holoPhase) {
            case HOLO_SCAN:
                alpha = 0.0f;
                if (scanRow) {
                    alpha = 1.0f;
                    jitter = RandomJitter();
                }
                break;
            case HOLO_REVEAL:
                if (i > sweepRow) alpha = 0.0f;
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
                } else if (holoPhase == HOLO_ERASE && i < scan) {
                    alpha = 0.0f;
                }
                break;
            default:
                break;
        }
        float t = static_cast<float>(texTop + (texBottom - texTop) * i / (HOLO_ROW_COUNT - 1));
        // Movie frames are stored bottom row first.
        if (movieActive) t = 1.0f - t;
        rows[i] = {alpha, jitter, t};
    }
    scanPhase = static_cast<long long>(4.0 * frameTime) % 2 == 0;
    return rows;
}

void DrawHologram() {
    if (!AdvanceHologram()) return;
    const std::array<HoloRow, HOLO_ROW_COUNT> rows = ComputeHologramRows();
    glBindTexture(GL_TEXTURE_2D, textureSlots[HOLOGRAM_SLOT]);
    glEnable(GL_BLEND);
    glTranslated(0.0, 1.0, 0.0);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, GLOW);
    glNormal3f(0.0f, 0.0f, 1.0f);
    glBegin(GL_TRIANGLE_STRIP);
    const float left = static_cast<float>(texLeft);
    const float right = static_cast<float>(texRight);
    for (int i = 0; i < HOLO_ROW_COUNT; ++i) {
        const HoloRow& row = rows[i];
        const float y = -ROW_SPACING * static_cast<float>(i);
        glColor4f(0.9f, 0.9f, 1.0f, row.alpha);
        glTexCoord2f(left, row.t);
        glVertex3f(-holoHalfWidth + row.jitter, y, row.jitter);
        glTexCoord2f(right, row.t);
        glVertex3f(holoHalfWidth + row.jitter, y, row.jitter);
    }
    glEnd();
    glDisable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, DARK);
}
