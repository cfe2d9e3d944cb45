// Surface textures of the robot. The colour-scheme textures are blue panels on white and grey
// only; their layout follows the texture regions the model maps.
#include <algorithm>
#include <cmath>

#include "art.h"
#include "noise.h"

using namespace robot;

namespace {

constexpr float kPi = 3.14159265f;

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

void VentSlots(Canvas& c, float x, float y, int count, float pitch, float w, float h) {
    for (int i = 0; i < count; ++i) BluePanel(c, x + i * pitch, y, w, h, w / 2);
}

}  // namespace

// 512 x 256, wrapped once around the body: s = 0.75 faces the viewer, the side legs attach at
// s = 0 and 0.5, the top seven eighths are the wall and the last eighth the tapered bottom.
Indexed DrawBodyTexture() {
    Canvas c(512, 256);
    c.FillAll(Solid(kWhite));
    Path rim;
    rim.Rect(0, 0, 512, 7);
    c.Fill(rim, Linear({0, 0}, {0, 7}, {{0, kGreyLight}, {0.6f, kWhite}, {1, kGrey}}));
    Seam(c, 0, 7.5f, 512, 7.5f, 1.5f);

    // Upper ring of panels, different on each quarter.
    const float front = 384, back = 128;
    BluePanel(c, front - 46, 18, 92, 52, 4);
    for (int i = 0; i < 4; ++i) {
        Path bar;
        bar.RoundRect(front - 36, 26.f + i * 10, 44.f - i * 8, 5, 2);
        c.Fill(bar, kBlueLight);
    }
    for (int i = 0; i < 3; ++i) {
        Path light;
        light.Circle(front + 24, 32.f + i * 13, 4);
        c.Fill(light, Radial({front + 23, 31.f + i * 13}, 5, {{0, kWhite}, {1, kBlueLight}}));
    }
    for (float x : {front - 96.f, front + 60.f}) BluePanel(c, x, 18, 36, 24, 3);
    for (float x : {front - 96.f, front + 60.f}) BluePanel(c, x, 48, 36, 12, 3);
    VentSlots(c, back - 40, 18, 9, 9.5f, 5, 46);
    for (float x : {back - 78.f, back + 52.f}) BluePanel(c, x, 22, 26, 40, 3);

    // Hip sockets under the side legs' shoulders.
    for (float x : {0.f, 256.f, 512.f}) {
        Path plate;
        plate.RoundRect(x - 34, 30, 68, 60, 10);
        c.Fill(plate, kGreyLight);
        Path edge;
        edge.RoundRect(x - 34, 30, 68, 60, 10).RoundRect(x - 32, 32, 64, 56, 8, true);
        c.Fill(edge, kSeam);
        for (float dx : {-26.f, 26.f})
            for (float y : {38.f, 82.f}) Rivet(c, x + dx, y);
    }

    // Belt.
    Seam(c, 0, 98, 512, 98);
    Path belt;
    belt.Rect(0, 101, 512, 12);
    c.Fill(belt, Linear({0, 101}, {0, 113}, {{0, kBlueLight}, {0.25f, kBlue}, {1, kBlueDark}}));
    for (int i = 0; i < 32; ++i) {
        Path notch;
        notch.Rect(i * 16.f + 6, 105, 4, 4);
        c.Fill(notch, kWhite);
    }
    Seam(c, 0, 116, 512, 116);

    // Lower ring: a hatch at the front, vents at the back, ribs on the sides.
    BluePanel(c, front - 38, 126, 76, 84, 8);
    Path hatch;
    hatch.RoundRect(front - 28, 136, 56, 64, 6).RoundRect(front - 25, 139, 50, 58, 4, true);
    c.Fill(hatch, kBlueLight);
    Path handle;
    handle.RoundRect(front - 12, 186, 24, 5, 2.5f);
    c.Fill(handle, kWhite);
    for (int i = 0; i < 4; ++i) {
        Path grill;
        grill.Rect(front - 18, 146.f + i * 8, 36, 3);
        c.Fill(grill, kBlueDark);
    }
    VentSlots(c, back - 56, 132, 12, 9.5f, 5, 70);
    for (float x : {64.f, 192.f, 320.f, 448.f}) {
        for (int i = 0; i < 5; ++i) Seam(c, x - 22, 134.f + i * 15, x + 22, 134.f + i * 15);
        BluePanel(c, x - 10, 128, 20, 80, 3);
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
    Canvas c(256, 256);
    const float cx = 128, cy = 128, perDegree = 128.f / 54;
    const Vec2 lens{160, 178};
    auto sector = [&](float r0, float r1, float a0, float a1) {
        std::vector<Vec2> pts;
        const int steps = 24;
        for (int i = 0; i <= steps; ++i) {
            const float a = (a0 + (a1 - a0) * i / steps) * kPi / 180;
            pts.push_back({cx + r1 * std::cos(a), cy + r1 * std::sin(a)});
        }
        for (int i = steps; i >= 0; --i) {
            const float a = (a0 + (a1 - a0) * i / steps) * kPi / 180;
            pts.push_back({cx + r0 * std::cos(a), cy + r0 * std::sin(a)});
        }
        Path p;
        p.Polygon(pts);
        return p;
    };
    // Outer ring of panels, 42 to 52 degrees down.
    const float outer0 = 42 * perDegree, outer1 = 52 * perDegree;
    const float spans[][2] = {{-80, -38}, {-33, 8},   {14, 32},   {38, 84},  {90, 136},
                              {142, 160}, {166, 212}, {218, 236}, {242, 276}};
    for (const auto& span : spans) {
        c.Fill(sector(outer0 - 1.5f, outer1 + 1.5f, span[0] - 1, span[1] + 1), kBlueDark);
        c.Fill(sector(outer0, outer1, span[0], span[1]),
               Radial({cx, cy}, outer1, {{0.8f, kBlueLight}, {0.86f, kBlue}, {1, kBlueDark}}));
    }
    // Inner ring of small square panels, 20 to 30 degrees down, clear of the lens.
    const float inner0 = 20 * perDegree, inner1 = 30 * perDegree;
    const float lensAngle = std::atan2(lens.y - cy, lens.x - cx) * 180 / kPi;
    for (int i = 0; i < 8; ++i) {
        const float a = i * 45.f + 22.5f;
        float diff = std::fmod(std::abs(a - lensAngle) + 360, 360);
        diff = std::min(diff, 360 - diff);
        if (diff < 30) continue;
        c.Fill(sector(inner0 - 1.5f, inner1 + 1.5f, a - 12, a + 12), kBlueDark);
        c.Fill(sector(inner0, inner1, a - 11, a + 11), kBlue);
        c.Fill(sector(inner0 + 3, inner0 + 6, a - 7, a + 7), kBlueLight);
    }
    // A thin ring round the pole and one framing the lens.
    Path pole;
    pole.Ring(cx, cy, 11 * perDegree, 9.5f * perDegree);
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
    Canvas c(512, 64);
    const float lenses[][2] = {{152, 46}, {408, 42}};
    const float widths[] = {46, 28, 14, 0, 36, 20, 52, 28, 14, 40, 24, 48, 30, 16, 44};
    float x = 8;
    for (float w : widths) {
        if (w == 0) {
            x = 160;  // leave the panel block on chrome
            continue;
        }
        if (x + w > 504) break;
        BluePanel(c, x, 5, w, 26, 3);
        if (w > 35) {
            Path light;
            light.RoundRect(x + 6, 11, 8, 6, 1.5f);
            c.Fill(light, kBlueLight);
        }
        x += w + 7;
    }
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
    Canvas c(128, 128);
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
    Canvas c(128, 256);
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

    BluePanel(c, 82, 92, 28, 138, 5);
    for (int i = 0; i < 5; ++i) {
        Path rib;
        rib.RoundRect(88, 104.f + i * 10, 16, 4, 2);
        c.Fill(rib, kBlueLight);
    }
    Path window;
    window.RoundRect(88, 164, 16, 54, 4);
    c.Fill(window, kBlueDark);
    Path gauge;
    gauge.RoundRect(91, 196, 10, 18, 3);
    c.Fill(gauge, kBlueLight);
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
    Canvas c(256, 64);
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
    Canvas c(256, 256);
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
    Canvas c(32, 32, 8);
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
