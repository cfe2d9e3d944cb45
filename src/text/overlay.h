// The bitmap font and the overlay pass: banner, countdown and message line.
#pragma once
#include <array>
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

void BuildFont();
void DrawHoloText(const char* text, float size, float alpha);
void DrawOverlay();
