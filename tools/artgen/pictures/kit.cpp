#include "kit.h"

#include <algorithm>
#include <cmath>

Path Disc(Vec2 at, float r) {
    Path p;
    p.Circle(at.x, at.y, r);
    return p;
}

Color Holo(float v, float alpha) {
    return WithAlpha(Sample({{0, Rgb(6, 14, 42)},
                             {0.3f, Rgb(22, 62, 172)},
                             {0.6f, Rgb(70, 152, 242)},
                             {0.85f, Rgb(172, 222, 255)},
                             {1, Rgb(246, 252, 255)}},
                            std::clamp(v, 0.f, 1.f)),
                     alpha);
}

Color HoloViolet(float v, float alpha) {
    return WithAlpha(Sample({{0, Rgb(18, 10, 48)},
                             {0.3f, Rgb(66, 44, 180)},
                             {0.6f, Rgb(130, 110, 245)},
                             {0.85f, Rgb(206, 196, 255)},
                             {1, Rgb(250, 248, 255)}},
                            std::clamp(v, 0.f, 1.f)),
                     alpha);
}

Color HoloTeal(float v, float alpha) {
    return WithAlpha(Sample({{0, Rgb(4, 26, 36)},
                             {0.3f, Rgb(12, 96, 130)},
                             {0.6f, Rgb(50, 190, 220)},
                             {0.85f, Rgb(166, 240, 250)},
                             {1, Rgb(244, 255, 255)}},
                            std::clamp(v, 0.f, 1.f)),
                     alpha);
}

void Glow(Canvas& c, const Path& path, Color colour, float radius, float strength) {
    Canvas layer = c.Layer();
    layer.Fill(path, colour);
    layer.Blur(radius);
    c.Composite(layer, Blend::Add, strength);
}

void Bloom(Canvas& c, float radius, float strength) {
    Canvas layer = c;
    layer.Blur(radius);
    c.Composite(layer, Blend::Add, strength);
}

void FadeOutsideEllipse(Canvas& c, Vec2 centre, float rx, float ry, float softness) {
    c.Fade([=](float x, float y) {
        const float dx = (x - centre.x) / rx, dy = (y - centre.y) / ry;
        const float d = std::sqrt(dx * dx + dy * dy);
        return Color{0, 0, 0, 1 - Smoothstep(1 - softness, 1, d)};
    });
}

void FadeOutsideBox(Canvas& c, float x0, float y0, float x1, float y1, float softness) {
    c.Fade([=](float x, float y) {
        const float d = std::min({x - x0, x1 - x, y - y0, y1 - y});
        return Color{0, 0, 0, Smoothstep(0, softness, d)};
    });
}

void Stars(Canvas& c, Rng& rng, int count, float x0, float y0, float x1, float y1,
           float maxRadius) {
    Path small, big;
    for (int i = 0; i < count; ++i) {
        const float x = rng.Range(x0, x1), y = rng.Range(y0, y1);
        const float r = rng.Range(0.35f, maxRadius);
        (r > maxRadius * 0.75f ? big : small).Circle(x, y, r);
    }
    c.Fill(small, Holo(0.75f, 0.85f));
    c.Fill(big, Holo(0.97f));
    Glow(c, big, Holo(0.7f), 1.5f, 0.8f);
}

void Sparkle(Canvas& c, Vec2 at, float size, Color colour) {
    Path rays;
    rays.Polygon({{at.x - size, at.y},
                  {at.x, at.y - size * 0.12f},
                  {at.x + size, at.y},
                  {at.x, at.y + size * 0.12f}});
    rays.Polygon({{at.x, at.y - size},
                  {at.x + size * 0.12f, at.y},
                  {at.x, at.y + size},
                  {at.x - size * 0.12f, at.y}});
    Path core;
    core.Circle(at.x, at.y, size * 0.22f);
    Glow(c, core, colour, size * 0.5f, 1.2f);
    c.Fill(rays, colour);
    c.Fill(core, Holo(1));
}

void Planet(Canvas& c, const PlanetLook& p) {
    const float r = p.radius;
    const float lightLen = Length(p.light);
    const Vec2 l = p.light * (1 / std::max(0.001f, lightLen));
    Path disc;
    disc.Circle(p.centre.x, p.centre.y, r);
    if (p.atmosphere > 0) {
        Path halo;
        halo.Circle(p.centre.x, p.centre.y, r * 1.02f);
        Glow(c, halo, p.ramp(0.6f, 1), r * 0.08f + 1.5f, p.atmosphere);
    }
    c.Fill(disc, [&](float x, float y) {
        const float nx = (x - p.centre.x) / r, ny = (y - p.centre.y) / r;
        const float nz = std::sqrt(std::max(0.f, 1 - nx * nx - ny * ny));
        const float lambert = std::clamp(nx * l.x * 0.8f + ny * l.y * 0.8f + nz * 0.45f, 0.f, 1.f);
        // Surface coordinates that curve with the sphere.
        const float u = std::asin(std::clamp(nx, -1.f, 1.f)) * 2.2f,
                    v = std::asin(std::clamp(ny, -1.f, 1.f)) * 2.2f;
        float tone = 0.5f;
        switch (p.surface) {
            case Surface::Gas:
                tone = 0.45f + 0.35f * std::sin(v * 5 + Fbm(u * 1.5f, v * 6, p.seed, 4) * 4) +
                       0.15f * (Fbm(u * 3, v * 12, p.seed + 7, 3) - 0.5f);
                break;
            case Surface::Rocky: {
                const float land = Fbm(u * 1.6f + 3, v * 1.6f, p.seed, 5);
                tone = land > 0.52f ? 0.55f + (land - 0.52f) * 2.5f : 0.25f + land * 0.2f;
                break;
            }
            case Surface::Cratered:
                tone = 0.45f + 0.4f * (Fbm(u * 3, v * 3, p.seed, 5) - 0.5f);
                break;
            case Surface::Ice:
                tone = 0.7f + 0.25f * (Ridged(u * 2.5f, v * 2.5f, p.seed, 4) - 0.5f);
                break;
            case Surface::Lava:
                tone = 0.3f + 0.9f * std::pow(Ridged(u * 2, v * 2, p.seed, 4), 3.f);
                break;
            case Surface::Ocean: {
                const float land = Fbm(u * 1.3f + 9, v * 1.3f, p.seed, 5);
                const float cloud = Fbm(u * 3 + 1, v * 5, p.seed + 3, 4);
                tone = land > 0.56f ? 0.6f : 0.3f;
                tone = std::max(tone, Smoothstep(0.55f, 0.75f, cloud));
                break;
            }
        }
        const float rim = std::pow(1 - nz, 3.f) * p.atmosphere;
        const float v01 = std::clamp(0.12f + lambert * tone * 1.05f + rim * 0.6f, 0.05f, 1.f);
        return p.ramp(v01, 1);
    });
    if (p.surface == Surface::Cratered) {
        Rng rng(p.seed);
        c.Clip(disc);
        for (int i = 0; i < 26; ++i) {
            const float a = rng.Range(0, 2 * kPi), d = std::sqrt(rng.Uniform()) * r * 0.9f;
            const float cr = rng.Range(0.04f, 0.14f) * r;
            const Vec2 at{p.centre.x + d * std::cos(a), p.centre.y + d * std::sin(a)};
            const float squash = std::sqrt(std::max(0.15f, 1 - (d / r) * (d / r)));
            const float angle = a * 180 / kPi;
            Path rimPath, floor;
            rimPath.Ellipse(at.x, at.y, cr * squash, cr, angle);
            floor.Ellipse(at.x + l.x * cr * 0.15f, at.y + l.y * cr * 0.15f, cr * squash * 0.78f,
                          cr * 0.78f, angle);
            c.Fill(rimPath, p.ramp(0.75f, 0.55f));
            c.Fill(floor, p.ramp(0.22f, 0.6f));
        }
        c.ClearClip();
    }
}

void PlanetRings(Canvas& c, Vec2 centre, float outer, float inner, float flatten, float tilt,
                 bool front, Color (*ramp)(float, float)) {
    std::vector<Vec2> pts;
    const int steps = 64;
    const float from = front ? 0 : kPi, to = front ? kPi : 2 * kPi;
    for (int i = 0; i <= steps; ++i) {
        const float a = from + (to - from) * i / steps;
        pts.push_back(centre + Rotated({outer * std::cos(a), outer * flatten * std::sin(a)}, tilt));
    }
    for (int i = steps; i >= 0; --i) {
        const float a = from + (to - from) * i / steps;
        pts.push_back(centre + Rotated({inner * std::cos(a), inner * flatten * std::sin(a)}, tilt));
    }
    Path ring;
    ring.Polygon(pts);
    c.Fill(ring, [=](float x, float y) {
        const Vec2 d = Rotated(Vec2{x, y} - centre, -tilt);
        const float e = std::sqrt(d.x * d.x + (d.y / flatten) * (d.y / flatten));
        const float t = (e - inner) / (outer - inner);
        const float bands = 0.55f + 0.3f * std::sin(t * 40) * std::sin(t * 13 + 1) -
                            (std::abs(t - 0.62f) < 0.04f ? 0.4f : 0);
        return ramp(std::clamp(bands, 0.1f, 0.95f), front ? 0.9f : 0.7f);
    });
}

Path HullPath(const std::vector<Station>& stations) {
    std::vector<Vec2> pts;
    for (const Station& s : stations) pts.push_back({s.x, s.top});
    for (auto it = stations.rbegin(); it != stations.rend(); ++it)
        pts.push_back({it->x, it->bottom});
    Path p;
    p.Polygon(pts);
    return p;
}

void ShadeHull(Canvas& c, const Path& hull, float top, float bottom, float light) {
    c.Fill(hull, [=](float x, float y) {
        const float t = (y - top) / std::max(1.f, bottom - top);
        const float grain = 0.06f * (Noise(x * 0.25f, y * 0.9f, 17) - 0.5f);
        return Holo(light * (0.9f - 0.62f * t + 0.18f * std::exp(-40 * (t - 0.18f) * (t - 0.18f))) +
                    grain);
    });
}

void PanelLines(Canvas& c, const Path& clip, const std::vector<float>& xs, float top,
                float bottom) {
    c.Clip(clip);
    Path lines;
    for (float x : xs) lines.Line({x, top}, {x, bottom}, 0.7f);
    lines.Line({0, top + (bottom - top) * 0.55f},
               {static_cast<float>(c.Width()), top + (bottom - top) * 0.55f}, 0.6f);
    c.Fill(lines, Holo(0.15f, 0.8f));
    c.ClearClip();
}

void Windows(Canvas& c, float x0, float x1, float y, float pitch, float size) {
    Path dots;
    for (float x = x0; x <= x1; x += pitch) dots.Rect(x, y, size, size * 0.8f);
    c.Fill(dots, Holo(0.98f));
}

void EngineGlow(Canvas& c, Vec2 at, float rx, float ry) {
    Path core;
    core.Ellipse(at.x, at.y, rx, ry);
    Glow(c, core, Holo(0.8f), ry * 1.2f + 1, 1.4f);
    c.Fill(core, Radial(at, std::max(rx, ry), {{0, Holo(1)}, {1, Holo(0.75f)}}));
}

Path Mirrored(const std::vector<Vec2>& rightHalf, float centreX) {
    std::vector<Vec2> pts = rightHalf;
    for (auto it = rightHalf.rbegin(); it != rightHalf.rend(); ++it)
        pts.push_back({2 * centreX - it->x, it->y});
    Path p;
    p.Polygon(pts);
    return p;
}

Path Ridge(float x0, float x1, float baseY, float height, float roughness, uint32_t seed) {
    std::vector<Vec2> pts{{x0, baseY}};
    const int steps = 96;
    for (int i = 0; i <= steps; ++i) {
        const float t = static_cast<float>(i) / steps;
        const float x = x0 + (x1 - x0) * t;
        const float h = Ridged(t * roughness, 0.5f, seed, 5);
        pts.push_back({x, baseY - height * h});
    }
    pts.push_back({x1, baseY});
    Path p;
    p.Polygon(pts);
    return p;
}

void FillRidge(Canvas& c, const Path& ridge, float top, float bottom, float bright) {
    c.Fill(ridge, [=](float x, float y) {
        const float t = (y - top) / std::max(1.f, bottom - top);
        return Holo(bright * (1 - 0.7f * t) + 0.08f * (Fbm(x * 0.2f, y * 0.2f, 5) - 0.5f));
    });
}

void Lines(Canvas& c, const Path& p, Color colour, float glow) {
    if (glow > 0) Glow(c, p, colour, glow, 0.9f);
    c.Fill(p, colour);
}

Path HalfBand(Vec2 centre, Vec2 outer, Vec2 inner, float tilt, bool front) {
    std::vector<Vec2> pts;
    const float from = front ? 0 : kPi, to = front ? kPi : 2 * kPi;
    for (int i = 0; i <= 48; ++i) {
        const float a = from + (to - from) * i / 48;
        pts.push_back(centre + Rotated({outer.x * std::cos(a), outer.y * std::sin(a)}, tilt));
    }
    for (int i = 48; i >= 0; --i) {
        const float a = from + (to - from) * i / 48;
        pts.push_back(centre + Rotated({inner.x * std::cos(a), inner.y * std::sin(a)}, tilt));
    }
    Path p;
    p.Polygon(pts);
    return p;
}
