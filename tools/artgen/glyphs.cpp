// The font strip: a 16 x 16 cell for each character of GLYPH_RANGES, white on black, in DejaVu
// Sans Bold with its own hinting. Every glyph shares one baseline and is centred across its cell.
#include <algorithm>
#include <stdexcept>

#include "art.h"
#include "text.h"

namespace {

constexpr int kCell = GLYPH_STRIP_BITMAP.height;

struct Extent {
    int top = -100, bottom = 100;
};

Extent Measure(const Font& font, int size) {
    Extent e;
    for (int code = 33; code < 127; ++code) {
        const Font::Bitmap g = font.RenderGlyph(code, size, size);
        e.top = std::max(e.top, g.top);
        e.bottom = std::min(e.bottom, g.top - g.height);
    }
    return e;
}

// The character at the largest size that fits the cell on the baseline (`above` rows over it,
// the rest under it). A glyph too wide (W, M) is drawn a size smaller; one too tall (capitals
// with accents) keeps its width and is drawn lower.
Font::Bitmap FittedGlyph(const Font& font, char32_t code, int size, int above) {
    int width = size, height = size;
    Font::Bitmap g = font.RenderGlyph(code, width, height);
    while (g.width > kCell || g.top > above || g.height - g.top > kCell - above) {
        if (g.width > kCell) {
            --width;
            height = std::min(height, width);
        } else {
            --height;
        }
        if (height < size / 2) throw std::runtime_error("a glyph does not fit its cell");
        g = font.RenderGlyph(code, width, height);
    }
    return g;
}

}  // namespace

RgbImage DrawGlyphStrip() {
    const Font& font = BoldFont();
    // The largest size at which every glyph of codes 33 to 126 fits the cell's height; all
    // characters share the baseline that centres those in the cell.
    int size = kCell;
    Extent extent = Measure(font, size);
    while (extent.top - extent.bottom > kCell) {
        if (--size < 8) throw std::runtime_error("no font size fits the glyph cells");
        extent = Measure(font, size);
    }
    const int baseline = (kCell - (extent.top - extent.bottom)) / 2 + extent.top;

    RgbImage strip{GLYPH_STRIP_BITMAP.width, kCell,
                   std::vector<Rgb8>(GLYPH_STRIP_BITMAP.width * kCell)};
    int cell = 0;
    for (const GlyphRange& range : GLYPH_RANGES) {
        for (char32_t code = range.first; code <= range.last; ++code, ++cell) {
            auto put = [&](int x, int y, uint8_t v) {
                strip.pixels[y * strip.width + cell * kCell + x] = {v, v, v};
            };
            if (code == ' ') continue;
            if (code == 127) {  // no character of its own: a filled block
                for (int y = 4; y < 13; ++y)
                    for (int x = 4; x < 12; ++x) put(x, y, 255);
                continue;
            }
            const Font::Bitmap g = FittedGlyph(font, code, size, baseline);
            const int x0 = (kCell - g.width) / 2, y0 = baseline - g.top;
            for (int y = 0; y < g.height; ++y)
                for (int x = 0; x < g.width; ++x) put(x0 + x, y0 + y, g.coverage[y * g.width + x]);
        }
    }
    return strip;
}
