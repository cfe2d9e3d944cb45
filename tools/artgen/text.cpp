#include "text.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace {

FT_Library Library() {
    static FT_Library library = [] {
        FT_Library lib = nullptr;
        if (FT_Init_FreeType(&lib) != 0) throw std::runtime_error("FreeType failed to start");
        return lib;
    }();
    return library;
}

struct OutlineSink {
    std::vector<std::vector<Vec2>> contours;
    Vec2 last;
    float scale;
    Vec2 origin;

    Vec2 Map(const FT_Vector* v) const {
        return {origin.x + v->x * scale, origin.y - v->y * scale};
    }
};

int MoveTo(const FT_Vector* to, void* user) {
    auto* sink = static_cast<OutlineSink*>(user);
    sink->last = sink->Map(to);
    sink->contours.push_back({sink->last});
    return 0;
}

int LineTo(const FT_Vector* to, void* user) {
    auto* sink = static_cast<OutlineSink*>(user);
    sink->last = sink->Map(to);
    sink->contours.back().push_back(sink->last);
    return 0;
}

int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    auto* sink = static_cast<OutlineSink*>(user);
    const Vec2 p0 = sink->last, p1 = sink->Map(control), p2 = sink->Map(to);
    for (int i = 1; i <= 8; ++i) {
        const float t = i / 8.f, u = 1 - t;
        sink->contours.back().push_back(p0 * (u * u) + p1 * (2 * u * t) + p2 * (t * t));
    }
    sink->last = p2;
    return 0;
}

int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    auto* sink = static_cast<OutlineSink*>(user);
    const Vec2 p0 = sink->last, p1 = sink->Map(c1), p2 = sink->Map(c2), p3 = sink->Map(to);
    for (int i = 1; i <= 10; ++i) {
        const float t = i / 10.f, u = 1 - t;
        sink->contours.back().push_back(p0 * (u * u * u) + p1 * (3 * u * u * t) +
                                        p2 * (3 * u * t * t) + p3 * (t * t * t));
    }
    sink->last = p3;
    return 0;
}

void Check(FT_Error error, const char* what) {
    if (error != 0) throw std::runtime_error(std::string("FreeType: ") + what);
}

}  // namespace

Font::Font(const std::string& file) : face_(nullptr) {
    FT_Face face = nullptr;
    if (FT_New_Face(Library(), file.c_str(), 0, &face) != 0)
        throw std::runtime_error("cannot open font " + file);
    face_ = face;
}

Font::~Font() {
    FT_Done_Face(face_);
}

Path Font::Outline(std::string_view text, float x, float y, float size) const {
    OutlineSink sink;
    sink.scale = size / face_->units_per_EM;
    sink.origin = {x, y};
    FT_Outline_Funcs funcs{MoveTo, LineTo, ConicTo, CubicTo, 0, 0};
    Path path;
    for (char c : text) {
        Check(FT_Load_Char(face_, static_cast<unsigned char>(c), FT_LOAD_NO_SCALE), "load");
        sink.contours.clear();
        Check(FT_Outline_Decompose(&face_->glyph->outline, &funcs, &sink), "outline");
        for (auto& contour : sink.contours) path.Contour(std::move(contour));
        sink.origin.x += face_->glyph->advance.x * sink.scale;
    }
    return path;
}

float Font::Advance(std::string_view text, float size) const {
    float width = 0;
    for (char c : text) {
        Check(FT_Load_Char(face_, static_cast<unsigned char>(c), FT_LOAD_NO_SCALE), "load");
        width += face_->glyph->advance.x * size / face_->units_per_EM;
    }
    return width;
}

Font::Bitmap Font::Render(std::string_view text, int size) const {
    Check(FT_Set_Pixel_Sizes(face_, 0, size), "size");
    struct Placed {
        int x, top, w, h;
        std::vector<uint8_t> pixels;
    };
    std::vector<Placed> glyphs;
    int pen = 0;
    for (char c : text) {
        Check(FT_Load_Char(face_, static_cast<unsigned char>(c),
                           FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT),
              "render");
        const FT_Bitmap& bm = face_->glyph->bitmap;
        Placed g{pen + face_->glyph->bitmap_left,
                 face_->glyph->bitmap_top,
                 static_cast<int>(bm.width),
                 static_cast<int>(bm.rows),
                 {}};
        for (unsigned r = 0; r < bm.rows; ++r)
            g.pixels.insert(g.pixels.end(), bm.buffer + r * bm.pitch,
                            bm.buffer + r * bm.pitch + bm.width);
        glyphs.push_back(std::move(g));
        pen += static_cast<int>((face_->glyph->advance.x + 32) >> 6);
    }
    Bitmap out;
    int minX = 1 << 20, maxX = -(1 << 20), maxTop = -(1 << 20), minBottom = 1 << 20;
    for (const Placed& g : glyphs) {
        if (g.w == 0 || g.h == 0) continue;
        minX = std::min(minX, g.x);
        maxX = std::max(maxX, g.x + g.w);
        maxTop = std::max(maxTop, g.top);
        minBottom = std::min(minBottom, g.top - g.h);
    }
    if (maxX <= minX) return out;
    out.width = maxX - minX;
    out.height = maxTop - minBottom;
    out.left = minX;
    out.top = maxTop;
    out.coverage.assign(static_cast<size_t>(out.width) * out.height, 0);
    for (const Placed& g : glyphs) {
        for (int r = 0; r < g.h; ++r) {
            for (int c = 0; c < g.w; ++c) {
                uint8_t& dst = out.coverage[(maxTop - g.top + r) * out.width + g.x - minX + c];
                dst = std::max(dst, g.pixels[r * g.w + c]);
            }
        }
    }
    return out;
}

Font::Bitmap Font::RenderGlyph(char32_t c, int width, int height) const {
    // Without this the font's "missing glyph" box would be drawn.
    if (FT_Get_Char_Index(face_, c) == 0) {
        char code[16];
        std::snprintf(code, sizeof(code), "U+%04X", static_cast<unsigned>(c));
        throw std::runtime_error(std::string("the font has no glyph for ") + code);
    }
    Check(FT_Set_Pixel_Sizes(face_, width, height), "size");
    Check(FT_Load_Char(face_, c, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL), "glyph");
    const FT_Bitmap& bm = face_->glyph->bitmap;
    Bitmap out{static_cast<int>(bm.width),
               static_cast<int>(bm.rows),
               face_->glyph->bitmap_left,
               face_->glyph->bitmap_top,
               {}};
    for (unsigned r = 0; r < bm.rows; ++r)
        out.coverage.insert(out.coverage.end(), bm.buffer + r * bm.pitch,
                            bm.buffer + r * bm.pitch + bm.width);
    return out;
}

const Font& SansFont() {
    static const Font font(QUORVEL_FONT_DIR "/DejaVuSans.ttf");
    return font;
}

const Font& BoldFont() {
    static const Font font(QUORVEL_FONT_DIR "/DejaVuSans-Bold.ttf");
    return font;
}

void DrawLabel(Canvas& canvas, const Font& font, std::string_view text, float x, float y, int size,
               const Paint& paint, Align align) {
    const Font::Bitmap bm = font.Render(text, size);
    if (bm.width == 0) return;
    int left = static_cast<int>(std::lround(x));
    if (align == Align::Centre) left -= bm.width / 2 + bm.left;
    if (align == Align::Right) left -= bm.width + bm.left;
    canvas.FillCoverage(bm.coverage, bm.width, bm.height, left + bm.left,
                        static_cast<int>(std::lround(y)) - bm.top, paint);
}
