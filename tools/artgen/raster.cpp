#include "raster.h"

#include <algorithm>
#include <cmath>

namespace {

float SignedArea(const std::vector<Vec2>& p) {
    float area = 0;
    for (size_t i = 0; i < p.size(); ++i) {
        const Vec2& a = p[i];
        const Vec2& b = p[(i + 1) % p.size()];
        area += a.x * b.y - b.x * a.y;
    }
    return area / 2;
}

// Solid shapes get a positive area in the y-down frame, holes a negative one.
std::vector<Vec2> Oriented(std::vector<Vec2> points, bool hole) {
    if ((SignedArea(points) < 0) != hole) std::reverse(points.begin(), points.end());
    return points;
}

int Segments(float radius) {
    return std::clamp(static_cast<int>(radius * 2.5f), 16, 256);
}

Color Over(Color dst, Color src, float alpha) {
    const float a = src.a * alpha;
    return {src.r * a + dst.r * (1 - a), src.g * a + dst.g * (1 - a), src.b * a + dst.b * (1 - a),
            a + dst.a * (1 - a)};
}

void BlendInto(Color& dst, Color src, Blend blend, float alpha) {
    switch (blend) {
        case Blend::Over:
            dst = Over(dst, src, alpha);
            break;
        case Blend::Add: {
            const float a = src.a * alpha;
            dst.r = std::min(1.f, dst.r + src.r * a);
            dst.g = std::min(1.f, dst.g + src.g * a);
            dst.b = std::min(1.f, dst.b + src.b * a);
            dst.a = std::min(1.f, dst.a + a);
            break;
        }
        case Blend::Erase: {
            const float keep = 1 - src.a * alpha;
            dst = {dst.r * keep, dst.g * keep, dst.b * keep, dst.a * keep};
            break;
        }
    }
}

// Blends premultiplied src into dst.
void BlendPremultiplied(Color& dst, Color src, Blend blend, float alpha) {
    if (src.a <= 0 && blend != Blend::Add) return;
    Color straight = src;
    if (src.a > 0) straight = {src.r / src.a, src.g / src.a, src.b / src.a, src.a};
    BlendInto(dst, straight, blend, alpha);
}

// Running box blur of one channel line with clamped ends.
void BoxLine(float* data, int count, int stride, int radius, std::vector<float>& scratch) {
    scratch.resize(count);
    for (int i = 0; i < count; ++i) scratch[i] = data[i * stride];
    const float norm = 1.f / (2 * radius + 1);
    float sum = 0;
    for (int i = -radius; i <= radius; ++i) sum += scratch[std::clamp(i, 0, count - 1)];
    for (int i = 0; i < count; ++i) {
        data[i * stride] = sum * norm;
        sum += scratch[std::min(i + radius + 1, count - 1)];
        sum -= scratch[std::max(i - radius, 0)];
    }
}

}  // namespace

Vec2 Rotated(Vec2 v, float degrees) {
    const float a = degrees * kPi / 180;
    const float c = std::cos(a), s = std::sin(a);
    return {v.x * c - v.y * s, v.x * s + v.y * c};
}

float Length(Vec2 v) {
    return std::sqrt(v.x * v.x + v.y * v.y);
}

Color Rgb(int r, int g, int b, float a) {
    return {r / 255.f, g / 255.f, b / 255.f, a};
}

Color Mix(Color a, Color b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
            a.a + (b.a - a.a) * t};
}

Color WithAlpha(Color c, float a) {
    return {c.r, c.g, c.b, a};
}

Color Sample(const Stops& stops, float t) {
    if (t <= stops.front().first) return stops.front().second;
    for (size_t i = 1; i < stops.size(); ++i) {
        if (t <= stops[i].first) {
            const float span = stops[i].first - stops[i - 1].first;
            const float u = span > 0 ? (t - stops[i - 1].first) / span : 1;
            return Mix(stops[i - 1].second, stops[i].second, u);
        }
    }
    return stops.back().second;
}

Paint Solid(Color c) {
    return [c](float, float) { return c; };
}

Paint Linear(Vec2 from, Vec2 to, Stops stops) {
    const Vec2 d = to - from;
    const float len2 = std::max(1e-6f, d.x * d.x + d.y * d.y);
    return [=](float x, float y) {
        return Sample(stops, ((x - from.x) * d.x + (y - from.y) * d.y) / len2);
    };
}

Paint Radial(Vec2 centre, float radius, Stops stops) {
    return [=](float x, float y) { return Sample(stops, Length(Vec2{x, y} - centre) / radius); };
}

std::vector<Vec2> EllipsePoints(float cx, float cy, float rx, float ry, float degrees) {
    const int n = Segments(std::max(rx, ry));
    std::vector<Vec2> points;
    for (int i = 0; i < n; ++i) {
        const float a = 2 * kPi * i / n;
        points.push_back(Vec2{cx, cy} + Rotated({rx * std::cos(a), ry * std::sin(a)}, degrees));
    }
    return points;
}

Path& Path::Contour(std::vector<Vec2> points) {
    if (points.size() >= 3) contours_.push_back(std::move(points));
    return *this;
}

Path& Path::Polygon(std::vector<Vec2> points, bool hole) {
    if (points.size() >= 3) contours_.push_back(Oriented(std::move(points), hole));
    return *this;
}

Path& Path::Rect(float x, float y, float w, float h, bool hole) {
    return Polygon({{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}}, hole);
}

Path& Path::RoundRect(float x, float y, float w, float h, float radius, bool hole) {
    radius = std::min({radius, w / 2, h / 2});
    if (radius <= 0) return Rect(x, y, w, h, hole);
    std::vector<Vec2> points;
    const Vec2 centres[4] = {{x + w - radius, y + radius},
                             {x + w - radius, y + h - radius},
                             {x + radius, y + h - radius},
                             {x + radius, y + radius}};
    const int steps = std::max(4, Segments(radius) / 4);
    for (int corner = 0; corner < 4; ++corner) {
        for (int i = 0; i <= steps; ++i) {
            const float a = (-90 + 90 * corner + 90.f * i / steps) * kPi / 180;
            points.push_back(centres[corner] + Vec2{std::cos(a), std::sin(a)} * radius);
        }
    }
    return Polygon(std::move(points), hole);
}

Path& Path::Ellipse(float cx, float cy, float rx, float ry, float degrees, bool hole) {
    return Polygon(EllipsePoints(cx, cy, rx, ry, degrees), hole);
}

Path& Path::Circle(float cx, float cy, float r, bool hole) {
    return Ellipse(cx, cy, r, r, 0, hole);
}

Path& Path::Ring(float cx, float cy, float outer, float inner) {
    Circle(cx, cy, outer);
    return Circle(cx, cy, inner, true);
}

Path& Path::Stroke(const std::vector<Vec2>& points, float width, bool closed) {
    const float r = width / 2;
    const size_t n = points.size();
    const size_t segments = closed ? n : n - 1;
    for (size_t i = 0; i < segments && n > 1; ++i) {
        const Vec2 a = points[i], b = points[(i + 1) % n];
        const float len = Length(b - a);
        if (len <= 0) continue;
        const Vec2 side = Vec2{-(b.y - a.y), b.x - a.x} * (r / len);
        Polygon({a + side, b + side, b - side, a - side});
    }
    if (r * 4 < 1.5f) return *this;  // joints of hairlines are invisible
    for (const Vec2& p : points) Circle(p.x, p.y, r);
    return *this;
}

Path& Path::Line(Vec2 a, Vec2 b, float width) {
    return Stroke({a, b}, width);
}

Path& Path::Arc(float cx, float cy, float r, float fromDeg, float toDeg, float width) {
    std::vector<Vec2> points;
    const int steps = std::max(2, static_cast<int>(Segments(r) * std::abs(toDeg - fromDeg) / 360));
    for (int i = 0; i <= steps; ++i) {
        const float a = (fromDeg + (toDeg - fromDeg) * i / steps) * kPi / 180;
        points.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    return Stroke(points, width);
}

Path& Path::Append(const Path& other) {
    contours_.insert(contours_.end(), other.contours_.begin(), other.contours_.end());
    return *this;
}

Canvas::Canvas(int width, int height, int supersample)
    : width_(width),
      height_(height),
      ss_(supersample),
      sw_(width * supersample),
      sh_(height * supersample),
      samples_(static_cast<size_t>(sw_) * sh_, Color{0, 0, 0, 0}) {}

template <typename Visit>
void Canvas::Rasterise(const Path& path, Visit visit) const {
    struct Edge {
        float x0, y0, x1, y1;
        int dir;
    };
    std::vector<Edge> edges;
    float top = 1e30f, bottom = -1e30f;
    for (const auto& contour : path.Contours()) {
        for (size_t i = 0; i < contour.size(); ++i) {
            Vec2 a = contour[i] * static_cast<float>(ss_);
            Vec2 b = contour[(i + 1) % contour.size()] * static_cast<float>(ss_);
            if (a.y == b.y) continue;
            int dir = 1;
            if (a.y > b.y) {
                std::swap(a, b);
                dir = -1;
            }
            edges.push_back({a.x, a.y, b.x, b.y, dir});
            top = std::min(top, a.y);
            bottom = std::max(bottom, b.y);
        }
    }
    if (edges.empty()) return;
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.y0 < b.y0; });
    const int rowFrom = std::max(0, static_cast<int>(std::floor(top - 0.5f)));
    const int rowTo = std::min(sh_ - 1, static_cast<int>(std::ceil(bottom)));
    std::vector<std::pair<float, int>> crossings;
    for (int row = rowFrom; row <= rowTo; ++row) {
        const float y = row + 0.5f;
        crossings.clear();
        for (const Edge& e : edges) {
            if (e.y0 > y) break;
            if (y >= e.y1) continue;
            crossings.push_back({e.x0 + (y - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0), e.dir});
        }
        std::sort(crossings.begin(), crossings.end());
        int winding = 0;
        for (size_t i = 0; i + 1 < crossings.size(); ++i) {
            winding += crossings[i].second;
            if (winding == 0) continue;
            const int from = std::max(0, static_cast<int>(std::ceil(crossings[i].first - 0.5f)));
            const int to =
                std::min(sw_, static_cast<int>(std::ceil(crossings[i + 1].first - 0.5f)));
            for (int col = from; col < to; ++col) visit(col, row);
        }
    }
}

void Canvas::Fill(const Path& path, const Paint& paint, Blend blend, float opacity) {
    const float inv = 1.f / ss_;
    Rasterise(path, [&](int col, int row) {
        const size_t i = static_cast<size_t>(row) * sw_ + col;
        if (!clip_.empty() && !clip_[i]) return;
        BlendInto(samples_[i], paint((col + 0.5f) * inv, (row + 0.5f) * inv), blend, opacity);
    });
}

void Canvas::Fill(const Path& path, Color color, Blend blend) {
    Fill(path, Solid(color), blend);
}

void Canvas::FillAll(const Paint& paint) {
    Path all;
    all.Rect(0, 0, static_cast<float>(width_), static_cast<float>(height_));
    Fill(all, paint);
}

void Canvas::FillCoverage(const std::vector<uint8_t>& coverage, int w, int h, int x, int y,
                          const Paint& paint) {
    const float inv = 1.f / ss_;
    for (int py = 0; py < h; ++py) {
        for (int px = 0; px < w; ++px) {
            const uint8_t c = coverage[py * w + px];
            const int ox = x + px, oy = y + py;
            if (c == 0 || ox < 0 || oy < 0 || ox >= width_ || oy >= height_) continue;
            for (int sy = 0; sy < ss_; ++sy) {
                for (int sx = 0; sx < ss_; ++sx) {
                    const int col = ox * ss_ + sx, row = oy * ss_ + sy;
                    const size_t i = static_cast<size_t>(row) * sw_ + col;
                    if (!clip_.empty() && !clip_[i]) continue;
                    BlendInto(samples_[i], paint((col + 0.5f) * inv, (row + 0.5f) * inv),
                              Blend::Over, c / 255.f);
                }
            }
        }
    }
}

void Canvas::Clip(const Path& path) {
    clip_.assign(samples_.size(), 0);
    Rasterise(path, [&](int col, int row) { clip_[static_cast<size_t>(row) * sw_ + col] = 1; });
}

void Canvas::ClearClip() {
    clip_.clear();
}

void Canvas::Blur(float radius) {
    // Blurs are soft, so they run at output resolution: three box passes approximate a
    // Gaussian of this radius, and every sample takes its pixel's result.
    const ImageF image = Resolve();
    const int box = std::max(1, static_cast<int>(std::lround(radius / 1.7f)));
    std::vector<float> scratch;
    std::vector<float> channel(image.pixels.size());
    std::vector<Color> blurred(image.pixels.size());
    for (int c = 0; c < 4; ++c) {
        for (size_t i = 0; i < channel.size(); ++i) channel[i] = (&image.pixels[i].r)[c];
        for (int pass = 0; pass < 3; ++pass) {
            for (int row = 0; row < height_; ++row)
                BoxLine(&channel[static_cast<size_t>(row) * width_], width_, 1, box, scratch);
            for (int col = 0; col < width_; ++col)
                BoxLine(&channel[col], height_, width_, box, scratch);
        }
        for (size_t i = 0; i < channel.size(); ++i) (&blurred[i].r)[c] = channel[i];
    }
    for (int row = 0; row < sh_; ++row)
        for (int col = 0; col < sw_; ++col)
            samples_[static_cast<size_t>(row) * sw_ + col] =
                blurred[(row / ss_) * width_ + col / ss_];
}

void Canvas::Composite(const Canvas& layer, Blend blend, float opacity) {
    for (size_t i = 0; i < samples_.size(); ++i) {
        if (!clip_.empty() && !clip_[i]) continue;
        BlendPremultiplied(samples_[i], layer.samples_[i], blend, opacity);
    }
}

void Canvas::Fade(const Paint& alphaPaint) {
    const float inv = 1.f / ss_;
    for (int row = 0; row < sh_; ++row) {
        for (int col = 0; col < sw_; ++col) {
            Color& s = samples_[static_cast<size_t>(row) * sw_ + col];
            const float k = alphaPaint((col + 0.5f) * inv, (row + 0.5f) * inv).a;
            s = {s.r * k, s.g * k, s.b * k, s.a * k};
        }
    }
}

ImageF Canvas::Resolve() const {
    ImageF out{width_, height_, std::vector<Color>(static_cast<size_t>(width_) * height_)};
    const float norm = 1.f / (ss_ * ss_);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            Color sum{0, 0, 0, 0};
            for (int sy = 0; sy < ss_; ++sy) {
                for (int sx = 0; sx < ss_; ++sx) {
                    const Color& s =
                        samples_[static_cast<size_t>(y * ss_ + sy) * sw_ + x * ss_ + sx];
                    sum = {sum.r + s.r, sum.g + s.g, sum.b + s.b, sum.a + s.a};
                }
            }
            out.pixels[static_cast<size_t>(y) * width_ + x] = {sum.r * norm, sum.g * norm,
                                                               sum.b * norm, sum.a * norm};
        }
    }
    return out;
}
