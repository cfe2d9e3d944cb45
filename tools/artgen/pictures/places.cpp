// Landscapes, buildings, maps and emblems.
#include <cmath>

#include "kit.h"
#include "pictures.h"
#include "text.h"

namespace {

Paint SideLit(float x0, float x1, float hi = 0.95f, float lo = 0.35f) {
    return Linear({x0, 0}, {x1, 0}, {{0, Holo(hi)}, {1, Holo(lo)}});
}

void Dome(Canvas& c, Vec2 base, float r) {
    Path d;
    std::vector<Vec2> pts;
    for (int i = 0; i <= 24; ++i)
        pts.push_back(base + Vec2{-r * std::cos(kPi * i / 24), -r * std::sin(kPi * i / 24)});
    d.Polygon(pts);
    c.Fill(d, Radial(base + Vec2{-r * 0.4f, -r * 0.6f}, r * 1.5f,
                     {{0, Holo(0.95f, 0.95f)}, {1, Holo(0.4f, 0.85f)}}));
    Path ribs;
    ribs.Arc(base.x, base.y, r * 0.7f, 180, 360, 0.6f).Line(base, base + Vec2{0, -r}, 0.6f);
    c.Fill(ribs, Holo(0.3f, 0.7f));
}

void Beacon(Canvas& c, Vec2 at, float size) {
    Path light = Disc(at, size);
    Glow(c, light, Holo(0.9f), size * 2 + 1, 1.5f);
    c.Fill(light, Holo(1));
}

// A coast from noise inside a frame: land above the threshold.
void Chart(Canvas& c, float x0, float y0, float x1, float y1, uint32_t seed, float threshold) {
    Path frame;
    frame.Rect(x0, y0, x1 - x0, y1 - y0);
    c.Fill(frame, [=](float x, float y) {
        const float n = Fbm(x * 0.02f, y * 0.02f, seed, 5);
        if (n > threshold) {
            const float h = (n - threshold) * 4;
            const float contour = std::fmod(h * 5, 1.f) < 0.12f ? 0.25f : 0;
            return Holo(0.45f + h * 0.5f + contour, 0.95f);
        }
        const float shore = Smoothstep(threshold - 0.04f, threshold, n);
        return Holo(0.2f + shore * 0.5f, 0.7f + shore * 0.3f);
    });
    Path grid;
    for (float x = x0 + 16; x < x1; x += 16) grid.Line({x, y0}, {x, y1}, 0.4f);
    for (float y = y0 + 16; y < y1; y += 16) grid.Line({x0, y}, {x1, y}, 0.4f);
    c.Fill(grid, Holo(0.85f, 0.35f));
    Path border;
    border.Rect(x0, y0, x1 - x0, y1 - y0)
        .Rect(x0 + 1.5f, y0 + 1.5f, x1 - x0 - 3, y1 - y0 - 3, true);
    c.Fill(border, Holo(0.9f));
}

void Marker(Canvas& c, Vec2 at, const char* label) {
    Path ring;
    ring.Ring(at.x, at.y, 7, 5.5f)
        .Line(at + Vec2{-11, 0}, at + Vec2{-4, 0}, 1)
        .Line(at + Vec2{4, 0}, at + Vec2{11, 0}, 1);
    c.Fill(ring, Holo(1));
    Beacon(c, at, 2.5f);
    DrawLabel(c, SansFont(), label, at.x + 10, at.y - 9, 8, Solid(Holo(1)));
}
}  // namespace

void CraterOutpost(Canvas& c) {
    Path crater;
    crater.Ellipse(128, 180, 112, 52);
    c.Fill(crater,
           Radial({128, 200}, 120, {{0, Holo(0.25f)}, {0.7f, Holo(0.4f)}, {1, Holo(0.75f)}}));
    Path rim;
    rim.Stroke(EllipsePoints(128, 176, 112, 50), 5, true);
    c.Fill(rim, Holo(0.8f));
    // The outpost of the close-up, on the crater floor.
    for (const auto& d : {std::pair{Vec2{104, 198}, 16.f}, std::pair{Vec2{130, 204}, 11.f},
                          std::pair{Vec2{118, 180}, 8.f}})
        Dome(c, d.first, d.second);
    Path tubes;
    tubes.Line({104, 196}, {130, 202}, 2.5f).Line({118, 180}, {110, 190}, 2);
    c.Fill(tubes, Holo(0.7f));
    Path mast;
    mast.Line({132, 192}, {132, 160}, 1.2f);
    c.Fill(mast, Holo(0.8f));
    Beacon(c, {132, 160}, 2);
    Planet(c, {{190, 60}, 34, Surface::Ocean, 208, {-0.6f, -0.2f}, 0.8f});
    Rng rng(208);
    Stars(c, rng, 40, 10, 10, 246, 120);
    Bloom(c);
}

void SentinelTower(Canvas& c) {
    Path base;
    base.Polygon({{30, 244}, {98, 244}, {84, 220}, {44, 220}});
    c.Fill(base, SideLit(30, 98, 0.7f, 0.3f));
    Path shaft;
    shaft.Polygon({{52, 220}, {76, 220}, {70, 70}, {58, 70}});
    c.Fill(shaft, SideLit(52, 76));
    Path rings;
    for (int i = 0; i < 5; ++i) rings.Rect(53.f + i * 1.2f, 200.f - i * 30, 22 - i * 2.4f, 3);
    c.Fill(rings, Holo(0.95f));
    Path cabin;
    cabin.Polygon({{40, 70}, {88, 70}, {80, 44}, {48, 44}});
    c.Fill(cabin, SideLit(40, 88));
    Windows(c, 48, 76, 54, 7, 4);
    Path spire;
    spire.Polygon({{60, 44}, {68, 44}, {64, 14}});
    c.Fill(spire, Holo(0.9f));
    Beacon(c, {64, 14}, 3);
    Path scan;
    scan.Polygon({{64, 56}, {4, 30}, {4, 50}});
    c.Fill(scan, Linear({64, 0}, {4, 0}, {{0, Holo(0.9f, 0.6f)}, {1, Holo(0.6f, 0)}}));
    Bloom(c);
}

void DomedColony(Canvas& c) {
    Path ground = Ridge(14, 242, 212, 24, 2, 220);
    FillRidge(c, ground, 188, 212, 0.5f);
    Dome(c, {128, 196}, 70);
    Path towers;
    towers.Rect(100, 150, 10, 46).Rect(120, 130, 14, 66).Rect(144, 160, 10, 36);
    c.Fill(towers, Holo(0.85f, 0.9f));
    Windows(c, 122, 130, 138, 4, 2);
    for (const auto& d : {std::pair{Vec2{44, 200}, 24.f}, std::pair{Vec2{210, 200}, 20.f}})
        Dome(c, d.first, d.second);
    Path links;
    links.Line({66, 198}, {60, 198}, 4).Line({190, 198}, {196, 198}, 4);
    c.Fill(links, Holo(0.6f));
    Planet(c, {{200, 60}, 20, Surface::Cratered, 2200, {-0.6f, 0}, 0.3f});
    FadeOutsideBox(c, 6, 6, 250, 230, 10);
    Bloom(c);
}

void MountainObservatory(Canvas& c) {
    Path mountain;
    mountain.Polygon({{8, 244},
                      {26, 160},
                      {40, 120},
                      {50, 90},
                      {58, 76},
                      {70, 76},
                      {80, 96},
                      {94, 130},
                      {106, 180},
                      {120, 244}});
    c.Fill(mountain, [&](float x, float y) {
        const float snow = y < 124 + 10 * Noise(x * 0.2f, 0, 223) ? 0.3f : 0;
        return Holo(0.35f + snow + 0.2f * Ridged(x * 0.05f, y * 0.05f, 223) - (x - 64) * 0.003f);
    });
    // The observatory of the close-up: a tower and its dome on the summit.
    Path tower;
    tower.Rect(49, 44, 30, 40);
    c.Fill(tower, SideLit(49, 79, 0.85f, 0.35f));
    Windows(c, 53, 73, 58, 7, 3);
    Dome(c, {64, 45}, 16);
    Path slit;
    slit.Rect(62.5f, 30, 3, 14);
    c.Fill(slit, Holo(0.1f));
    Path beam;
    beam.Polygon({{65, 32}, {112, 8}, {116, 14}});
    c.Fill(beam, Holo(0.85f, 0.35f));
    Rng rng(2230);
    Stars(c, rng, 50, 8, 8, 120, 60);
    FadeOutsideBox(c, 4, 4, 124, 252, 8);
    Bloom(c);
}

void LunarBase(Canvas& c) {
    Path ground = Ridge(8, 248, 120, 30, 4, 230);
    FillRidge(c, ground, 90, 120, 0.55f);
    for (const auto& d : {std::pair{Vec2{120, 104}, 18.f}, std::pair{Vec2{160, 106}, 12.f},
                          std::pair{Vec2{190, 104}, 9.f}})
        Dome(c, d.first, d.second);
    Path pads;
    pads.Ellipse(214, 106, 22, 4);
    c.Fill(pads, Holo(0.7f));
    // The beacon mast of the close-up.
    Path mast;
    mast.Line({64, 100}, {64, 32}, 2);
    for (int i = 0; i < 5; ++i) mast.Line({60, 90.f - i * 12}, {68, 84.f - i * 12}, 0.8f);
    c.Fill(mast, Holo(0.75f));
    Beacon(c, {64, 32}, 4);
    Planet(c, {{200, 36}, 20, Surface::Ocean, 2300, {-0.8f, 0.4f}, 0.8f});
    FadeOutsideBox(c, 4, 4, 252, 124, 6);
    Bloom(c);
}

void NightSkyline(Canvas& c) {
    Rng rng(238);
    float x = 12;
    while (x < 240) {
        const float w = rng.Range(12, 26), h = rng.Range(30, 96);
        Path tower;
        tower.Rect(x, 116 - h, w, h);
        if (rng.Chance(0.4f))
            tower.Polygon({{x, 116 - h}, {x + w / 2, 116 - h - 14}, {x + w, 116 - h}});
        c.Fill(tower, Linear({0, 116 - h}, {0, 116}, {{0, Holo(0.45f)}, {1, Holo(0.2f)}}));
        Path lit;
        for (float wy = 120 - h; wy < 112; wy += 6)
            for (float wx = x + 3; wx < x + w - 3; wx += 5)
                if (rng.Chance(0.45f)) lit.Rect(wx, wy, 2, 2.5f);
        c.Fill(lit, Holo(0.95f));
        x += w + rng.Range(1, 4);
    }
    Path moon = Disc({200, 26}, 12);
    Glow(c, moon, Holo(0.8f), 6, 1.2f);
    c.Fill(moon, Holo(0.95f));
    Path sky;
    sky.Line({30, 20}, {70, 30}, 1);
    c.Fill(sky, Holo(0.8f, 0.7f));
    Path base;
    base.Rect(10, 116, 236, 4);
    c.Fill(base, Holo(0.6f));
    Bloom(c);
}

void FloatingIslands(Canvas& c) {
    const float islands[][3] = {{64, 60, 34}, {160, 44, 26}, {210, 82, 18}};
    for (const auto& is : islands) {
        const float x = is[0], y = is[1], r = is[2];
        Path rock;
        rock.Polygon({{x - r, y},
                      {x + r, y},
                      {x + r * 0.5f, y + r * 0.6f},
                      {x + r * 0.1f, y + r * 1.3f},
                      {x - r * 0.4f, y + r * 0.7f}});
        c.Fill(rock, SideLit(x - r, x + r, 0.7f, 0.25f));
        Path grass;
        grass.Ellipse(x, y, r, r * 0.22f);
        c.Fill(grass, HoloTeal(0.8f));
        Path trees;
        for (int k = 0; k < 3; ++k)
            trees.Circle(x - r * 0.5f + k * r * 0.45f, y - r * 0.25f, r * 0.18f);
        c.Fill(trees, HoloTeal(0.65f));
        Path fall;
        fall.Line({x + r * 0.6f, y + 2}, {x + r * 0.6f, y + r * 1.2f}, 1.5f);
        c.Fill(fall, Linear({0, y}, {0, y + r * 1.2f}, {{0, Holo(0.95f)}, {1, Holo(0.6f, 0)}}));
    }
    Path bridge;
    bridge.Stroke({{96, 58}, {128, 54}, {136, 44}}, 0.8f);
    c.Fill(bridge, Holo(0.85f));
    Bloom(c);
}

void RoverOnDunes(Canvas& c) {
    for (int i = 0; i < 3; ++i) {
        Path dune;
        std::vector<Vec2> pts{{8, 120}};
        for (int k = 0; k <= 40; ++k) {
            const float x = 8 + k * 6;
            pts.push_back({x, 96.f + i * 8 - 12 * std::sin(x * 0.03f + i * 1.7f) -
                                  6 * std::sin(x * 0.07f + i)});
        }
        pts.push_back({248, 120});
        dune.Polygon(pts);
        c.Fill(dune, Holo(0.65f - i * 0.15f));
    }
    Path body;
    body.RoundRect(100, 70, 56, 18, 4);
    c.Fill(body, SideLit(100, 156));
    Path mast;
    mast.Line({140, 70}, {140, 52}, 1.5f).RoundRect(134, 46, 14, 7, 2);
    c.Fill(mast, Holo(0.8f));
    Path wheels;
    for (int i = 0; i < 3; ++i) wheels.Circle(106 + i * 22.f, 92, 6);
    c.Fill(wheels, Holo(0.35f));
    Path tracks;
    tracks.Stroke({{96, 100}, {60, 104}, {20, 102}}, 1);
    c.Fill(tracks, Holo(0.9f, 0.7f));
    Path panel;
    panel.Rect(104, 64, 30, 3);
    c.Fill(panel, Holo(0.95f));
    FadeOutsideBox(c, 4, 4, 252, 124, 8);
    Bloom(c);
}

void SunriseOverRidges(Canvas& c) {
    Path sun = Disc({150, 84}, 30);
    Glow(c, sun, Holo(0.85f), 14, 1.3f);
    c.Fill(sun, Radial({150, 84}, 30, {{0, Holo(1)}, {1, Holo(0.85f)}}));
    Path rays;
    for (int i = 0; i < 9; ++i) {
        const float a = kPi + i * kPi / 8;
        rays.Line({150 + 36 * std::cos(a), 84 + 36 * std::sin(a)},
                  {150 + 60 * std::cos(a), 84 + 60 * std::sin(a)}, 1.2f);
    }
    c.Fill(rays, Holo(0.85f, 0.7f));
    for (int i = 0; i < 3; ++i) {
        Path ridge = Ridge(8, 248, 122, 60.f - i * 14, 3.f + i, 263 + i);
        FillRidge(c, ridge, 60.f + i * 14, 122, 0.55f - i * 0.13f);
    }
    FadeOutsideBox(c, 4, 4, 252, 124, 10);
    Bloom(c);
}

void JungleRuins(Canvas& c) {
    for (int i = 0; i < 5; ++i) {
        const float w = 100 - i * 18.f, y = 230 - i * 30.f;
        Path step;
        step.Rect(64 - w / 2, y - 30, w, 30);
        c.Fill(step, [=](float x, float yy) {
            return Holo(0.35f + 0.3f * Fbm(x * 0.2f, yy * 0.2f, 267) + (64 - x) * 0.003f);
        });
        Path edge;
        edge.Rect(64 - w / 2, y - 30, w, 2);
        c.Fill(edge, Holo(0.8f));
    }
    Path door;
    door.Rect(56, 64, 16, 16);
    c.Fill(door, Holo(0.08f));
    Path vines;
    Rng rng(2670);
    for (int i = 0; i < 8; ++i) {
        const float x = rng.Range(20, 108);
        vines.Stroke({{x, rng.Range(60, 140)}, {x + rng.Range(-6, 6), rng.Range(150, 230)}}, 1.2f);
    }
    c.Fill(vines, HoloTeal(0.75f));
    Path canopy;
    for (int i = 0; i < 9; ++i) canopy.Circle(10 + i * 13.5f, 238 - (i % 2) * 6.f, 9);
    c.Fill(canopy, HoloTeal(0.5f));
    Beacon(c, {64, 30}, 3);
    Bloom(c);
}

void OutpostMap(Canvas& c) {
    Chart(c, 8, 8, 248, 248, 269, 0.5f);
    Path route;
    route.Stroke({{40, 210}, {70, 170}, {102, 128}, {160, 110}, {206, 60}}, 1.2f);
    c.Fill(route, Holo(1, 0.9f));
    // The outpost of the close-up.
    Marker(c, {102, 128}, "OUTPOST");
    Marker(c, {206, 60}, "RELAY");
    Bloom(c, 2, 0.4f);
}

void SpireCity(Canvas& c) {
    Rng rng(272);
    for (int i = 0; i < 9; ++i) {
        const float x = 14 + i * 12.5f, h = i == 4 ? 180.f : rng.Range(50, 130);
        Path spire;
        spire.Polygon(
            {{x - 6, 236}, {x + 6, 236}, {x + 2, 236 - h}, {x, 236 - h - 10}, {x - 2, 236 - h}});
        c.Fill(spire, SideLit(x - 6, x + 6, 0.85f, 0.35f));
    }
    Path bridges;
    bridges.Line({20, 160}, {108, 150}, 1).Line({30, 120}, {96, 126}, 1);
    c.Fill(bridges, Holo(0.8f));
    // The beacon on the tallest spire, the close-up's point.
    Beacon(c, {64, 64}, 4);
    Path base;
    base.Rect(8, 236, 112, 8);
    c.Fill(base, Holo(0.5f));
    Bloom(c);
}

void CliffMonastery(Canvas& c) {
    Path cliff;
    cliff.Polygon(
        {{20, 244}, {30, 140}, {44, 90}, {52, 74}, {84, 72}, {90, 110}, {104, 170}, {112, 244}});
    c.Fill(cliff, [&](float x, float y) {
        return Holo(0.3f + 0.35f * Ridged(x * 0.04f, y * 0.02f, 285) + (64 - x) * 0.003f);
    });
    Path halls;
    halls.Rect(44, 62, 42, 14).Polygon({{40, 62}, {64, 44}, {90, 62}});
    c.Fill(halls, SideLit(40, 90));
    Path roofs;
    roofs.Polygon({{52, 60}, {64, 50}, {76, 60}});
    c.Fill(roofs, Holo(0.3f));
    Windows(c, 48, 82, 66, 6, 3);
    Path stairs;
    stairs.Stroke({{84, 76}, {96, 120}, {88, 160}, {100, 200}}, 1.5f);
    c.Fill(stairs, Holo(0.85f));
    Beacon(c, {64, 64}, 2.5f);
    Path clouds;
    clouds.Ellipse(30, 200, 24, 6).Ellipse(100, 220, 20, 5);
    c.Fill(clouds, Holo(0.8f, 0.6f));
    Bloom(c);
}

void WaterfallCliffs(Canvas& c) {
    for (float side : {-1.f, 1.f}) {
        Path cliff;
        const float edge = 64 + side * 14;
        cliff.Polygon({{64 + side * 56, 20},
                       {edge, 30},
                       {edge + side * 4, 120},
                       {edge - side * 2, 240},
                       {64 + side * 56, 240}});
        c.Fill(cliff, [=](float x, float y) {
            return Holo(0.3f + 0.35f * Ridged(x * 0.05f, y * 0.03f, 287 + static_cast<int>(side)) +
                        side * -0.08f);
        });
    }
    Path fall;
    fall.Rect(52, 32, 24, 196);
    c.Fill(fall, [&](float x, float y) {
        return Holo(0.7f + 0.3f * std::sin(x * 1.7f + y * 0.05f) * 0.5f +
                    0.15f * Noise(x * 0.5f, y * 0.1f, 287));
    });
    Path mist;
    for (int i = 0; i < 8; ++i) mist.Circle(40.f + i * 7, 230 + (i % 2) * 4.f, 9);
    c.Fill(mist, Holo(0.9f, 0.6f));
    Path birds;
    birds.Stroke({{20, 40}, {24, 36}, {28, 40}}, 0.8f)
        .Stroke({{96, 50}, {100, 46}, {104, 50}}, 0.8f);
    c.Fill(birds, Holo(0.9f));
    Bloom(c);
}

void CoastlineChart(Canvas& c) {
    Chart(c, 8, 8, 248, 248, 288, 0.47f);
    Path compass;
    compass.Polygon({{210, 30}, {214, 44}, {210, 58}, {206, 44}})
        .Polygon({{196, 44}, {210, 40}, {224, 44}, {210, 48}});
    c.Fill(compass, Holo(0.95f));
    // The harbour of the close-up.
    Marker(c, {64, 195}, "HARBOUR");
    Bloom(c, 2, 0.4f);
}

void CrystalSpire(Canvas& c) {
    Path ground;
    ground.Ellipse(64, 236, 54, 8);
    c.Fill(ground, Holo(0.4f));
    const float shards[][4] = {{64, 236, 20, 210},
                               {42, 238, 10, 110},
                               {88, 238, 12, 130},
                               {28, 240, 6, 60},
                               {102, 240, 7, 70}};
    for (const auto& s : shards) {
        Path left, right;
        left.Polygon({{s[0] - s[2], s[1]}, {s[0], s[1] - s[3]}, {s[0], s[1]}});
        right.Polygon({{s[0], s[1]}, {s[0], s[1] - s[3]}, {s[0] + s[2], s[1]}});
        c.Fill(left, HoloViolet(0.9f, 0.9f));
        c.Fill(right, HoloViolet(0.55f, 0.9f));
    }
    Sparkle(c, {64, 30}, 10, HoloViolet(1));
    Bloom(c, 3, 0.6f);
}

void DrillRig(Canvas& c) {
    Path legs;
    legs.Line({24, 240}, {56, 40}, 3).Line({104, 240}, {72, 40}, 3);
    for (int i = 0; i < 8; ++i) {
        const float y = 220 - i * 24.f, inset = (240 - y) * 32 / 200;
        legs.Line({24 + inset, y}, {104 - inset, y - 12}, 1)
            .Line({104 - inset, y}, {24 + inset, y - 12}, 1);
    }
    c.Fill(legs, Holo(0.55f));
    Path head;
    head.RoundRect(48, 26, 32, 18, 3);
    c.Fill(head, SideLit(48, 80));
    Path drill;
    drill.Rect(61, 44, 6, 180);
    c.Fill(drill, Holo(0.85f));
    Path bit;
    bit.Polygon({{58, 224}, {70, 224}, {64, 244}});
    c.Fill(bit, Holo(1));
    Path sparks;
    Rng rng(284);
    for (int i = 0; i < 12; ++i)
        sparks.Circle(64 + rng.Range(-14, 14), 240 + rng.Range(-8, 4), rng.Range(0.6f, 1.4f));
    c.Fill(sparks, Holo(1));
    Beacon(c, {64, 20}, 2.5f);
    Bloom(c);
}

void Obelisk(Canvas& c) {
    Path stone;
    stone.Polygon({{46, 240}, {82, 240}, {76, 40}, {64, 22}, {52, 40}});
    c.Fill(stone, SideLit(46, 82, 0.75f, 0.25f));
    Path glyphs;
    for (int i = 0; i < 10; ++i) {
        const float y = 56 + i * 17.f;
        switch (i % 3) {
            case 0:
                glyphs.Ring(64, y, 4, 2.8f);
                break;
            case 1:
                glyphs.Polygon({{60, y + 4}, {64, y - 4}, {68, y + 4}});
                break;
            default:
                glyphs.Rect(60, y - 1, 8, 2).Rect(63, y - 4, 2, 8);
                break;
        }
    }
    Glow(c, glyphs, HoloTeal(0.9f), 2.5f, 1.4f);
    c.Fill(glyphs, HoloTeal(1));
    Path base;
    base.Rect(34, 238, 60, 8);
    c.Fill(base, Holo(0.45f));
    Bloom(c);
}

void Emblem(Canvas& c) {
    const Vec2 centre{64, 64};
    Path gear;
    std::vector<Vec2> teeth;
    for (int i = 0; i < 48; ++i) {
        const float a = i * kPi / 24;
        const float r = (i / 2) % 2 ? 46.f : 52.f;
        teeth.push_back(centre + Vec2{std::cos(a), std::sin(a)} * r);
    }
    gear.Polygon(teeth).Circle(64, 64, 36, true);
    c.Fill(gear, SideLit(12, 116, 0.9f, 0.4f));
    Path star;
    std::vector<Vec2> points;
    for (int i = 0; i < 10; ++i) {
        const float a = -kPi / 2 + i * kPi / 5;
        points.push_back(centre + Vec2{std::cos(a), std::sin(a)} * (i % 2 ? 12.f : 30.f));
    }
    star.Polygon(points);
    Glow(c, star, Holo(0.9f), 4, 1.3f);
    c.Fill(star, Linear({40, 40}, {90, 90}, {{0, Holo(1)}, {1, Holo(0.65f)}}));
    Bloom(c);
}

void DataCrystal(Canvas& c) {
    const Vec2 top{64, 14}, bottom{64, 116};
    const Vec2 ring[4] = {{30, 56}, {58, 70}, {98, 58}, {72, 46}};
    const float shades[4] = {0.9f, 0.7f, 0.45f, 0.6f};
    for (int i = 0; i < 4; ++i) {
        Path upper, lower;
        upper.Polygon({top, ring[i], ring[(i + 1) % 4]});
        lower.Polygon({bottom, ring[i], ring[(i + 1) % 4]});
        c.Fill(upper, HoloTeal(shades[i], 0.85f));
        c.Fill(lower, HoloTeal(shades[i] * 0.7f, 0.85f));
    }
    Path core = Disc({64, 62}, 6);
    Glow(c, core, HoloTeal(0.9f), 6, 1.5f);
    c.Fill(core, HoloTeal(1));
    Bloom(c, 3, 0.6f);
}

void Lantern(Canvas& c) {
    Path hook;
    hook.Arc(64, 14, 6, 180, 360, 1.6f).Line({64, 14}, {64, 22}, 1.6f);
    c.Fill(hook, Holo(0.8f));
    Path cap;
    cap.Polygon({{44, 30}, {84, 30}, {74, 20}, {54, 20}});
    c.Fill(cap, SideLit(44, 84));
    Path glass;
    glass.Polygon({{46, 30}, {82, 30}, {88, 90}, {40, 90}});
    c.Fill(glass, Holo(0.35f, 0.7f));
    // The flame of the close-up.
    Path flame;
    flame.Polygon({{64, 24}, {72, 42}, {70, 54}, {64, 58}, {58, 54}, {56, 42}});
    Glow(c, flame, Holo(0.9f), 8, 1.6f);
    c.Fill(flame, Linear({0, 24}, {0, 58}, {{0, Holo(1)}, {1, Holo(0.8f)}}));
    Path frame;
    frame.Line({46, 30}, {40, 90}, 2).Line({82, 30}, {88, 90}, 2).Line({64, 30}, {64, 34}, 2);
    frame.Rect(36, 90, 56, 8).Rect(44, 98, 40, 10);
    c.Fill(frame, Holo(0.7f));
    Bloom(c);
}

void CraterField(Canvas& c) {
    Path ground;
    ground.Rect(8, 8, 240, 112);
    c.Fill(ground,
           [](float x, float y) { return Holo(0.4f + 0.25f * Fbm(x * 0.05f, y * 0.08f, 257)); });
    const float craters[][3] = {{51, 26, 14},  {120, 60, 26}, {196, 40, 16},
                                {180, 94, 20}, {80, 100, 12}, {230, 100, 8}};
    for (const auto& cr : craters) {
        Path rim;
        rim.Ellipse(cr[0], cr[1], cr[2], cr[2] * 0.7f);
        c.Fill(rim, Holo(0.8f));
        Path floor;
        floor.Ellipse(cr[0] + cr[2] * 0.1f, cr[1] + cr[2] * 0.08f, cr[2] * 0.82f, cr[2] * 0.55f);
        c.Fill(floor, Holo(0.18f));
        Path peak = Disc({cr[0], cr[1]}, cr[2] * 0.12f);
        c.Fill(peak, Holo(0.7f));
    }
    FadeOutsideBox(c, 4, 4, 252, 124, 12);
    Bloom(c);
}
