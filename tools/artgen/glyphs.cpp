// The font strip: 96 cells of 16 x 16 for codes 32 to 127, white on black, in DejaVu Sans Bold
// with its own hinting. Every glyph shares one baseline and is centred across its cell.
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
        const Font::Bitmap g = font.RenderGlyph(static_cast<char>(code), size);
        e.top = std::max(e.top, g.top);
        e.bottom = std::min(e.bottom, g.top - g.height);
    }
    return e;
}

}  // namespace

RgbImage DrawGlyphStrip() {
    const Font& font = BoldFont();
    // The largest size at which every glyph fits the cell's height; the few glyphs too wide
    // for the cell at that size (W, M) are drawn a size smaller on the same baseline.
    int size = kCell;
    Extent extent = Measure(font, size);
    while (extent.top - extent.bottom > kCell) {
        if (--size < 8) throw std::runtime_error("no font size fits the glyph cells");
        extent = Measure(font, size);
    }
    const int baseline = (kCell - (extent.top - extent.bottom)) / 2 + extent.top;

    RgbImage strip{GLYPH_STRIP_BITMAP.width, kCell,
                   std::vector<Rgb8>(GLYPH_STRIP_BITMAP.width * kCell)};
    for (int code = 33; code < 128; ++code) {
        auto put = [&](int x, int y, uint8_t v) {
            if (x >= 0 && x < kCell && y >= 0 && y < kCell)
                strip.pixels[y * strip.width + (code - 32) * kCell + x] = {v, v, v};
        };
        if (code == 127) {  // no character of its own: a filled block
            for (int y = 4; y < 13; ++y)
                for (int x = 4; x < 12; ++x) put(x, y, 255);
            continue;
        }
        Font::Bitmap g = font.RenderGlyph(static_cast<char>(code), size);
        for (int smaller = size - 1; g.width > kCell && smaller > 0; --smaller)
            g = font.RenderGlyph(static_cast<char>(code), smaller);
        const int x0 = (kCell - g.width) / 2, y0 = baseline - g.top;
        for (int y = 0; y < g.height; ++y)
            for (int x = 0; x < g.width; ++x) put(x0 + x, y0 + y, g.coverage[y * g.width + x]);
    }
    return strip;
}
