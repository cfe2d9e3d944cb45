// Spacecraft, stations, vehicles and technical drawings.
#include <cmath>

#include "kit.h"
#include "pictures.h"
#include "text.h"

namespace {

// A side-view ship: hull from stations, panel lines, a row of windows, engines at the left.
void SideShip(Canvas& c, const std::vector<Station>& hull, float windowY, float enginesX,
              const std::vector<float>& engineYs, float engineSize) {
    const Path shape = HullPath(hull);
    float top = 1e9f, bottom = -1e9f;
    std::vector<float> xs;
    for (const Station& s : hull) {
        top = std::min(top, s.top);
        bottom = std::max(bottom, s.bottom);
        xs.push_back(s.x);
    }
    for (float y : engineYs)
        EngineGlow(c, {enginesX - engineSize * 0.6f, y}, engineSize * 0.9f, engineSize * 0.55f);
    ShadeHull(c, shape, top, bottom);
    PanelLines(c, shape, xs, top, bottom);
    Windows(c, hull[1].x + 6, hull[hull.size() - 2].x - 6, windowY, 6, 1.6f);
}

void Label(Canvas& c, const char* text, float x, float y, int size = 8) {
    DrawLabel(c, SansFont(), text, x, y, size, Solid(Holo(0.95f)));
}

void Blueprint(Canvas& c, float x0, float y0, float x1, float y1) {
    Path frame;
    frame.Rect(x0, y0, x1 - x0, y1 - y0).Rect(x0 + 1, y0 + 1, x1 - x0 - 2, y1 - y0 - 2, true);
    Path grid;
    for (float x = x0 + 10; x < x1; x += 10) grid.Line({x, y0}, {x, y1}, 0.3f);
    for (float y = y0 + 10; y < y1; y += 10) grid.Line({x0, y}, {x1, y}, 0.3f);
    Path back;
    back.Rect(x0, y0, x1 - x0, y1 - y0);
    c.Fill(back, Holo(0.12f, 0.55f));
    c.Fill(grid, Holo(0.45f, 0.45f));
    c.Fill(frame, Holo(0.8f));
}

Path Outline(const Path& p, float width) {
    Path out;
    for (const auto& contour : p.Contours()) out.Stroke(contour, width, true);
    return out;
}
}  // namespace

void LongRangeCruiser(Canvas& c) {
    SideShip(c,
             {{24, 58, 74},
              {40, 48, 82},
              {90, 44, 84},
              {120, 36, 80},
              {168, 40, 76},
              {210, 52, 70},
              {236, 60, 66}},
             54, 24, {60, 72}, 8);
    Path tower;
    tower.Polygon({{100, 44}, {108, 26}, {140, 26}, {150, 38}});
    ShadeHull(c, tower, 26, 44, 1.1f);
    Windows(c, 112, 138, 31, 5, 1.4f);
    Path fin;
    fin.Polygon({{40, 82}, {70, 84}, {56, 100}, {36, 100}});
    ShadeHull(c, fin, 82, 100, 0.8f);
    Bloom(c);
}

void AsteroidMiner(Canvas& c) {
    Rng rng(206);
    std::vector<Vec2> rock;
    for (int k = 0; k < 14; ++k) {
        const float a = k * 2 * kPi / 14;
        rock.push_back(Vec2{186, 66} +
                       Vec2{std::cos(a) * 52, std::sin(a) * 40} * rng.Range(0.8f, 1.1f));
    }
    Path asteroid;
    asteroid.Polygon(rock);
    c.Fill(asteroid, [&](float x, float y) {
        return Holo(0.25f + 0.5f * Fbm(x * 0.08f, y * 0.08f, 206) - (x - 150) * 0.002f);
    });
    SideShip(c, {{20, 56, 72}, {30, 50, 78}, {80, 50, 80}, {100, 58, 74}}, 62, 20, {64}, 7);
    Path arm;
    arm.Stroke({{96, 64}, {118, 52}, {138, 60}}, 3);
    c.Fill(arm, Holo(0.6f));
    Path drill;
    drill.Polygon({{136, 55}, {150, 60}, {136, 66}});
    c.Fill(drill, Holo(0.9f));
    Path sparks;
    for (int i = 0; i < 14; ++i)
        sparks.Circle(150 + rng.Range(-4, 10), 60 + rng.Range(-10, 10), rng.Range(0.5f, 1.3f));
    c.Fill(sparks, Holo(1));
    Bloom(c);
}

void OrbitalRingStation(Canvas& c) {
    const Vec2 centre{128, 64};
    Planet(c, {{128, 64}, 26, Surface::Ocean, 214, {-0.6f, -0.6f}, 0.7f});
    auto ring = [&](bool isFront) { return HalfBand(centre, {110, 22}, {102, 18}, -6, isFront); };
    c.Fill(ring(false), Holo(0.45f, 0.8f));
    Path spokes;
    for (int i = 0; i < 6; ++i) {
        const float a = i * kPi / 3 + 0.3f;
        spokes.Line(centre, centre + Rotated({106 * std::cos(a), 20 * std::sin(a)}, -6), 1);
    }
    c.Fill(spokes, Holo(0.6f, 0.7f));
    Planet(c, {centre, 26, Surface::Ocean, 214, {-0.6f, -0.6f}, 0.7f});
    c.Fill(ring(true), Holo(0.75f));
    Path modules;
    for (int i = 0; i < 10; ++i) {
        const float a = i * kPi / 9;
        const Vec2 p = centre + Rotated({106 * std::cos(a), 20 * std::sin(a)}, -6);
        modules.Rect(p.x - 3, p.y - 2, 6, 4);
    }
    c.Fill(modules, Holo(1));
    Bloom(c);
}

void SaltFlatRacer(Canvas& c) {
    Path streaks;
    for (int i = 0; i < 6; ++i)
        streaks.Line({14, 88.f + i * 3}, {70.f + i * 6, 88.f + i * 3}, 0.8f);
    c.Fill(streaks, Linear({14, 0}, {100, 0}, {{0, Holo(0.6f, 0)}, {1, Holo(0.8f, 0.9f)}}));
    SideShip(c, {{60, 80, 96}, {80, 66, 100}, {130, 62, 100}, {170, 70, 98}, {230, 86, 96}}, 72, 60,
             {88}, 7);
    Path canopy;
    canopy.Polygon({{140, 66}, {150, 54}, {176, 58}, {190, 76}});
    c.Fill(canopy, Linear({0, 54}, {0, 76}, {{0, Holo(1)}, {1, Holo(0.55f)}}));
    Path shadow;
    shadow.Ellipse(150, 112, 90, 4);
    c.Fill(shadow, Holo(0.3f, 0.6f));
    Bloom(c);
}

void ShuttleOnApproach(Canvas& c) {
    Path wing = Mirrored({{128, 24}, {140, 40}, {150, 70}, {200, 96}, {200, 104}, {146, 100}}, 128);
    ShadeHull(c, wing, 24, 104, 1);
    Path body = Mirrored({{128, 18}, {136, 30}, {140, 60}, {138, 104}}, 128);
    c.Fill(body, Linear({118, 0}, {138, 0}, {{0, Holo(0.95f)}, {1, Holo(0.45f)}}));
    Path cockpit;
    cockpit.Polygon({{122, 34}, {134, 34}, {132, 44}, {124, 44}});
    c.Fill(cockpit, Holo(0.2f));
    for (float x : {118.f, 138.f}) EngineGlow(c, {x, 108}, 4, 5);
    Path lights;
    lights.Circle(60, 99, 2).Circle(196, 99, 2);
    Glow(c, lights, Holo(0.9f), 3, 1.5f);
    Bloom(c);
}

void IonDriveCutaway(Canvas& c) {
    Blueprint(c, 8, 8, 248, 120);
    Path casing;
    casing.RoundRect(40, 40, 150, 48, 10);
    Path nozzle;
    nozzle.Polygon({{190, 46}, {226, 34}, {226, 94}, {190, 82}});
    Lines(c, Outline(casing, 1.2f), Holo(0.9f));
    Lines(c, Outline(nozzle, 1.2f), Holo(0.9f));
    Path grids;
    for (int i = 0; i < 6; ++i) grids.Line({120.f + i * 10, 46}, {120.f + i * 10, 82}, 1);
    c.Fill(grids, Holo(0.8f));
    Path chamber;
    chamber.RoundRect(52, 50, 56, 28, 6);
    c.Fill(chamber, Holo(0.6f, 0.6f));
    Path plume;
    plume.Polygon({{200, 56}, {240, 50}, {240, 78}, {200, 72}});
    c.Fill(plume, Linear({200, 0}, {240, 0}, {{0, Holo(1)}, {1, Holo(0.6f, 0)}}));
    Path leaders;
    leaders.Line({80, 50}, {70, 24}, 0.6f)
        .Line({140, 46}, {150, 24}, 0.6f)
        .Line({210, 90}, {200, 108}, 0.6f);
    c.Fill(leaders, Holo(0.8f));
    Label(c, "IONISER", 50, 22);
    Label(c, "GRID STACK", 126, 22);
    Label(c, "NOZZLE", 180, 116);
    Bloom(c, 2, 0.4f);
}

void ReactorSchematic(Canvas& c) {
    Blueprint(c, 8, 8, 248, 120);
    const Vec2 core{128, 64};
    Path rings;
    for (int i = 1; i <= 3; ++i) rings.Ring(core.x, core.y, 12.f * i + 0.6f, 12.f * i - 0.6f);
    Lines(c, rings, Holo(0.85f));
    Path pipes;
    pipes.Line({core.x - 36, core.y}, {24, core.y}, 3)
        .Line({core.x + 36, core.y}, {232, core.y}, 3);
    pipes.Line({core.x, core.y - 36}, {core.x, 16}, 3)
        .Line({core.x, core.y + 36}, {core.x, 112}, 3);
    c.Fill(pipes, Holo(0.55f));
    // The core the close-up opens on.
    Path heart = Disc(core, 9);
    Glow(c, heart, Holo(0.9f), 6, 1.5f);
    c.Fill(heart, Radial(core, 9, {{0, Holo(1)}, {1, Holo(0.75f)}}));
    for (float x : {40.f, 216.f}) {
        Path pump;
        pump.RoundRect(x - 10, 52, 20, 24, 4);
        c.Fill(pump, Holo(0.4f));
        Lines(c, Outline(pump, 1), Holo(0.9f), 0);
    }
    Label(c, "COOLANT", 20, 44);
    Label(c, "CORE", 142, 30);
    Bloom(c, 2, 0.4f);
}

void EscortFrigate(Canvas& c) {
    SideShip(
        c, {{20, 60, 70}, {34, 50, 78}, {70, 52, 80}, {110, 46, 78}, {180, 50, 72}, {236, 62, 66}},
        56, 20, {58, 70}, 6);
    Path turret;
    turret.RoundRect(130, 40, 18, 8, 3).Line({146, 42}, {176, 38}, 2);
    turret.RoundRect(80, 82, 16, 7, 3).Line({94, 86}, {120, 92}, 2);
    c.Fill(turret, Holo(0.7f));
    Path mast;
    mast.Line({100, 46}, {100, 28}, 1.4f).Line({94, 32}, {106, 32}, 1);
    c.Fill(mast, Holo(0.8f));
    Bloom(c);
}

void HoverBargeConvoy(Canvas& c) {
    for (int i = 0; i < 3; ++i) {
        const float x = 26 + i * 74.f, y = 54 + i * 8.f, s = 0.8f + i * 0.12f;
        Path barge;
        barge.Polygon({{x, y}, {x + 64 * s, y}, {x + 58 * s, y + 14 * s}, {x + 6 * s, y + 14 * s}});
        ShadeHull(c, barge, y, y + 14 * s, 0.95f);
        Path cargo;
        for (int k = 0; k < 3; ++k) cargo.Rect(x + (8 + k * 17) * s, y - 10 * s, 14 * s, 10 * s);
        c.Fill(cargo, Holo(0.55f));
        Path field;
        field.Ellipse(x + 32 * s, y + 22 * s, 26 * s, 3 * s);
        Glow(c, field, Holo(0.8f), 3, 1.2f);
    }
    Path tow;
    tow.Line({90, 60}, {100, 66}, 0.8f).Line({172, 68}, {174, 74}, 0.8f);
    c.Fill(tow, Holo(0.8f));
    Bloom(c);
}

void SolarSailYacht(Canvas& c) {
    Path sail;
    sail.Polygon({{30, 20}, {110, 14}, {100, 96}, {24, 84}});
    c.Fill(sail, Linear({30, 20}, {100, 96}, {{0, Holo(0.95f, 0.9f)}, {1, Holo(0.5f, 0.7f)}}));
    Path rigging;
    rigging.Line({30, 20}, {66, 110}, 0.6f)
        .Line({110, 14}, {66, 110}, 0.6f)
        .Line({100, 96}, {66, 110}, 0.6f)
        .Line({24, 84}, {66, 110}, 0.6f);
    rigging.Line({30, 20}, {100, 96}, 0.5f).Line({110, 14}, {24, 84}, 0.5f);
    c.Fill(rigging, Holo(0.8f));
    Path hull;
    hull.Ellipse(66, 112, 12, 5);
    c.Fill(hull, Holo(0.7f));
    Sparkle(c, {96, 22}, 6, Holo(1));
    Bloom(c);
}

void RingGate(Canvas& c) {
    const Vec2 centre{128, 64};
    Path ring;
    ring.Ring(centre.x, centre.y, 54, 44);
    c.Fill(ring, [&](float x, float y) {
        const float a = std::atan2(y - centre.y, x - centre.x);
        return Holo(0.55f + 0.25f * std::cos(a + 2.2f) +
                    0.15f * (std::fmod(a + kPi, kPi / 6) < 0.1f));
    });
    Path field;
    field.Circle(centre.x, centre.y, 44);
    c.Fill(field, Radial(centre, 44, {{0, Holo(0.35f, 0.5f)}, {1, Holo(0.7f, 0.8f)}}));
    // The ship of the close-up, just leaving the field.
    Path shipBody;
    shipBody.Polygon({{140, 60}, {160, 64}, {140, 68}, {144, 64}});
    c.Fill(shipBody, Holo(1));
    EngineGlow(c, {139, 64}, 3, 2);
    Path trail;
    trail.Line({80, 64}, {138, 64}, 1);
    c.Fill(trail, Linear({80, 0}, {138, 0}, {{0, Holo(0.6f, 0)}, {1, Holo(0.9f)}}));
    Bloom(c);
}

void RadarDish(Canvas& c) {
    Path dish;
    dish.Ellipse(64, 60, 44, 40);
    c.Fill(dish, Radial({56, 52}, 48, {{0, Holo(0.95f)}, {1, Holo(0.35f)}}));
    Path ribs;
    for (int i = 0; i < 8; ++i) {
        const float a = i * kPi / 4;
        ribs.Line({64, 60}, {64 + 44 * std::cos(a), 60 + 40 * std::sin(a)}, 0.8f);
    }
    for (int i = 1; i <= 3; ++i) ribs.Stroke(EllipsePoints(64, 60, 11.f * i, 10.f * i), 0.7f, true);
    c.Fill(ribs, Holo(0.3f, 0.8f));
    Path feed = Disc({64, 64}, 4);
    Glow(c, feed, Holo(0.9f), 4, 1.4f);
    c.Fill(feed, Holo(1));
    Path mount;
    mount.Polygon({{56, 98}, {72, 98}, {80, 120}, {48, 120}});
    c.Fill(mount, Holo(0.5f));
    Bloom(c);
}

void PatrolInterceptor(Canvas& c) {
    Path wings = Mirrored({{128, 30}, {150, 58}, {220, 78}, {222, 86}, {150, 80}, {140, 96}}, 128);
    ShadeHull(c, wings, 30, 96, 1);
    Path body = Mirrored({{128, 14}, {134, 30}, {136, 80}, {134, 100}}, 128);
    c.Fill(body, Linear({120, 0}, {136, 0}, {{0, Holo(1)}, {1, Holo(0.5f)}}));
    Path canopy;
    canopy.Ellipse(128, 40, 4, 9);
    c.Fill(canopy, Holo(0.2f));
    for (float x : {124.f, 132.f}) EngineGlow(c, {x, 104}, 3, 5);
    Path tips;
    tips.Circle(36, 82, 1.5f).Circle(220, 82, 1.5f);
    Glow(c, tips, Holo(0.9f), 3, 1.4f);
    Bloom(c);
}

void MiningPlatform(Canvas& c) {
    Planet(c, {{128, 300}, 120, Surface::Cratered, 246, {-0.3f, -1}, 0.5f});
    Path deck;
    deck.Polygon({{60, 110}, {196, 110}, {210, 130}, {46, 130}});
    ShadeHull(c, deck, 110, 130);
    Path tower;
    tower.Rect(90, 50, 20, 60).Rect(146, 70, 30, 40);
    ShadeHull(c, tower, 50, 110, 1.05f);
    Path derrick;
    derrick.Stroke({{110, 110}, {124, 30}, {138, 110}}, 1.4f);
    for (int i = 0; i < 6; ++i)
        derrick.Line({112.f + i * 2.2f, 100.f - i * 13}, {136.f - i * 2.2f, 100.f - i * 13}, 0.9f);
    c.Fill(derrick, Holo(0.85f));
    Path shaft;
    shaft.Rect(121, 130, 6, 60);
    c.Fill(shaft, Linear({0, 130}, {0, 190}, {{0, Holo(0.8f)}, {1, Holo(0.4f, 0.4f)}}));
    Windows(c, 150, 172, 80, 6, 2);
    Windows(c, 94, 106, 60, 6, 2);
    Sparkle(c, {124, 30}, 6, Holo(1));
    FadeOutsideBox(c, 3, 3, 253, 253, 10);
    Bloom(c);
}

void ContainerHauler(Canvas& c) {
    SideShip(c, {{190, 50, 80}, {210, 46, 84}, {236, 58, 72}}, 60, 190, {}, 0);
    Path spine;
    spine.Rect(30, 62, 162, 6);
    c.Fill(spine, Holo(0.5f));
    for (int i = 0; i < 8; ++i) {
        for (int j = 0; j < 2; ++j) {
            Path box;
            box.Rect(34.f + i * 19, 44.f + j * 26, 17, 16);
            c.Fill(box, Holo(0.45f + 0.1f * ((i + j) % 3)));
            Path lines;
            lines.Line({36.f + i * 19, 48.f + j * 26}, {49.f + i * 19, 48.f + j * 26}, 0.5f);
            c.Fill(lines, Holo(0.8f));
        }
    }
    for (float y : {52.f, 78.f}) EngineGlow(c, {24, y}, 6, 4);
    Bloom(c);
}

void StarFreighter(Canvas& c) {
    SideShip(c, {{30, 56, 80}, {50, 40, 92}, {150, 38, 94}, {200, 50, 84}, {232, 62, 72}}, 48, 30,
             {54, 68, 82}, 6);
    Path bay;
    bay.RoundRect(80, 66, 50, 20, 3);
    c.Fill(bay, Holo(0.2f));
    Path cargoDoor;
    cargoDoor.Rect(82, 68, 46, 2).Rect(82, 82, 46, 2);
    c.Fill(cargoDoor, Holo(0.7f));
    Path antenna;
    antenna.Line({170, 42}, {176, 24}, 1).Circle(176, 24, 2);
    c.Fill(antenna, Holo(0.9f));
    Bloom(c);
}

void TrackingDisplay(Canvas& c) {
    const Vec2 centre{64, 64};
    Path scope;
    scope.Ring(64, 64, 56, 54.5f);
    for (int i = 1; i <= 3; ++i) scope.Ring(64, 64, 14.f * i + 0.4f, 14.f * i - 0.4f);
    scope.Line({8, 64}, {120, 64}, 0.6f).Line({64, 8}, {64, 120}, 0.6f);
    Lines(c, scope, Holo(0.7f), 1.5f);
    Path sweep;
    sweep.Polygon({centre,
                   {64 + 55 * std::cos(-0.9f), 64 + 55 * std::sin(-0.9f)},
                   {64 + 55 * std::cos(-0.4f), 64 + 55 * std::sin(-0.4f)}});
    c.Fill(sweep, Linear(centre, {110, 40}, {{0, Holo(0.6f, 0.2f)}, {1, Holo(0.8f, 0.7f)}}));
    Path blips;
    blips.Circle(94, 38, 2.5f).Circle(40, 90, 2).Circle(86, 86, 2);
    Glow(c, blips, Holo(0.9f), 3, 1.4f);
    c.Fill(blips, Holo(1));
    // The locked target of the close-up.
    Path target = Disc(centre, 6);
    c.Fill(target, Holo(0.75f));
    Path cross;
    cross.Ring(64, 64, 9, 7.5f).Line({52, 64}, {76, 64}, 1.2f).Line({64, 52}, {64, 76}, 1.2f);
    c.Fill(cross, Holo(1));
    Bloom(c);
}

void MaglevExpress(Canvas& c) {
    Path rail;
    rail.Rect(10, 92, 236, 5);
    c.Fill(rail, Holo(0.45f));
    Path pylons;
    for (int i = 0; i < 5; ++i)
        pylons.Polygon(
            {{30.f + i * 48, 97}, {36.f + i * 48, 97}, {40.f + i * 48, 118}, {26.f + i * 48, 118}});
    c.Fill(pylons, Holo(0.35f));
    for (int car = 0; car < 3; ++car) {
        const float x0 = 20 + car * 72.f;
        std::vector<Station> hull = {
            {x0, 70, 88}, {x0 + 4, 62, 88}, {x0 + 66, 62, 88}, {x0 + 68, 70, 88}};
        if (car == 2)
            hull = {{x0, 62, 88}, {x0 + 50, 62, 88}, {x0 + 68, 76, 88}, {x0 + 72, 86, 88}};
        const Path shape = HullPath(hull);
        ShadeHull(c, shape, 62, 88);
        Windows(c, x0 + 6, x0 + 50, 68, 7, 3.5f);
    }
    Path glow;
    glow.Rect(20, 89, 220, 2);
    Glow(c, glow, Holo(0.9f), 2, 1.5f);
    Bloom(c);
}

void WheelHabitat(Canvas& c) {
    const Vec2 centre{128, 128};
    Path rim;
    rim.Stroke(EllipsePoints(128, 128, 100, 60, -20), 14, true);
    c.Fill(rim, [&](float x, float y) {
        const float a = std::atan2(y - centre.y, x - centre.x);
        return Holo(0.55f + 0.3f * std::sin(a * 18) * 0.3f + 0.2f * std::cos(a - 2.4f));
    });
    Path windows;
    for (int i = 0; i < 36; ++i) {
        const float a = i * kPi / 18;
        const Vec2 p = centre + Rotated({100 * std::cos(a), 60 * std::sin(a)}, -20);
        windows.Circle(p.x, p.y, 1.5f);
    }
    c.Fill(windows, Holo(1));
    Path spokes;
    for (int i = 0; i < 4; ++i) {
        const float a = i * kPi / 2 + 0.4f;
        spokes.Line(centre, centre + Rotated({94 * std::cos(a), 56 * std::sin(a)}, -20), 3);
    }
    c.Fill(spokes, Holo(0.5f));
    Path hub = Disc(centre, 14);
    c.Fill(hub, Radial(centre + Vec2{-4, -4}, 18, {{0, Holo(1)}, {1, Holo(0.5f)}}));
    Path dock = Disc(centre, 4);
    c.Fill(dock, Holo(0.2f));
    Glow(c, dock, Holo(0.8f), 3, 1);
    Path mirror;
    mirror.Polygon({{100, 20}, {156, 20}, {150, 36}, {106, 36}});
    c.Fill(mirror, Holo(0.85f, 0.8f));
    Bloom(c);
}

void DeepSpaceProbe(Canvas& c) {
    Path body;
    body.Polygon({{46, 112}, {82, 112}, {92, 150}, {82, 188}, {46, 188}, {36, 150}});
    ShadeHull(c, body, 112, 188);
    Path boom;
    boom.Line({64, 180}, {64, 236}, 1.2f).Line({60, 150}, {32, 64}, 1.6f);
    c.Fill(boom, Holo(0.7f));
    Path rtg;
    rtg.RoundRect(58, 228, 12, 14, 3);
    c.Fill(rtg, Holo(0.6f));
    // The antenna of the close-up.
    Path dish;
    dish.Ellipse(32, 64, 28, 11, -60);
    c.Fill(dish, Radial({28, 60}, 24, {{0, Holo(1)}, {1, Holo(0.45f)}}));
    Sparkle(c, {32, 64}, 8, Holo(1));
    Path panel;
    panel.Rect(88, 134, 30, 30).Rect(10, 134, 30, 30);
    c.Fill(panel, Holo(0.55f));
    Rng rng(271);
    Stars(c, rng, 40, 10, 10, 118, 246);
    Bloom(c);
}

void SkyhookElevator(Canvas& c) {
    Planet(c, {{64, 300}, 80, Surface::Ocean, 270, {-0.4f, -1}, 0.8f});
    Path tether;
    tether.Line({64, 222}, {64, 18}, 1.4f);
    c.Fill(tether, Linear({0, 18}, {0, 222}, {{0, Holo(0.9f)}, {1, Holo(0.6f)}}));
    Path station;
    station.RoundRect(44, 24, 40, 14, 4).Rect(28, 29, 72, 4);
    ShadeHull(c, station, 24, 38);
    Path climbers;
    climbers.RoundRect(59, 90, 10, 8, 2).RoundRect(59, 160, 10, 8, 2);
    c.Fill(climbers, Holo(1));
    Glow(c, climbers, Holo(0.8f), 3, 1.2f);
    Rng rng(2700);
    Stars(c, rng, 30, 10, 10, 118, 200);
    FadeOutsideBox(c, 3, 3, 125, 253, 10);
    Bloom(c);
}

void DerelictCruiser(Canvas& c) {
    c.Clip([] {
        Path keep;
        keep.Rect(0, 0, 256, 256)
            .Polygon({{130, 60}, {160, 110}, {140, 140}, {170, 200}, {120, 200}, {110, 120}}, true);
        return keep;
    }());
    SideShip(c, {{20, 110, 140}, {40, 98, 150}, {120, 92, 156}, {200, 100, 146}, {236, 116, 132}},
             104, 20, {}, 0);
    c.ClearClip();
    Path debris;
    Rng rng(280);
    for (int i = 0; i < 18; ++i) {
        const Vec2 p{rng.Range(110, 170), rng.Range(60, 200)};
        const float s = rng.Range(1.5f, 5);
        debris.Polygon({p, p + Vec2{s, s * 0.4f}, p + Vec2{s * 0.2f, s}});
    }
    c.Fill(debris, Holo(0.6f));
    Path sparks;
    sparks.Circle(126, 120, 2).Circle(146, 150, 1.5f);
    Glow(c, sparks, Holo(0.9f), 4, 1.5f);
    Rng stars(281);
    Stars(c, stars, 40, 10, 10, 246, 246);
    Bloom(c);
}

void HoverBike(Canvas& c) {
    SideShip(c, {{40, 120, 150}, {70, 106, 156}, {170, 112, 156}, {214, 130, 150}}, 118, 40, {134},
             8);
    Path seat;
    seat.RoundRect(96, 96, 50, 12, 5);
    c.Fill(seat, Holo(0.45f));
    Path bars;
    bars.Stroke({{170, 112}, {186, 86}, {200, 84}}, 3);
    c.Fill(bars, Holo(0.75f));
    Path field;
    field.Ellipse(120, 178, 80, 6);
    Glow(c, field, Holo(0.8f), 5, 1.4f);
    c.Fill(field, Holo(0.7f, 0.6f));
    Bloom(c);
}

void RocketOnPad(Canvas& c) {
    Path tower;
    tower.Rect(92, 40, 8, 190);
    for (int i = 0; i < 12; ++i) tower.Line({92, 46.f + i * 15}, {100, 54.f + i * 15}, 0.8f);
    c.Fill(tower, Holo(0.45f));
    Path rocket = Mirrored({{56, 24}, {62, 40}, {66, 70}, {66, 196}, {78, 220}}, 56);
    c.Fill(rocket, Linear({44, 0}, {68, 0}, {{0, Holo(1)}, {1, Holo(0.45f)}}));
    Path bands;
    bands.Rect(46, 90, 20, 3).Rect(46, 150, 20, 3);
    c.Fill(bands, Holo(0.3f));
    Path pad;
    pad.Rect(20, 226, 92, 10).Polygon({{30, 236}, {100, 236}, {92, 246}, {38, 246}});
    c.Fill(pad, Holo(0.55f));
    Path steam;
    Rng rng(231);
    for (int i = 0; i < 16; ++i)
        steam.Circle(rng.Range(24, 104), rng.Range(220, 238), rng.Range(3, 7));
    c.Fill(steam, Holo(0.85f, 0.5f));
    Bloom(c);
}

void CanyonFlight(Canvas& c) {
    Path left = Ridge(8, 248, 122, 90, 3, 268);
    FillRidge(c, left, 30, 122, 0.6f);
    Path floor;
    floor.Polygon({{8, 122}, {248, 122}, {248, 118}, {8, 110}});
    c.Fill(floor, Holo(0.35f));
    // The fighter of the close-up, low over the canyon floor.
    Path wings = Mirrored({{177, 104}, {184, 114}, {188, 118}, {180, 116}}, 177);
    c.Fill(wings, Holo(1));
    EngineGlow(c, {177, 118}, 3, 1.5f);
    Path trail;
    trail.Line({177, 120}, {120, 124}, 0.8f);
    c.Fill(trail, Holo(0.8f, 0.6f));
    FadeOutsideBox(c, 4, 4, 252, 124, 8);
    Bloom(c);
}

void DockingClampPlan(Canvas& c) {
    Blueprint(c, 6, 6, 122, 122);
    Path clamp;
    clamp.Arc(64, 64, 34, 200, 340, 6).Arc(64, 64, 34, 20, 160, 6);
    Lines(c, clamp, Holo(0.85f));
    Path jaws;
    jaws.Rect(24, 58, 14, 12).Rect(90, 58, 14, 12);
    c.Fill(jaws, Holo(0.6f));
    Path hatch = Disc({64, 64}, 14);
    c.Fill(hatch, Holo(0.4f));
    Path dims;
    dims.Line({30, 108}, {98, 108}, 0.6f)
        .Line({30, 104}, {30, 112}, 0.6f)
        .Line({98, 104}, {98, 112}, 0.6f);
    c.Fill(dims, Holo(0.9f));
    Label(c, "2.4 M", 52, 104, 7);
    Bloom(c, 2, 0.4f);
}

void FusionCell(Canvas& c) {
    const Vec2 centre{64, 64};
    for (int i = 0; i < 3; ++i) {
        Path orbit;
        orbit.Stroke(EllipsePoints(64, 64, 50, 16, i * 60.f), 1.2f, true);
        c.Fill(orbit, Holo(0.75f, 0.85f));
        const float a = i * 2.1f;
        const Vec2 e = centre + Rotated({50 * std::cos(a), 16 * std::sin(a)}, i * 60.f);
        Path electron = Disc(e, 3);
        Glow(c, electron, Holo(0.9f), 3, 1.3f);
        c.Fill(electron, Holo(1));
    }
    Path core = Disc(centre, 10);
    Glow(c, core, Holo(0.9f), 8, 1.6f);
    c.Fill(core, Radial(centre, 10, {{0, Holo(1)}, {1, Holo(0.7f)}}));
    Bloom(c);
}
