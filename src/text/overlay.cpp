#include "text/overlay.h"

std::array<uint32_t, GLYPH_COUNT> glyphTextures{};
float overlayTimeBase = 0.0f;
float bannerX = 0.0f;
float bannerY = 5.0f;
float textOffset = 0.0f;
bool textTurn = false;
bool bannerAtTop = false;
bool textAtBottom = true;

void BuildFont() {}
void DrawHoloText(const char*, float, float) {}
void DrawOverlay() {}
