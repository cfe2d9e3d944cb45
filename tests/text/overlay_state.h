// The overlay's motion as it stands when the scene has just been built at frame time 0.
#pragma once
#include "text/overlay.h"

inline void ResetOverlayState() {
    overlay = {};
}
