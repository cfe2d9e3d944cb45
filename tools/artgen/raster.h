// A supersampled RGBA canvas with filled paths, paints and layers. Coordinates are output
// pixels with the origin at the top-left corner and y growing downwards.
#pragma once

#include <cstdint>
#include <functional>
#include <numbers>
#include <utility>
#include <vector>

constexpr float kPi = std::numbers::pi_v<float>;

struct Vec2 {
    float x = 0, y = 0;
};
inline Vec2 operator+(Vec2 a, Vec2 b) {
    return {a.x + b.x, a.y + b.y};
}
inline Vec2 operator-(Vec2 a, Vec2 b) {
    return {a.x - b.x, a.y - b.y};
}
inline Vec2 operator*(Vec2 a, float k) {
    return {a.x * k, a.y * k};
}
Vec2 Rotated(Vec2 v, float degrees);
float Length(Vec2 v);

// Straight (not premultiplied) colour, channels 0..1.
struct Color {
    float r = 0, g = 0, b = 0, a = 1;
};
Color Rgb(int r, int g, int b, float a = 1);
Color Mix(Color a, Color b, float t);
Color WithAlpha(Color c, float a);

using Paint = std::function<Color(float x, float y)>;
using Stops = std::vector<std::pair<float, Color>>;
Color Sample(const Stops& stops, float t);
Paint Solid(Color c);
Paint Linear(Vec2 from, Vec2 to, Stops stops);
Paint Radial(Vec2 centre, float radius, Stops stops);

// Contours of a filled shape under the non-zero winding rule. Shapes added with the helpers
// are wound the same way, so overlapping shapes of one path form their union; holes are wound
// the other way.
class Path {
public:
    Path& Contour(std::vector<Vec2> points);  // kept as given (font outlines)
    Path& Polygon(std::vector<Vec2> points, bool hole = false);
    Path& Rect(float x, float y, float w, float h, bool hole = false);
    Path& RoundRect(float x, float y, float w, float h, float radius, bool hole = false);
    Path& Ellipse(float cx, float cy, float rx, float ry, float degrees = 0, bool hole = false);
    Path& Circle(float cx, float cy, float r, bool hole = false);
    Path& Ring(float cx, float cy, float outer, float inner);
    // A band of the given width along the points, with round joins and ends.
    Path& Stroke(const std::vector<Vec2>& points, float width, bool closed = false);
    Path& Line(Vec2 a, Vec2 b, float width);
    Path& Arc(float cx, float cy, float r, float fromDeg, float toDeg, float width);
    Path& Append(const Path& other);

    const std::vector<std::vector<Vec2>>& Contours() const { return contours_; }

private:
    std::vector<std::vector<Vec2>> contours_;
};

std::vector<Vec2> EllipsePoints(float cx, float cy, float rx, float ry, float degrees = 0);

enum class Blend { Over, Add, Erase };

// Premultiplied RGBA at output resolution.
struct ImageF {
    int width = 0, height = 0;
    std::vector<Color> pixels;
    const Color& At(int x, int y) const { return pixels[y * width + x]; }
};

class Canvas {
public:
    Canvas(int width, int height, int supersample = 4);

    // An empty canvas of the same size and sampling, for layers.
    Canvas Layer() const { return Canvas(width_, height_, ss_); }
    int Width() const { return width_; }
    int Height() const { return height_; }

    void Fill(const Path& path, const Paint& paint, Blend blend = Blend::Over, float opacity = 1);
    void Fill(const Path& path, Color color, Blend blend = Blend::Over);
    void FillAll(const Paint& paint);
    // Greyscale coverage at output resolution (hinted text), placed with its top-left at (x, y).
    void FillCoverage(const std::vector<uint8_t>& coverage, int w, int h, int x, int y,
                      const Paint& paint);
    // Restricts drawing to the path until ClearClip.
    void Clip(const Path& path);
    void ClearClip();

    void Blur(float radius);  // in output pixels
    void Composite(const Canvas& layer, Blend blend = Blend::Over, float opacity = 1);
    // Multiplies the alpha (and premultiplied colour) of everything drawn so far by the paint's
    // alpha.
    void Fade(const Paint& alphaPaint);

    ImageF Resolve() const;

private:
    template <typename Visit>
    void Rasterise(const Path& path, Visit visit) const;

    int width_, height_, ss_, sw_, sh_;
    std::vector<Color> samples_;  // premultiplied
    std::vector<uint8_t> clip_;
};
