// The robot seen from the front, for the icon and the dialog: chrome dome, white body with
// blue panels, two side legs and the centre foot.
#include <algorithm>
#include <cmath>

#include "art.h"
#include "noise.h"

using namespace robot;

namespace {

struct Mapper {
    const RobotView& v;
    Vec2 operator()(float x, float y) const {
        return {v.centreX + x * v.scale, v.originY - y * v.scale};
    }
};

// Light from the upper left: brightness of a surface whose normal has the given x component.
float Shade(float nx, float ny = 0) {
    const float lx = -0.45f, ly = 0.5f, lz = 0.74f;
    const float nz = std::sqrt(std::max(0.f, 1 - nx * nx - ny * ny));
    return 0.55f + 0.45f * std::max(0.f, nx * lx + ny * ly + nz * lz);
}

Color Lit(Color c, float k) {
    return {c.r * k, c.g * k, c.b * k, c.a};
}

// Reflection of the sky and floor in a surface with this normal, seen from the front.
Color Chrome(float nx, float ny) {
    const float nz = std::sqrt(std::max(0.f, 1 - nx * nx - ny * ny));
    const float ry = 2 * ny * nz;
    if (ry > -0.05f)
        return Sample({{0, Rgb(250, 252, 255)},
                       {0.25f, Rgb(196, 212, 232)},
                       {0.7f, Rgb(120, 142, 180)},
                       {1, Rgb(84, 100, 134)}},
                      (ry + 0.05f) / 1.05f);
    return Sample({{0, Rgb(44, 44, 50)}, {0.2f, Rgb(96, 94, 92)}, {1, Rgb(166, 162, 156)}},
                  (-0.05f - ry) / 0.95f);
}

// A panel on the body cylinder between two angles from the front (degrees) and two heights.
Path CylinderPanel(const Mapper& at, float a0, float a1, float y0, float y1) {
    std::vector<Vec2> pts;
    for (int i = 0; i <= 12; ++i)
        pts.push_back(at(std::sin((a0 + (a1 - a0) * i / 12) * kPi / 180), y0));
    for (int i = 12; i >= 0; --i)
        pts.push_back(at(std::sin((a0 + (a1 - a0) * i / 12) * kPi / 180), y1));
    Path p;
    p.Polygon(pts);
    return p;
}

// A panel on the dome between two longitudes and two angles down from the pole (degrees).
Path DomePanel(const Mapper& at, float a0, float a1, float p0, float p1) {
    std::vector<Vec2> pts;
    auto point = [&](float a, float p) {
        const float ar = a * kPi / 180, pr = p * kPi / 180;
        return at(std::sin(pr) * std::sin(ar), 0.4f + std::cos(pr));
    };
    for (int i = 0; i <= 10; ++i) pts.push_back(point(a0 + (a1 - a0) * i / 10, p0));
    for (int i = 10; i >= 0; --i) pts.push_back(point(a0 + (a1 - a0) * i / 10, p1));
    Path p;
    p.Polygon(pts);
    return p;
}

Paint CylinderLit(const RobotView& v, Color base) {
    return [=](float x, float) {
        const float nx = std::clamp((x - v.centreX) / v.scale, -1.f, 1.f);
        return Lit(base, Shade(nx));
    };
}

void Foot(Canvas& c, const Mapper& at, float inner, float outer, float openInner, float openOuter,
          float plateInner, const RobotView& v) {
    const float s = v.scale;
    Path shoe;
    shoe.Polygon(
        {at(openOuter, -1.7f), at(openInner, -1.7f), at(inner, -2.15f), at(outer, -2.15f)});
    c.Fill(shoe,
           Linear(at(0, -1.7f), at(0, -2.15f), {{0, Rgb(214, 214, 214)}, {1, Rgb(150, 150, 150)}}));
    Path plate;
    const Vec2 p0 = at(std::min(outer, plateInner), -2.15f),
               p1 = at(std::max(outer, plateInner), -2.25f);
    plate.RoundRect(p0.x, p0.y, p1.x - p0.x, p1.y - p0.y, 0.03f * s);
    c.Fill(plate, Linear({0, p0.y}, {0, p1.y}, {{0, Rgb(140, 140, 140)}, {1, Rgb(70, 70, 70)}}));
    if (v.detailed) {
        Path groove;
        const Vec2 g0 = at(std::min(inner, outer) + 0.04f, -1.93f);
        groove.Rect(g0.x, g0.y, std::abs(outer - inner) * s - 0.08f * s, 0.04f * s);
        c.Fill(groove, Rgb(120, 120, 120));
    }
}

void SideLeg(Canvas& c, const Mapper& at, float side, const RobotView& v) {
    const float s = v.scale;
    auto x = [&](float modelX) { return side * modelX; };
    Foot(c, at, x(1.0f), x(1.4f), x(1.0f), x(1.275f), x(0.9f), v);
    Path strut;
    strut.Polygon(
        {at(x(1.0f), -0.4f), at(x(1.3f), -0.4f), at(x(1.3f), -1.75f), at(x(1.0f), -1.75f)});
    c.Fill(strut, Linear(at(x(1.3f), 0), at(x(1.0f), 0),
                         {{0, Lit(kWhite, side < 0 ? 0.95f : 0.72f)},
                          {1, Lit(kWhite, side < 0 ? 0.8f : 0.9f)}}));
    Path stripe;
    const Vec2 s0 = at(x(1.1f), -0.55f), s1 = at(x(1.2f), -1.6f);
    stripe.RoundRect(std::min(s0.x, s1.x), s0.y, std::abs(s1.x - s0.x), s1.y - s0.y, 0.04f * s);
    c.Fill(stripe, Linear({0, s0.y}, {0, s1.y}, {{0, kBlueLight}, {0.1f, kBlue}, {1, kBlueDark}}));
    Path transition;
    transition.Polygon(
        {at(x(0.9f), -0.3f), at(x(1.325f), -0.3f), at(x(1.3f), -0.4f), at(x(1.0f), -0.4f)});
    c.Fill(transition, Lit(kGrey, 0.9f));
    Path shoulder;
    const Vec2 t0 = at(x(0.9f), 0.35f), t1 = at(x(1.325f), -0.3f);
    shoulder.RoundRect(std::min(t0.x, t1.x), t0.y, std::abs(t1.x - t0.x), t1.y - t0.y, 0.12f * s);
    c.Fill(shoulder, Linear({0, t0.y}, {0, t1.y},
                            {{0, kWhite}, {0.55f, Lit(kWhite, 0.88f)}, {1, Lit(kWhite, 0.7f)}}));
    if (v.detailed) {
        Path joint;
        const Vec2 j = at(x(1.11f), 0.03f);
        joint.Ring(j.x, j.y, 0.15f * s, 0.09f * s);
        c.Fill(joint, kBlue);
        Path hub;
        hub.Circle(j.x, j.y, 0.06f * s);
        c.Fill(hub, kGrey);
    }
}

}  // namespace

void DrawRobotFigure(Canvas& c, const RobotView& v) {
    const Mapper at{v};
    const float s = v.scale;

    // Centre foot, behind the body's tapered bottom.
    Foot(c, at, 0.3f, -0.3f, 0.175f, -0.175f, 0.3f, v);
    Path post;
    const Vec2 p0 = at(-0.175f, -1.6f), p1 = at(0.175f, -1.72f);
    post.Rect(p0.x, p0.y, p1.x - p0.x, p1.y - p0.y);
    c.Fill(post, Lit(kGreyLight, 0.8f));

    // Body.
    Path body;
    body.Polygon({at(-1, 0.4f), at(1, 0.4f), at(1, -1.6f), at(0.75f, -1.8f), at(-0.75f, -1.8f),
                  at(-1, -1.6f)});
    c.Fill(body, CylinderLit(v, kWhite));
    Path taper;
    taper.Polygon({at(1, -1.6f), at(0.75f, -1.8f), at(-0.75f, -1.8f), at(-1, -1.6f)});
    c.Fill(taper, CylinderLit(v, kGrey));
    Path rim;
    const Vec2 r0 = at(-1, 0.4f), r1 = at(1, 0.33f);
    rim.Rect(r0.x, r0.y, r1.x - r0.x, r1.y - r0.y);
    c.Fill(rim, CylinderLit(v, kGreyLight));
    // Porthole band, front emblem, lower band and honeycomb, as on the body texture.
    c.Fill(CylinderPanel(at, -89, 89, 0.3f, 0.12f), CylinderLit(v, kBlue));
    c.Fill(CylinderPanel(at, -89, 89, -0.8f, -0.9f), CylinderLit(v, kBlue));
    const float portStep = v.detailed ? 15 : 30;
    for (float a = -75; a <= 75; a += portStep) {
        const Vec2 p = at(std::sin(a * kPi / 180), 0.21f);
        Path port;
        port.Ellipse(p.x, p.y, 0.055f * s * std::cos(a * kPi / 180) + 0.3f, 0.055f * s);
        c.Fill(port, CylinderLit(v, kWhite));
    }
    const Vec2 emblem = at(0, -0.3f);
    Path ring;
    ring.Ring(emblem.x, emblem.y, 0.36f * s, 0.26f * s);
    c.Fill(ring, CylinderLit(v, kBlue));
    Path tri;
    tri.Polygon({emblem + Vec2{0, -0.18f * s}, emblem + Vec2{0.16f * s, 0.12f * s},
                 emblem + Vec2{-0.16f * s, 0.12f * s}});
    c.Fill(tri, kBlue);
    if (v.detailed) {
        for (int row = 0; row < 3; ++row) {
            for (int col = -3; col <= 3; ++col) {
                const float a = (col * 9.f + (row % 2) * 4.5f) * kPi / 180;
                const Vec2 p = at(std::sin(a), -1.05f - row * 0.12f);
                Path hex;
                hex.Ellipse(p.x, p.y, 0.05f * s * std::cos(a), 0.05f * s);
                c.Fill(hex, CylinderLit(v, std::abs(col) < 2 ? kBlue : kBlueLight));
            }
        }
        for (float side : {-1.f, 1.f}) {
            for (int i = 0; i < 3; ++i) {
                const float a0 = side * (48 + i * 12.f);
                c.Fill(CylinderPanel(at, std::min(a0, a0 + side * 6), std::max(a0, a0 + side * 6),
                                     -0.1f, -0.5f),
                       CylinderLit(v, kBlue));
            }
        }
    }

    // Dome: a chrome hemisphere with its decal band and lenses.
    Path dome;
    std::vector<Vec2> outline;
    for (int i = 0; i <= 48; ++i) {
        const float a = kPi * i / 48;
        outline.push_back(at(std::cos(a), 0.4f + std::sin(a)));
    }
    dome.Polygon(outline);
    c.Fill(dome, [&](float px, float py) {
        const float nx = std::clamp((px - v.centreX) / s, -1.f, 1.f);
        const float ny = std::clamp((v.originY - py) / s - 0.4f, 0.f, 1.f);
        return Chrome(nx, ny);
    });
    for (float a = -84; a < 80; a += 12) c.Fill(DomePanel(at, a, a + 7, 60, 72), kBlue);
    c.Fill(DomePanel(at, -90, 90, 78, 84), kBlueDark);
    c.Fill(DomePanel(at, -90, 90, 46, 52), kBlue);
    if (v.detailed) c.Fill(DomePanel(at, -90, 90, 34, 36.5f), kBlue);
    const Vec2 lens = at(std::sin(80 * kPi / 180) * std::sin(-28 * kPi / 180),
                         0.4f + std::cos(80 * kPi / 180) + 0.02f);
    Path housing;
    housing.Ellipse(lens.x, lens.y, 0.15f * s, 0.14f * s);
    c.Fill(housing, Radial({lens.x - 0.05f * s, lens.y - 0.05f * s}, 0.2f * s,
                           {{0, kWhite}, {1, Rgb(90, 96, 110)}}));
    Path glass;
    glass.Ellipse(lens.x, lens.y, 0.09f * s, 0.085f * s);
    c.Fill(glass, Radial({lens.x, lens.y}, 0.09f * s,
                         {{0, Rgb(140, 210, 255)}, {0.4f, Rgb(30, 80, 190)}, {1, Rgb(6, 12, 40)}}));
    if (v.detailed) {
        const Vec2 small = at(0.42f, 1.12f);
        Path ring;
        ring.Circle(small.x, small.y, 0.07f * s);
        c.Fill(ring, Rgb(90, 96, 110));
        Path dot;
        dot.Circle(small.x, small.y, 0.04f * s);
        c.Fill(dot, Rgb(20, 40, 110));
        Path block;
        block.Polygon({at(0.12f, 0.95f), at(0.34f, 0.95f), at(0.38f, 0.72f), at(0.08f, 0.72f)});
        c.Fill(block, Linear(at(0, 0.95f), at(0, 0.72f), {{0, kBlueLight}, {1, kBlue}}));
    }

    SideLeg(c, at, -1, v);
    SideLeg(c, at, 1, v);
}
