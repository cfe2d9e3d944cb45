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
// The characters of the font strip, one square cell each, range by range in the strip's order:
// the codes 32 (blank) to 127 (a filled block), then the letters and signs of Western and
// Central European, Greek and Cyrillic text, and the rest of the Windows Western code page.
struct GlyphRange {
    char16_t first, last;
};
inline constexpr std::array GLYPH_RANGES{
    GlyphRange{0x0020, 0x007F},
    // Latin-1 without the no-break space (a blank) and the soft hyphen (never shown).
    GlyphRange{0x00A1, 0x00AC}, GlyphRange{0x00AE, 0x00FF},
    // Latin Extended-A, then the three other letters and accents of the Western code page.
    GlyphRange{0x0100, 0x017F}, GlyphRange{0x0192, 0x0192}, GlyphRange{0x02C6, 0x02C6},
    GlyphRange{0x02DC, 0x02DC},
    // Greek capitals and small letters, with and without tonos and dialytika.
    GlyphRange{0x0386, 0x0386}, GlyphRange{0x0388, 0x038A}, GlyphRange{0x038C, 0x038C},
    GlyphRange{0x038E, 0x03A1}, GlyphRange{0x03A3, 0x03CE},
    // Cyrillic: Russian, Ukrainian, Belarusian, Serbian, Macedonian and Bulgarian letters.
    GlyphRange{0x0400, 0x045F}, GlyphRange{0x0490, 0x0491},
    // Dashes, quotes, daggers, bullet, ellipsis, per mille, angle quotes, euro, trade mark.
    GlyphRange{0x2013, 0x2014}, GlyphRange{0x2018, 0x201A}, GlyphRange{0x201C, 0x201E},
    GlyphRange{0x2020, 0x2022}, GlyphRange{0x2026, 0x2026}, GlyphRange{0x2030, 0x2030},
    GlyphRange{0x2039, 0x203A}, GlyphRange{0x20AC, 0x20AC}, GlyphRange{0x2122, 0x2122}};
static_assert([] {
    for (size_t i = 1; i < GLYPH_RANGES.size(); ++i)
        if (GLYPH_RANGES[i].first <= GLYPH_RANGES[i - 1].last) return false;
    return GLYPH_RANGES[0].first == 0x20 && GLYPH_RANGES[0].last == 0x7F;
}());

// The strip's cell of a character, or -1 when the strip has none.
constexpr int GlyphCell(char32_t c) {
    int cell = 0;
    for (const GlyphRange& range : GLYPH_RANGES) {
        if (c < range.first) break;
        if (c <= range.last) return cell + static_cast<int>(c - range.first);
        cell += range.last - range.first + 1;
    }
    return -1;
}

inline constexpr int GLYPH_CELLS = GlyphCell(GLYPH_RANGES.back().last) + 1;
// Cells of 16 x 16 pixels.
inline constexpr BitmapResource GLYPH_STRIP_BITMAP{111, "glyphs.bmp", 16 * GLYPH_CELLS, 16, 24};
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
