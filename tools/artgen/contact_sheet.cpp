// A sheet of all built-in pictures as written, each with its id, flags, zoom start region and
// caption, for looking the set over.
#include <algorithm>

#include "art.h"
#include "catalogue.h"
#include "text.h"

namespace {

constexpr int kColumns = 10, kCellW = 276, kCellH = 316, kMargin = 10;

class Sheet {
public:
    Sheet(int w, int h)
        : image_{w, h, std::vector<Rgb8>(static_cast<size_t>(w) * h, Rgb8{34, 36, 42})} {}

    void Blend(int x, int y, Rgb8 c, float a) {
        if (x < 0 || y < 0 || x >= image_.width || y >= image_.height) return;
        Rgb8& p = image_.pixels[static_cast<size_t>(y) * image_.width + x];
        auto mix = [a](uint8_t d, uint8_t s) {
            return static_cast<uint8_t>(d + (s - d) * a + 0.5f);
        };
        p = {mix(p.r, c.r), mix(p.g, c.g), mix(p.b, c.b)};
    }
    void Box(int x0, int y0, int x1, int y1, Rgb8 c) {
        for (int x = x0; x <= x1; ++x) {
            Blend(x, y0, c, 1);
            Blend(x, y1, c, 1);
        }
        for (int y = y0; y <= y1; ++y) {
            Blend(x0, y, c, 1);
            Blend(x1, y, c, 1);
        }
    }
    void Text(const Font& font, const std::string& text, int x, int baseline, int size, Rgb8 c) {
        const Font::Bitmap bm = font.Render(text, size);
        for (int y = 0; y < bm.height; ++y)
            for (int i = 0; i < bm.width; ++i)
                Blend(x + bm.left + i, baseline - bm.top + y, c,
                      bm.coverage[y * bm.width + i] / 255.f);
    }
    void Picture(const RgbImage& picture, int x, int y) {
        for (int py = 0; py < picture.height; ++py)
            for (int px = 0; px < picture.width; ++px)
                Blend(x + px, y + py, picture.pixels[py * picture.width + px], 1);
    }
    RgbImage Take() { return std::move(image_); }

private:
    RgbImage image_;
};

std::string FlagText(unsigned flags) {
    if (flags & kFloor) return "FLOOR";
    return flags & kZoom ? "FRONT + ZOOM" : "FRONT";
}

}  // namespace

RgbImage DrawContactSheet(const std::filesystem::path& dir) {
    const auto& pictures = Pictures();
    const int rows = static_cast<int>((pictures.size() + kColumns - 1) / kColumns);
    Sheet sheet(kColumns * kCellW + 2 * kMargin, rows * kCellH + 2 * kMargin);
    const Rgb8 frame{90, 94, 104}, zoomColour{255, 210, 60}, white{236, 240, 248},
        dim{150, 156, 170};
    for (size_t i = 0; i < pictures.size(); ++i) {
        const PictureArt& art = pictures[i];
        const int x = kMargin + static_cast<int>(i % kColumns) * kCellW + 10;
        const int y = kMargin + static_cast<int>(i / kColumns) * kCellH + 6;
        const BmpFile bmp = ReadBmp(dir / ("picture" + std::to_string(art.id) + ".bmp"));
        const int px = x + (256 - bmp.width) / 2, py = y + (256 - bmp.height) / 2;
        sheet.Picture(bmp.image, px, py);
        sheet.Box(px - 1, py - 1, px + bmp.width, py + bmp.height, frame);
        if (art.flags & kZoom) {
            const int x0 = px + static_cast<int>(art.zoom.left * bmp.width),
                      x1 = px + static_cast<int>(art.zoom.right * bmp.width);
            const int y0 = py + static_cast<int>(art.zoom.top * bmp.height),
                      y1 = py + static_cast<int>(art.zoom.bottom * bmp.height);
            sheet.Box(std::min(x0, (x0 + x1) / 2 - 4), std::min(y0, (y0 + y1) / 2 - 4),
                      std::max(x1, (x0 + x1) / 2 + 4), std::max(y1, (y0 + y1) / 2 + 4), zoomColour);
        }
        sheet.Text(BoldFont(),
                   std::to_string(art.id) + "  " + FlagText(art.flags) + "  " +
                       std::to_string(bmp.width) + "x" + std::to_string(bmp.height),
                   x, y + 276, 13, white);
        const std::string caption = CaptionOf(art.id);
        sheet.Text(SansFont(), caption.empty() ? "(no caption)" : caption, x, y + 296, 14,
                   caption.empty() ? dim : white);
    }
    return sheet.Take();
}
