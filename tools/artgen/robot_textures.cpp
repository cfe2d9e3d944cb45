// Surface textures of the robot. The colour-scheme textures are blue panels on white and grey
// only; their layout follows the texture regions the model maps.
#include <algorithm>
#include <cmath>

#include "art.h"
#include "noise.h"

using namespace robot;

namespace {

Indexed Opaque(const Canvas& canvas) {
    return Quantise(Flatten(canvas.Resolve(), kWhite));
}

// A raised blue panel: a light upper edge, a dark lower edge and a seam around it.
void BluePanel(Canvas& c, float x, float y, float w, float h, float radius = 2) {
    Path seam;
    seam.RoundRect(x - 1.5f, y - 1.5f, w + 3, h + 3, radius + 1.5f);
    c.Fill(seam, kSeam);
    Path dark;
    dark.RoundRect(x, y, w, h, radius);
    c.Fill(dark, kBlueDark);
    Path light;
    light.RoundRect(x, y, w, h - 1.5f, radius);
    c.Fill(light, kBlueLight);
    Path face;
    face.RoundRect(x + 1, y + 1.2f, w - 2, h - 2.7f, std::max(0.f, radius - 1));
    c.Fill(face, Linear({0, y}, {0, y + h}, {{0, kBlue}, {1, Mix(kBlue, kBlueDark, 0.35f)}}));
}

void Seam(Canvas& c, float x0, float y0, float x1, float y1, float width = 1.2f) {
    Path p;
    p.Line({x0, y0}, {x1, y1}, width);
    c.Fill(p, kSeam);
}

void Rivet(Canvas& c, float x, float y, float r = 1.6f) {
    Path p;
    p.Circle(x, y, r);
    c.Fill(p, Radial({x - r * 0.4f, y - r * 0.4f}, r * 1.6f, {{0, kWhite}, {1, kGreyDark}}));
}

// A row of chevrons pointing right, each w wide, between y0 and y1.
Path Chevrons(float x0, float x1, float y0, float y1, float w, float gap) {
    Path p;
    const float mid = (y0 + y1) / 2, depth = (y1 - y0) / 2;
    for (float x = x0; x + w + depth <= x1; x += w + gap) {
        p.Polygon(
            {{x, y0}, {x + w, y0}, {x + w + depth, mid}, {x + w, y1}, {x, y1}, {x + depth, mid}});
    }
    return p;
}

// A ring-shaped emblem: blue ring, white field, blue triangle.
void Emblem(Canvas& c, float cx, float cy, float r) {
    Path seam;
    seam.Circle(cx, cy, r + 1.5f);
    c.Fill(seam, kSeam);
    Path ring;
    ring.Ring(cx, cy, r, r * 0.72f);
    c.Fill(ring, Radial({cx - r * 0.3f, cy - r * 0.3f}, r * 1.4f,
                        {{0, kBlueLight}, {0.5f, kBlue}, {1, kBlueDark}}));
    Path tri;
    tri.Polygon(
        {{cx, cy - r * 0.5f}, {cx + r * 0.45f, cy + r * 0.32f}, {cx - r * 0.45f, cy + r * 0.32f}});
    c.Fill(tri, kBlue);
    Path dot;
    dot.Circle(cx, cy + r * 0.05f, r * 0.14f);
    c.Fill(dot, kWhite);
}

}  // namespace

// 512 x 256, wrapped once around the body: s = 0.75 faces the viewer, the side legs attach at
// s = 0 and 0.5, the top seven eighths are the wall and the last eighth the tapered bottom.
Indexed DrawBodyTexture() {
    Canvas c(BODY_BITMAP.width, BODY_BITMAP.height);
    c.FillAll(Solid(kWhite));
    Path rim;
    rim.Rect(0, 0, 512, 7);
    c.Fill(rim, Linear({0, 0}, {0, 7}, {{0, kGreyLight}, {0.6f, kWhite}, {1, kGrey}}));
    Seam(c, 0, 7.5f, 512, 7.5f, 1.5f);

    // Ring of portholes round the top.
    Path band;
    band.Rect(0, 14, 512, 22);
    c.Fill(band, Linear({0, 14}, {0, 36}, {{0, kBlueLight}, {0.2f, kBlue}, {1, kBlueDark}}));
    for (int i = 0; i < 24; ++i) {
        const float x = 10.667f + i * 21.333f;
        Path port;
        port.Circle(x, 25, 6.5f);
        c.Fill(port, kSeam);
        Path glass;
        glass.Circle(x, 25, 5);
        c.Fill(glass, Radial({x - 1.5f, 23.5f}, 6, {{0, kWhite}, {1, kGreyLight}}));
    }
    Seam(c, 0, 38, 512, 38);

    // The front emblem, chevrons on the sides and back.
    const float front = 384;
    Emblem(c, front, 86, 38);
    for (float x : {front - 70.f, front + 62.f}) {
        Path fins;
        for (int i = 0; i < 4; ++i) fins.RoundRect(x, 62.f + i * 13, 8, 9, 2);
        c.Fill(fins, kBlue);
    }
    for (float x : {42.f, 134.f}) {
        c.Fill(Chevrons(x, x + 84, 64, 108, 9, 7), kBlueDark);
        c.Fill(Chevrons(x + 1, x + 83, 66, 106, 7, 9), kBlue);
    }
    // Hip plates under the side legs' shoulders.
    for (float x : {0.f, 256.f, 512.f}) {
        Path plate;
        plate.RoundRect(x - 34, 44, 68, 44, 10);
        c.Fill(plate, kGreyLight);
        Path edge;
        edge.RoundRect(x - 34, 44, 68, 44, 10).RoundRect(x - 32, 46, 64, 40, 8, true);
        c.Fill(edge, kSeam);
        for (float dx : {-26.f, 26.f})
            for (float y : {50.f, 82.f}) Rivet(c, x + dx, y);
    }

    // Lower band with notches.
    Seam(c, 0, 134, 512, 134);
    Path belt;
    belt.Rect(0, 137, 512, 12);
    c.Fill(belt, Linear({0, 137}, {0, 149}, {{0, kBlueLight}, {0.25f, kBlue}, {1, kBlueDark}}));
    for (int i = 0; i < 32; ++i) {
        Path notch;
        notch.Rect(i * 16.f + 6, 141, 4, 4);
        c.Fill(notch, kWhite);
    }
    Seam(c, 0, 152, 512, 152);

    // A honeycomb of small hexagons round the lower wall, denser at the front.
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 40; ++col) {
            const float x = col * 12.8f + (row % 2) * 6.4f + 6.4f, y = 166 + row * 11.f;
            const float toFront = std::abs(x - front);
            if (toFront > 96 && (col + row) % 3 != 0) continue;
            std::vector<Vec2> hex;
            for (int k = 0; k < 6; ++k)
                hex.push_back({x + 5.2f * std::cos(k * kPi / 3 + kPi / 6),
                               y + 5.2f * std::sin(k * kPi / 3 + kPi / 6)});
            Path h;
            h.Polygon(hex);
            c.Fill(h, toFront < 40 ? kBlue : kBlueLight);
        }
    }
    Seam(c, 0, 214, 512, 214, 1.5f);

    // Tapered bottom: darker metal with slots, so the recess under the body reads as a shadow.
    Path taper;
    taper.Rect(0, 218, 512, 38);
    c.Fill(taper, Linear({0, 218}, {0, 256}, {{0, kGreyLight}, {0.3f, kGrey}, {1, kGreyDark}}));
    for (int i = 0; i < 24; ++i) {
        Path slot;
        slot.RoundRect(i * 21.33f + 6, 228, 10, 18, 3);
        c.Fill(slot, Rgb(80, 80, 80));
    }
    return Opaque(c);
}

// 256 x 256 radial decal on the dome's cap: texture radius 0.5 (128 pixels) is 54 degrees down
// from the pole, so the pixel radius is 128 / 54 per degree. The small lens at 25 degrees down
// sits at pixel (160, 178) and keeps a chrome gap.
Indexed DrawDomeCapDecal() {
    Canvas c(DOME_CAP_BITMAP.width, DOME_CAP_BITMAP.height);
    const float cx = 128, cy = 128, perDegree = 128.f / 54;
    const Vec2 lens{160, 178};
    // Concentric rings, broken by short gaps like a compass rose.
    for (const auto& ring : {std::pair{46.f, 52.f}, std::pair{34.f, 36.5f}}) {
        Path p;
        p.Ring(cx, cy, ring.second * perDegree, ring.first * perDegree);
        for (int i = 0; i < 8; ++i) {
            const float a = i * kPi / 4;
            p.Polygon({{cx, cy},
                       {cx + 140 * std::cos(a - 0.03f), cy + 140 * std::sin(a - 0.03f)},
                       {cx + 140 * std::cos(a + 0.03f), cy + 140 * std::sin(a + 0.03f)}},
                      true);
        }
        c.Fill(p, Radial({cx, cy}, ring.second * perDegree,
                         {{0.8f, kBlueLight}, {0.9f, kBlue}, {1, kBlueDark}}));
    }
    // Eight arrow marks pointing at the pole, clear of the lens.
    const float lensAngle = std::atan2(lens.y - cy, lens.x - cx);
    for (int i = 0; i < 8; ++i) {
        const float a = i * kPi / 4 + kPi / 8;
        if (std::abs(std::remainder(a - lensAngle, 2 * kPi)) < 0.45f) continue;
        const Vec2 dir{std::cos(a), std::sin(a)}, side{-dir.y, dir.x};
        const Vec2 tip = Vec2{cx, cy} + dir * (16 * perDegree),
                   base = Vec2{cx, cy} + dir * (29 * perDegree);
        Path arrow;
        arrow.Polygon({tip, base + side * 9, base - side * 9});
        c.Fill(arrow, kBlue);
    }
    Path pole;
    pole.Ring(cx, cy, 10 * perDegree, 8.5f * perDegree);
    c.Fill(pole, kBlue);
    Path lensRing;
    lensRing.Ring(lens.x, lens.y, 19, 16);
    c.Fill(lensRing, kBlue);
    return Keyed(c.Resolve(), kDecalKey, 0.5f);
}

// 512 x 64 band round the dome's lower half: s = 0 at 18 degrees round from +x, t = 0 at 54
// degrees down and 1 at the rim. The main projector sits at (152, 46), the small lens at
// (408, 42) and the panel block covers x 110 to 152 near the top.
Indexed DrawDomeBandDecal() {
    Canvas c(DOME_BAND_BITMAP.width, DOME_BAND_BITMAP.height);
    const float lenses[][2] = {{152, 46}, {408, 42}};
    Path chevrons = Chevrons(4, 104, 8, 30, 10, 8);
    chevrons.Append(Chevrons(166, 508, 8, 30, 10, 8));
    c.Fill(chevrons, Linear({0, 8}, {0, 30}, {{0, kBlueLight}, {0.3f, kBlue}, {1, kBlueDark}}));
    Path stripe;
    stripe.Rect(0, 38, 512, 12);
    for (const auto& l : lenses) stripe.Ellipse(l[0], l[1], 15, 17, 0, true);
    c.Fill(stripe, Linear({0, 38}, {0, 50}, {{0, kBlueLight}, {0.3f, kBlue}, {1, kBlueDark}}));
    for (const auto& l : lenses) {
        Path frame;
        frame.Ellipse(l[0], l[1], 15, 17).Ellipse(l[0], l[1], 12, 14, 0, true);
        c.Fill(frame, kBlue);
    }
    Path rimLine;
    rimLine.Rect(0, 56, 512, 3);
    c.Fill(rimLine, kBlueDark);
    return Keyed(c.Resolve(), kDecalKey, 0.5f);
}

// 128 x 128 on the front of the panel block, drawn into a trapezoid narrower at the top.
Indexed DrawPanelBlock() {
    Canvas c(PANEL_BITMAP.width, PANEL_BITMAP.height);
    c.FillAll(Linear({0, 0}, {0, 128}, {{0, kWhite}, {1, kGreyLight}}));
    BluePanel(c, 10, 10, 108, 108, 6);
    Path screen;
    screen.RoundRect(20, 20, 88, 26, 4);
    c.Fill(screen, kBlueDark);
    for (int i = 0; i < 7; ++i) {
        Path bar;
        const float h = 6.f + 12 * std::abs(std::sin(i * 1.3f));
        bar.Rect(26.f + i * 11.5f, 42 - h, 7, h);
        c.Fill(bar, kBlueLight);
    }
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 4; ++col) {
            Path key;
            const float x = 20.f + col * 23, y = 56.f + row * 18;
            key.RoundRect(x, y, 17, 12, 3);
            c.Fill(key, (row + col) % 3 == 0 ? kWhite : kBlueLight);
            Path shade;
            shade.RoundRect(x, y + 9, 17, 3, 1.5f);
            c.Fill(shade, kBlueDark);
        }
    }
    for (int i = 0; i < 3; ++i) Rivet(c, 24.f + i * 40, 114, 2.5f);
    return Opaque(c);
}

// 128 x 256 leg texture. Regions: shoulder top strip x 19-64, y 0-26; shoulder outer face
// x 64-128, y 0-58 (round joint centred at the cap's centre, 96, 26); shoulder sides x 19-64,
// y 26-64; transition y 64-77; strut sides x 32-64, strut outer x 73-119 and strut inner
// x 0-26, all from y 77 down. The centre leg takes the single texel (0, 0).
Indexed DrawLegTexture() {
    Canvas c(LEGS_BITMAP.width, LEGS_BITMAP.height);
    c.FillAll(Solid(kWhite));
    Path corner;
    corner.Rect(0, 0, 19, 26);
    c.Fill(corner, kGreyLight);

    Path top;
    top.Rect(19, 0, 45, 26);
    c.Fill(top, Linear({19, 0}, {64, 0}, {{0, kGrey}, {0.3f, kGreyLight}, {1, kWhite}}));
    for (float y : {8.f, 17.f}) Seam(c, 19, y, 64, y);

    Path joint;
    joint.Circle(96, 28, 24);
    c.Fill(joint, kGreyLight);
    Path jointEdge;
    jointEdge.Ring(96, 28, 24, 22.5f);
    c.Fill(jointEdge, kSeam);
    Path ring;
    ring.Ring(96, 28, 19, 12);
    c.Fill(ring, Radial({92, 24}, 22, {{0.5f, kBlueLight}, {0.75f, kBlue}, {1, kBlueDark}}));
    Path hub;
    hub.Circle(96, 28, 8);
    c.Fill(hub, Radial({94, 26}, 10, {{0, kWhite}, {1, kGrey}}));
    Path axle;
    axle.Circle(96, 28, 3);
    c.Fill(axle, kGreyDark);
    for (int i = 0; i < 6; ++i) {
        const float a = i * kPi / 3;
        Rivet(c, 96 + 15.5f * std::cos(a), 28 + 15.5f * std::sin(a), 1.2f);
    }

    Seam(c, 19, 45, 64, 45);
    Path transition;
    transition.Rect(0, 62, 128, 16);
    c.Fill(transition, Linear({0, 62}, {0, 78}, {{0, kGreyLight}, {1, kGrey}}));
    Seam(c, 0, 62, 128, 62);
    Seam(c, 0, 78, 128, 78);

    Path inner;
    inner.Rect(0, 78, 26, 178);
    c.Fill(inner, kGreyLight);
    Seam(c, 13, 84, 13, 250, 2);

    for (float x : {36.f, 52.f}) Seam(c, x, 84, x, 250);
    BluePanel(c, 42, 96, 6, 140, 3);

    for (int i = 0; i < 3; ++i) BluePanel(c, 80, 96.f + i * 26, 32, 16, 3);
    Path port;
    port.Circle(96, 200, 14);
    c.Fill(port, kSeam);
    Path portRing;
    portRing.Ring(96, 200, 12.5f, 7);
    c.Fill(portRing, Radial({92, 196}, 16, {{0.4f, kBlueLight}, {0.7f, kBlue}, {1, kBlueDark}}));
    Path portCentre;
    portCentre.Circle(96, 200, 7);
    c.Fill(portCentre, kGreyLight);
    for (float y : {86.f, 242.f}) {
        Rivet(c, 80, y);
        Rivet(c, 112, y);
    }
    Path ankle;
    ankle.Rect(26, 238, 102, 18);
    c.Fill(ankle, Linear({0, 238}, {0, 256}, {{0, kGreyLight}, {1, kGrey}}));
    Seam(c, 26, 238, 128, 238);
    return Opaque(c);
}

// 256 x 64 feet: shoe sides x 0-32 and the shoe's trapezoid (32,48) (50,0) (78,0) (96,48); the
// sole plate below y 48. The feet keep their colours in every scheme, so they are grey metal.
Indexed DrawFeetTexture() {
    Canvas c(FEET_BITMAP.width, FEET_BITMAP.height);
    const Stops metal{{0, Rgb(214, 214, 214)}, {1, Rgb(168, 168, 168)}};
    c.FillAll(Linear({0, 0}, {0, 48}, metal));
    Path opening;
    opening.Rect(0, 0, 256, 5);
    c.Fill(opening, Rgb(118, 118, 118));
    for (float y : {18.f, 32.f}) {
        Path groove;
        groove.Rect(0, y, 256, 3);
        c.Fill(groove, Rgb(132, 132, 132));
        Path shine;
        shine.Rect(0, y + 3, 256, 1.2f);
        c.Fill(shine, Rgb(232, 232, 232));
    }
    for (float x : {64.f, 160.f, 208.f}) {
        Path emblem;
        emblem.RoundRect(x - 8, 38, 16, 6, 2);
        c.Fill(emblem, Rgb(120, 120, 120));
    }
    Path plate;
    plate.Rect(0, 48, 256, 16);
    c.Fill(plate,
           Linear({0, 48}, {0, 64},
                  {{0, Rgb(150, 150, 150)}, {0.15f, Rgb(112, 112, 112)}, {1, Rgb(72, 72, 72)}}));
    for (int i = 0; i < 12; ++i) {
        const float x = 8 + i * 21.f;
        Path bolt;
        bolt.Circle(x, 56, 2.2f);
        c.Fill(bolt, Radial({x - 0.7f, 55.3f}, 3, {{0, Rgb(200, 200, 200)}, {1, Rgb(90, 90, 90)}}));
    }
    return Opaque(c);
}

// 256 x 256 sphere map. Sphere mapping looks up (sky) at large t and the loader puts the top
// row at t = 0, so the scene is drawn with the floor at the top of the bitmap.
Indexed DrawChrome() {
    Canvas c(CHROME_BITMAP.width, CHROME_BITMAP.height);
    const float cx = 128, cy = 128, r = 128;
    c.FillAll(Solid(Rgb(120, 124, 132)));
    Path disc;
    disc.Circle(cx, cy, r);
    c.Fill(disc, [&](float x, float y) {
        const float dx = (x - cx) / r, up = (cy - y) / r;
        const float d = std::min(1.f, std::sqrt(dx * dx + up * up));
        Color col;
        const float horizon = -0.08f;
        if (up > horizon) {
            const float u = (up - horizon) / (1 - horizon);
            col = Sample({{0, Rgb(250, 252, 255)},
                          {0.18f, Rgb(200, 214, 232)},
                          {0.6f, Rgb(128, 150, 186)},
                          {1, Rgb(82, 98, 132)}},
                         u);
        } else {
            const float u = (horizon - up) / (1 + horizon);
            col = Sample({{0, Rgb(40, 40, 44)},
                          {0.12f, Rgb(92, 90, 88)},
                          {0.5f, Rgb(150, 146, 140)},
                          {1, Rgb(176, 172, 166)}},
                         u);
        }
        // The rim reflects what is behind the dome: darker and smeared.
        return Mix(col, Rgb(70, 74, 84), Smoothstep(0.82f, 1.f, d) * 0.7f);
    });
    c.Clip(disc);
    // Studio lights reflected in the sky.
    const float lights[][4] = {
        {-0.45f, -0.55f, 0.22f, 0.1f}, {0.35f, -0.42f, 0.12f, 0.07f}, {-0.1f, -0.82f, 0.3f, 0.05f}};
    for (const auto& l : lights) {
        Path spot;
        spot.Ellipse(cx + l[0] * r, cy + l[1] * r, l[2] * r, l[3] * r, l[0] * 30);
        c.Fill(spot, Radial({cx + l[0] * r, cy + l[1] * r}, l[2] * r,
                            {{0, Rgb(255, 255, 255)},
                             {0.6f, Rgb(255, 255, 255, 0.8f)},
                             {1, Rgb(255, 255, 255, 0)}}));
    }
    Path horizonGlow;
    horizonGlow.Rect(0, cy + 0.08f * r - 2, 256, 4);
    c.Fill(horizonGlow, Rgb(255, 255, 255, 0.65f));
    c.ClearClip();
    // Upside down, as explained above.
    ImageF image = c.Resolve();
    ImageF flipped = image;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            flipped.pixels[y * image.width + x] = image.At(x, image.height - 1 - y);
    return Quantise(Flatten(flipped, kWhite));
}

// 32 x 32 projector glass: dark blue with a soft inner glow and two reflections.
Indexed DrawLensGlass() {
    Canvas c(LENS_BITMAP.width, LENS_BITMAP.height, 8);
    c.FillAll(Solid(Rgb(30, 34, 44)));
    Path glass;
    glass.Circle(16, 16, 15.5f);
    c.Fill(glass, Radial({16, 16}, 15.5f,
                         {{0, Rgb(120, 200, 255)},
                          {0.25f, Rgb(40, 90, 190)},
                          {0.7f, Rgb(10, 22, 70)},
                          {1, Rgb(4, 8, 26)}}));
    Path spot;
    spot.Ellipse(11, 10, 4.5f, 2.8f, -35);
    c.Fill(spot, Radial({11, 10}, 4.5f, {{0, Rgb(255, 255, 255)}, {1, Rgb(255, 255, 255, 0)}}));
    Path spot2;
    spot2.Circle(21.5f, 22, 1.6f);
    c.Fill(spot2, Rgb(200, 230, 255, 0.8f));
    return Quantise(Flatten(c.Resolve(), kWhite));
}
