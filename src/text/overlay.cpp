#include "text/overlay.h"

#include <windows.h>
#include <GL/gl.h>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <string>
#include "art_resources.h"
#include "host/monitors.h"
#include "render/random.h"
#include "render/gl_names.h"
#include "settings/settings.h"
#include "text/countdown.h"
#include "textures/texture_loader.h"

std::array<uint32_t, GLYPH_COUNT> glyphTextures{};
OverlayState overlay;

namespace {

constexpr uint16_t FONT_RESOURCE = GLYPH_STRIP_BITMAP.id;
constexpr int GLYPH_CELL = GLYPH_STRIP_BITMAP.height;
constexpr float BANNER_WIDTH = 256.0f;
constexpr float SLIDE_DISTANCE = 40.0f;
// Bottom edge of banner and text offset when shown at the bottom, and when hidden below it.
constexpr float BOTTOM_SHOWN = 5.0f;
constexpr float BOTTOM_HIDDEN = BOTTOM_SHOWN - SLIDE_DISTANCE;
constexpr float COUNTDOWN_LINE_DROP = 21.0f;
constexpr float MESSAGE_LINE_DROP = 10.0f;
constexpr float SHORT_HOLD = 15.0f;
constexpr float OVERLAY_GLYPH_SIZE = 12.0f;
constexpr float OVERLAY_TEXT_ALPHA = 0.5f;
constexpr size_t COUNTDOWN_LINE_SIZE = 100;

void SetHoloTextState(const GLfloat emission[4], const GLfloat colour[4]) {
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, emission);
    glColor4fv(colour);
}

void DrawOverlayLine(std::wstring_view text, float width, float height) {
    const std::wstring shown = ShownText(text);
    glPushMatrix();
    glTranslatef(TextLineX(width, shown.size()), height, 0.0f);
    DrawHoloText(shown, OVERLAY_GLYPH_SIZE, OVERLAY_TEXT_ALPHA);
    glPopMatrix();
}

// Spaces: drawn as a gap a glyph wide.
bool IsBlank(wchar_t c) {
    return c == L' ' || c == 0x00A0 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F || c == 0x205F ||
           c == 0x3000;
}

}  // namespace

int GlyphIndex(wchar_t c) {
    return IsBlank(c) ? -1 : GlyphCell(c);
}

std::wstring ShownText(std::wstring_view text) {
    std::wstring shown;
    // A character left out since the last one kept.
    bool leftOut = false;
    const auto closeUp = [&shown] { shown.erase(shown.find_last_not_of(L' ') + 1); };
    for (const wchar_t c : text) {
        if (IsBlank(c)) {
            // The blanks after a left-out character close up into those before it.
            if (!leftOut || (!shown.empty() && shown.back() != L' ')) shown.push_back(L' ');
        } else if (GlyphIndex(c) >= 0) {
            // A sign after a left-out character keeps to the word before it.
            if (leftOut && !IsCharAlphaNumericW(c)) closeUp();
            shown.push_back(c);
            leftOut = false;
        } else {
            leftOut = true;
        }
    }
    if (leftOut) closeUp();
    return shown;
}

std::wstring FileCaption(std::wstring_view fileName) {
    std::wstring shown = ShownText(fileName);
    const bool whole =
        std::ranges::all_of(fileName, [](wchar_t c) { return IsBlank(c) || GlyphIndex(c) >= 0; });
    const std::wstring_view stem = std::wstring_view(shown).substr(0, shown.find_last_of(L'.'));
    if (whole || std::ranges::any_of(stem, IsCharAlphaNumericW)) return shown;
    return std::wstring(NEUTRAL_CAPTION);
}

void BuildFont() {
    LoadGlyphTextures(FONT_RESOURCE, GetModuleHandleA(nullptr), GLYPH_CELL, GLYPH_CELL,
                      glyphTextures, ALPHA_FROM_RED);
    glNewList(LIST_GLYPH, GL_COMPILE);
    glNormal3f(0.0f, 0.0f, 1.0f);
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-0.5f, 0.5f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(0.5f, 0.5f, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-0.5f, -0.5f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(0.5f, -0.5f, 0.0f);
    glEnd();
    glEndList();
}

void DrawHoloText(std::wstring_view text, float size, float alpha) {
    const GLfloat holo[] = {0.0f, 0.35f, 1.0f, alpha};
    SetHoloTextState(holo, holo);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    for (size_t i = 0; i < text.size(); ++i) {
        const int glyph = GlyphIndex(text[i]);
        if (glyph < 0) continue;
        glPushMatrix();
        glTranslatef(static_cast<float>(i) * size, 0.0f, 0.0f);
        glBindTexture(GL_TEXTURE_2D, glyphTextures[glyph]);
        glScalef(size, size, size);
        glCallList(LIST_GLYPH);
        glPopMatrix();
    }
    glDisable(GL_BLEND);
    constexpr GLfloat dark[] = {0.0f, 0.0f, 0.0f, 1.0f};
    constexpr GLfloat white[] = {1.0f, 1.0f, 1.0f, 1.0f};
    SetHoloTextState(dark, white);
}

float OverlayScaleFor(unsigned int dpi) {
    return dpi > BASE_DPI ? static_cast<float>(dpi) / BASE_DPI : 1.0f;
}

float TextLineX(float width, size_t length) {
    return width / 2.0f - (static_cast<float>(length) / 2.0f) * OVERLAY_GLYPH_SIZE;
}

void StepOverlay(double time, int width, int height, float scale) {
    const float w = static_cast<float>(width) / scale;
    const float h = static_cast<float>(height) / scale;
    if (!overlay.overlayStarted) {
        overlay.bannerX = w - BANNER_WIDTH;
        overlay.overlayStarted = true;
    }
    const float t = static_cast<float>(time - overlay.overlayTimeBase);
    if (t <= 0.0f) return;

    const float s = std::sin(static_cast<float>(t * std::numbers::pi / 2.0));
    const float slide = SLIDE_DISTANCE * s;
    if (overlay.textTurn) {
        overlay.bannerY = overlay.bannerAtTop ? (h - SLIDE_DISTANCE) + slide : BOTTOM_SHOWN - slide;
        overlay.textOffset = overlay.textAtBottom ? h - slide : BOTTOM_HIDDEN + slide;
    } else {
        overlay.bannerY = overlay.bannerAtTop ? h - slide : BOTTOM_HIDDEN + slide;
        overlay.textOffset =
            overlay.textAtBottom ? (h - SLIDE_DISTANCE) + slide : BOTTOM_SHOWN - slide;
    }
    if (t < 1.0f) return;

    overlay.overlayTimeBase = static_cast<float>(time + SHORT_HOLD);
    overlay.textTurn = !overlay.textTurn;
    if (overlay.textTurn) {
        overlay.textAtBottom = !overlay.textAtBottom;
    } else {
        overlay.bannerX = NextRandom() % 2 == 1 ? w - BANNER_WIDTH : 0.0f;
        overlay.bannerAtTop = !overlay.bannerAtTop;
        overlay.overlayTimeBase += SHORT_HOLD;
    }
}

void KeepBannerAtItsEdge(int width, float scale) {
    // A banner at the left stands at 0, and one not placed yet there too until the first step.
    if (overlay.bannerX != 0.0f) overlay.bannerX = static_cast<float>(width) / scale - BANNER_WIDTH;
}

void ReleaseGlyphTextures() {
    glDeleteTextures(GLYPH_COUNT, glyphTextures.data());
    glyphTextures.fill(0);
}

void DrawOverlay(int pixelWidth, int pixelHeight) {
    // Everything below is in overlay units; the projection maps them onto the pixels.
    const float width = static_cast<float>(pixelWidth) / overlay.overlayScale;
    const float height = static_cast<float>(pixelHeight) / overlay.overlayScale;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    if (saverSettings.showCountdown) {
        // The robot's lists leave texturing on; switched on here too so the lines never
        // depend on what the frame drew before them.
        glEnable(GL_TEXTURE_2D);
        char line[COUNTDOWN_LINE_SIZE];
        BuildCountdownText(line, sizeof(line));
        DrawOverlayLine(std::wstring(line, line + std::strlen(line)), width,
                        (height - COUNTDOWN_LINE_DROP) - overlay.textOffset);
        DrawOverlayLine(saverSettings.countMessage, width,
                        (height - MESSAGE_LINE_DROP) - overlay.textOffset);
    }
    glPushMatrix();
    glTranslatef(overlay.bannerX, overlay.bannerY, 0.0f);
    glCallList(LIST_BANNER);
    glPopMatrix();
}
