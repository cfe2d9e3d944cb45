// The bitmap font and the overlay pass: banner, countdown and message line.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

constexpr int GLYPH_COUNT = 96;
extern std::array<uint32_t, GLYPH_COUNT> glyphTextures;

extern float overlayTimeBase;
extern float bannerX;
extern float bannerY;
extern float textOffset;
extern bool textTurn;
extern bool bannerAtTop;
extern bool textAtBottom;
// False until the first overlay pass has placed the banner in its first corner.
extern bool overlayStarted;
// Screen pixels per overlay unit: 1 up to 96 DPI, DPI / 96 above, so that banner and text
// keep their size on screen.
extern float overlayScale;

void BuildFont();
void DrawHoloText(const char* text, float size, float alpha);
void DrawOverlay();

// The entry of glyphTextures for a character, or -1 when nothing is drawn for it (a space, or
// a code the font has no cell for).
int GlyphIndex(char c);
// overlayScale for a display of the given DPI.
float OverlayScaleFor(unsigned int dpi);
// One frame of the overlay's motion at frame time `time` in a width × height pixel window
// with `scale` pixels per overlay unit: the slides of banner and text and the turn at the end
// of each slide. Positions are in overlay units.
void StepOverlay(double time, int width, int height, float scale = 1.0f);
// The left glyph centre of a line of `length` characters centred in a window `width` units
// wide.
float TextLineX(float width, size_t length);
