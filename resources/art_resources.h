// The program's artwork resources: the generator draws each at its size and bit depth and
// names it for the resource compiler by its id; the program loads it by the same id. Plain C++,
// read by the native generator and by the Windows build alike.
#pragma once

#include <array>

struct BitmapResource {
    int id;
    const char* file;
    int width, height, bits;
};

struct IconResource {
    int id;
    const char* file;
    std::array<int, 4> sizes;  // square images of 32 bits
};

inline constexpr IconResource PROGRAM_ICON{100, "quorvel.ico", {16, 32, 48, 256}};

inline constexpr BitmapResource BANNER_BITMAP{101, "banner.bmp", 256, 32, 8};
inline constexpr BitmapResource BODY_BITMAP{102, "body.bmp", 512, 256, 8};
inline constexpr BitmapResource DOME_CAP_BITMAP{103, "dome_cap.bmp", 256, 256, 8};
inline constexpr BitmapResource CHROME_BITMAP{104, "chrome.bmp", 256, 256, 8};
inline constexpr BitmapResource DOME_BAND_BITMAP{105, "dome_band.bmp", 512, 64, 8};
inline constexpr BitmapResource PANEL_BITMAP{106, "panel_block.bmp", 128, 128, 8};
inline constexpr BitmapResource LENS_BITMAP{108, "lens.bmp", 32, 32, 8};
inline constexpr BitmapResource LEGS_BITMAP{109, "legs.bmp", 128, 256, 8};
inline constexpr BitmapResource FEET_BITMAP{110, "feet.bmp", 256, 64, 8};
// 96 square cells, one for each code from 32 to 127.
inline constexpr BitmapResource GLYPH_STRIP_BITMAP{111, "glyphs.bmp", 1536, 16, 24};
inline constexpr BitmapResource DIALOG_BACKGROUND_BITMAP{112, "dialog.bmp", 375, 350, 8};

inline constexpr std::array FIXED_BITMAPS{BANNER_BITMAP,
                                          BODY_BITMAP,
                                          DOME_CAP_BITMAP,
                                          CHROME_BITMAP,
                                          DOME_BAND_BITMAP,
                                          PANEL_BITMAP,
                                          LENS_BITMAP,
                                          LEGS_BITMAP,
                                          FEET_BITMAP,
                                          GLYPH_STRIP_BITMAP,
                                          DIALOG_BACKGROUND_BITMAP};
