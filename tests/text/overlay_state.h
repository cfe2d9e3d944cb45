// The overlay's motion as it stands when the scene has just been built at frame time 0.
#pragma once
#include "text/overlay.h"

inline void ResetOverlayState() {
    overlayTimeBase = 0.0f;
    bannerX = 0.0f;
    bannerY = 5.0f;
    textOffset = 0.0f;
    textTurn = false;
    bannerAtTop = false;
    textAtBottom = true;
    overlayStarted = false;
}
