// Text from the DejaVu fonts through FreeType: outlines for large lettering, hinted coverage
// bitmaps for small labels.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "raster.h"

struct FT_FaceRec_;

class Font {
public:
    explicit Font(const std::string& file);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // Outline of the text with its baseline starting at (x, y); size is the em in pixels.
    Path Outline(std::string_view text, float x, float y, float size) const;
    float Advance(std::string_view text, float size) const;

    struct Bitmap {
        int width = 0, height = 0;
        int left = 0;  // from the pen start to the first column
        int top = 0;   // from the baseline up to the first row
        std::vector<uint8_t> coverage;
    };
    // Hinted, antialiased rendering of a line at an integer pixel size.
    Bitmap Render(std::string_view text, int size) const;
    // Hinted rendering of one character with the font's own full hinting, at an em of width x
    // height pixels. Throws when the font has no glyph for the character.
    Bitmap RenderGlyph(char32_t c, int width, int height) const;

private:
    FT_FaceRec_* face_;
};

const Font& SansFont();
const Font& BoldFont();

enum class Align { Left, Centre, Right };

// Small hinted text with its baseline at y.
void DrawLabel(Canvas& canvas, const Font& font, std::string_view text, float x, float y, int size,
               const Paint& paint, Align align = Align::Left);
