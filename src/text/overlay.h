// The bitmap font and the overlay pass: banner, countdown and message line.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include "art_resources.h"

constexpr int GLYPH_COUNT = GLYPH_CELLS;
// The caption of a picture file whose name shows no letter or digit in this font.
constexpr std::wstring_view NEUTRAL_CAPTION = L"Untitled Picture";
extern std::array<uint32_t, GLYPH_COUNT> glyphTextures;

// The overlay's slides: where banner and text stand, which edges they use, when the next
// slide starts.
struct OverlayState {
    float overlayTimeBase = 0.0f;
    float bannerX = 0.0f;
    float bannerY = 5.0f;
    float textOffset = 0.0f;
    bool textTurn = false;
    bool bannerAtTop = false;
    bool textAtBottom = true;
    // False until the first overlay pass has placed the banner in its first corner.
    bool overlayStarted = false;
    // Screen pixels per overlay unit: 1 up to 96 DPI, DPI / 96 above, so that banner and text
    // keep their size on screen.
    float overlayScale = 1.0f;
};

extern OverlayState overlay;

void BuildFont();
void ReleaseGlyphTextures();
void DrawHoloText(std::wstring_view text, float size, float alpha);
// Banner, countdown and message where the overlay's slides stand, over a window of the given
// pixel size.
void DrawOverlay(int pixelWidth, int pixelHeight);

// The entry of glyphTextures for a character, or -1 when nothing is drawn for it (a blank, or
// a code the font has no cell for).
int GlyphIndex(wchar_t c);
// The text as it is drawn: each character the font has no cell for is left out, and with it
// the blanks after it, or those before it when a sign or the end follows it, so that no gap
// shows where it was; every blank becomes a space.
std::wstring ShownText(std::wstring_view text);
// The caption for a picture file of this name: its shown text, or NEUTRAL_CAPTION when
// characters were left out and no letter or digit of the name before its extension is left.
std::wstring FileCaption(std::wstring_view fileName);
// overlayScale for a display of the given DPI.
float OverlayScaleFor(unsigned int dpi);
// One frame of the overlay's motion at frame time `time` in a width × height pixel window
// with `scale` pixels per overlay unit: the slides of banner and text and the turn at the end
// of each slide. Positions are in overlay units.
void StepOverlay(double time, int width, int height, float scale = 1.0f);
// After the window took a new width or scale: a banner at the right edge moves to the new one,
// one at the left stays. Draws no random number.
void KeepBannerAtItsEdge(int width, float scale);
// The left glyph centre of a line of `length` characters centred in a window `width` units
// wide.
float TextLineX(float width, size_t length);
