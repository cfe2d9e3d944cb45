// Figures, robots and creatures.
#include <cmath>

#include "kit.h"
#include "pictures.h"

namespace {

// A band along the points whose width runs from w0 to w1.
Path Tapered(const std::vector<Vec2>& pts, float w0, float w1) {
    std::vector<Vec2> left, right;
    for (size_t i = 0; i < pts.size(); ++i) {
        const Vec2 a = pts[i > 0 ? i - 1 : 0], b = pts[i + 1 < pts.size() ? i + 1 : i];
        const Vec2 d = b - a;
        const float len = std::max(0.001f, Length(d));
        const float w = (w0 + (w1 - w0) * i / std::max<size_t>(1, pts.size() - 1)) / 2;
        const Vec2 n{-d.y / len * w, d.x / len * w};
        left.push_back(pts[i] + n);
        right.push_back(pts[i] - n);
    }
    left.insert(left.end(), right.rbegin(), right.rend());
    Path p;
    p.Polygon(left);
    return p;
}

std::vector<Vec2> Curve(Vec2 a, Vec2 control, Vec2 b, int steps = 16) {
    std::vector<Vec2> pts;
    for (int i = 0; i <= steps; ++i) {
        const float t = static_cast<float>(i) / steps, u = 1 - t;
        pts.push_back(a * (u * u) + control * (2 * u * t) + b * (t * t));
    }
    return pts;
}

// Side-lit fill: bright on the left of the shape's span, dark on the right.
Paint SideLit(float x0, float x1, float hi = 0.95f, float lo = 0.35f) {
    return Linear({x0, 0}, {x1, 0}, {{0, Holo(hi)}, {1, Holo(lo)}});
}

struct Figure {
    float cx, top, height;
    bool helmet = false, hood = false, cape = false, backpack = false, robotic = false,
         bulky = false;
};

void DrawFigure(Canvas& c, const Figure& f) {
    const float u = f.height / 8, cx = f.cx, t = f.top;
    const float bulk = f.bulky ? 1.35f : 1;
    const float x0 = cx - 1.3f * u * bulk, x1 = cx + 1.3f * u * bulk;
    if (f.cape || f.hood) {
        Path cape;
        cape.Polygon({{cx - 0.9f * u, t + 1.2f * u},
                      {cx + 0.9f * u, t + 1.2f * u},
                      {cx + 1.7f * u, t + 7.4f * u},
                      {cx - 1.7f * u, t + 7.4f * u}});
        c.Fill(cape, SideLit(cx - 1.7f * u, cx + 1.7f * u, 0.7f, 0.25f));
    }
    if (f.backpack) {
        Path pack;
        pack.RoundRect(cx - 1.25f * u * bulk, t + 1.3f * u, 2.5f * u * bulk, 2.4f * u, 0.3f * u);
        c.Fill(pack, SideLit(x0, x1, 0.6f, 0.25f));
    }
    // Legs and boots.
    for (float side : {-1.f, 1.f}) {
        Path leg = Tapered({{cx + side * 0.38f * u, t + 4.0f * u},
                            {cx + side * 0.45f * u, t + 5.9f * u},
                            {cx + side * 0.45f * u, t + 7.5f * u}},
                           0.75f * u * bulk, 0.5f * u * bulk);
        c.Fill(leg, SideLit(x0, x1, 0.8f, 0.3f));
        Path boot;
        boot.RoundRect(cx + side * 0.45f * u - 0.35f * u * bulk, t + 7.35f * u,
                       0.7f * u * bulk + side * 0.1f * u, 0.65f * u, 0.2f * u);
        c.Fill(boot, Holo(0.55f));
        if (f.robotic) c.Fill(Disc({cx + side * 0.43f * u, t + 5.9f * u}, 0.25f * u), Holo(0.95f));
    }
    // Torso.
    Path torso;
    torso.Polygon({{cx - 0.95f * u * bulk, t + 1.3f * u},
                   {cx + 0.95f * u * bulk, t + 1.3f * u},
                   {cx + 0.65f * u * bulk, t + 3.7f * u},
                   {cx + 0.72f * u * bulk, t + 4.2f * u},
                   {cx - 0.72f * u * bulk, t + 4.2f * u},
                   {cx - 0.65f * u * bulk, t + 3.7f * u}});
    c.Fill(torso, SideLit(x0, x1));
    Path belt;
    belt.Rect(cx - 0.7f * u * bulk, t + 3.55f * u, 1.4f * u * bulk, 0.28f * u);
    c.Fill(belt, Holo(0.3f));
    Path chest;
    chest.Line({cx - 0.6f * u, t + 1.6f * u}, {cx + 0.4f * u, t + 3.4f * u}, 0.12f * u);
    chest.RoundRect(cx + 0.15f * u, t + 1.8f * u, 0.5f * u, 0.35f * u, 0.1f * u);
    c.Fill(chest, Holo(f.robotic ? 0.95f : 0.25f));
    // Arms.
    for (float side : {-1.f, 1.f}) {
        Path arm = Tapered({{cx + side * 0.95f * u * bulk, t + 1.5f * u},
                            {cx + side * 1.15f * u * bulk, t + 3.0f * u},
                            {cx + side * 1.05f * u * bulk, t + 4.2f * u}},
                           0.55f * u * bulk, 0.4f * u * bulk);
        c.Fill(arm, SideLit(x0, x1, 0.85f, 0.3f));
        c.Fill(Disc({cx + side * 1.05f * u * bulk, t + 4.35f * u}, 0.26f * u * bulk), Holo(0.7f));
        if (f.robotic)
            c.Fill(Disc({cx + side * 1.15f * u * bulk, t + 3.0f * u}, 0.22f * u), Holo(0.95f));
    }
    // Head.
    const Vec2 head{cx, t + 0.55f * u};
    Path neck;
    neck.Rect(cx - 0.2f * u, t + 0.9f * u, 0.4f * u, 0.5f * u);
    c.Fill(neck, Holo(0.5f));
    if (f.robotic) {
        Path skull;
        skull.RoundRect(cx - 0.5f * u, t, u, 1.0f * u, 0.35f * u);
        c.Fill(skull, SideLit(cx - 0.5f * u, cx + 0.5f * u));
        Path eyes;
        eyes.RoundRect(cx - 0.35f * u, t + 0.35f * u, 0.7f * u, 0.16f * u, 0.08f * u);
        Glow(c, eyes, Holo(0.9f), 0.2f * u + 1, 1.5f);
        c.Fill(eyes, Holo(1));
        Path antenna;
        antenna.Line({cx + 0.2f * u, t}, {cx + 0.35f * u, t - 0.6f * u}, 0.08f * u + 0.6f);
        c.Fill(antenna, Holo(0.8f));
        Sparkle(c, {cx + 0.35f * u, t - 0.6f * u}, 0.3f * u + 2, Holo(1));
    } else if (f.hood) {
        Path hood;
        hood.Polygon({{cx, t - 0.3f * u},
                      {cx + 0.7f * u, t + 0.5f * u},
                      {cx + 0.8f * u, t + 1.4f * u},
                      {cx - 0.8f * u, t + 1.4f * u},
                      {cx - 0.7f * u, t + 0.5f * u}});
        c.Fill(hood, SideLit(cx - 0.8f * u, cx + 0.8f * u, 0.75f, 0.3f));
        Path face;
        face.Ellipse(head.x, head.y + 0.2f * u, 0.38f * u, 0.45f * u);
        c.Fill(face, Holo(0.08f));
        Path eyes;
        eyes.Circle(head.x - 0.15f * u, head.y + 0.15f * u, 0.06f * u + 0.4f)
            .Circle(head.x + 0.15f * u, head.y + 0.15f * u, 0.06f * u + 0.4f);
        c.Fill(eyes, Holo(1));
    } else {
        const float r = f.helmet ? 0.62f * u * (f.bulky ? 1.2f : 1) : 0.48f * u;
        c.Fill(Disc(head, r), Radial(head + Vec2{-r * 0.4f, -r * 0.4f}, r * 1.6f,
                                     {{0, Holo(1)}, {1, Holo(0.4f)}}));
        if (f.helmet) {
            Path visor;
            visor.Ellipse(head.x + 0.1f * r, head.y + 0.1f * r, r * 0.75f, r * 0.45f);
            c.Fill(visor, Linear({0, head.y - r * 0.4f}, {0, head.y + r * 0.6f},
                                 {{0, Holo(0.15f)}, {0.5f, Holo(0.45f)}, {1, Holo(0.1f)}}));
            Path glint;
            glint.Ellipse(head.x - 0.2f * r, head.y - 0.05f * r, r * 0.25f, r * 0.1f, -20);
            c.Fill(glint, Holo(1, 0.9f));
        }
    }
}
}  // namespace

void FlightSuitScout(Canvas& c) {
    DrawFigure(c, {64, 26, 210, true});
    Path patch;
    patch.Circle(42, 90, 4);
    c.Fill(patch, Holo(0.95f));
    Bloom(c);
}

void DesertNomad(Canvas& c) {
    Path staff;
    staff.Line({100, 20}, {96, 240}, 2.5f);
    c.Fill(staff, Holo(0.6f));
    Path crook;
    crook.Arc(92, 24, 8, 180, 360, 2.5f);
    c.Fill(crook, Holo(0.6f));
    DrawFigure(c, {62, 30, 206, false, true, true});
    Sparkle(c, {88, 18}, 6, Holo(1));
    Bloom(c);
}

void EvaEngineer(Canvas& c) {
    Path tether;
    tether.Stroke(Curve({30, 110}, {6, 180}, {20, 244}), 1);
    c.Fill(tether, Holo(0.7f));
    DrawFigure(c, {64, 30, 200, true, false, false, true, false, true});
    Path tool;
    tool.RoundRect(92, 118, 10, 20, 2).Line({97, 138}, {97, 150}, 2);
    c.Fill(tool, Holo(0.9f));
    Sparkle(c, {97, 152}, 6, Holo(1));
    Bloom(c);
}

void ColonyGuard(Canvas& c) {
    DrawFigure(c, {58, 28, 210, true});
    Path pads;
    pads.Ellipse(33, 72, 12, 7, -15).Ellipse(83, 72, 12, 7, 15);
    c.Fill(pads, Holo(0.75f));
    Path shield;
    shield.Polygon({{84, 100}, {120, 100}, {118, 150}, {102, 172}, {86, 150}});
    c.Fill(shield, Linear({84, 0}, {120, 0}, {{0, Holo(0.9f, 0.85f)}, {1, Holo(0.45f, 0.85f)}}));
    Path emblem;
    emblem.Polygon({{102, 112}, {110, 130}, {102, 150}, {94, 130}});
    c.Fill(emblem, Holo(0.2f));
    Bloom(c);
}

void EnvoyAndroid(Canvas& c) {
    DrawFigure(c, {64, 34, 206, false, false, false, false, true});
    Bloom(c);
}

void GuardianStatue(Canvas& c) {
    Path plinth;
    plinth.Rect(24, 214, 80, 12).Rect(30, 226, 68, 20);
    c.Fill(plinth, SideLit(24, 104, 0.7f, 0.3f));
    DrawFigure(c, {64, 24, 190, true, false, true});
    Path sword;
    sword.Polygon({{60, 128}, {68, 128}, {66, 214}, {62, 214}});
    sword.Rect(52, 124, 24, 4);
    c.Fill(sword, Holo(0.9f));
    c.Fade([](float x, float y) {
        return Color{0, 0, 0, 0.85f + 0.15f * Fbm(x * 0.2f, y * 0.2f, 224)};
    });
    Bloom(c);
}

void SurveyRobot(Canvas& c) {
    Path wheel = Disc({64, 226}, 16);
    c.Fill(wheel, Radial({60, 222}, 18, {{0, Holo(0.8f)}, {1, Holo(0.3f)}}));
    Path hub = Disc({64, 226}, 5);
    c.Fill(hub, Holo(0.95f));
    Path body;
    body.RoundRect(44, 90, 40, 120, 14);
    c.Fill(body, SideLit(44, 84));
    Path bands;
    bands.Rect(44, 120, 40, 3).Rect(44, 170, 40, 3);
    c.Fill(bands, Holo(0.25f));
    Path neck;
    neck.Rect(60, 60, 8, 32);
    c.Fill(neck, Holo(0.55f));
    Path head;
    head.RoundRect(40, 30, 48, 30, 10);
    c.Fill(head, SideLit(40, 88));
    Path lens = Disc({72, 45}, 8);
    c.Fill(lens, Holo(0.15f));
    Glow(c, Disc({72, 45}, 4), Holo(0.9f), 3, 1.4f);
    c.Fill(Disc({72, 45}, 4), Holo(1));
    Path arm;
    arm.Stroke({{84, 130}, {104, 150}, {100, 176}}, 5);
    c.Fill(arm, Holo(0.6f));
    Path probe;
    probe.Polygon({{96, 176}, {104, 176}, {100, 190}});
    c.Fill(probe, Holo(0.95f));
    Bloom(c);
}

void MaintenanceRobot(Canvas& c) {
    Path treads;
    treads.RoundRect(26, 214, 76, 26, 12);
    c.Fill(treads, Holo(0.35f));
    Path wheels;
    for (int i = 0; i < 5; ++i) wheels.Circle(38.f + i * 13, 227, 5);
    c.Fill(wheels, Holo(0.7f));
    Path body;
    body.RoundRect(30, 110, 68, 100, 8);
    c.Fill(body, SideLit(30, 98));
    Path panel;
    panel.RoundRect(40, 126, 30, 40, 4);
    c.Fill(panel, Holo(0.25f));
    Path lights;
    for (int i = 0; i < 3; ++i) lights.Circle(48.f + i * 8, 134, 2);
    c.Fill(lights, Holo(1));
    Path head;
    head.RoundRect(40, 70, 48, 36, 12);
    c.Fill(head, SideLit(40, 88));
    Path eyes;
    eyes.Circle(54, 88, 6).Circle(74, 88, 6);
    c.Fill(eyes, Holo(0.15f));
    c.Fill(Disc({54, 88}, 3), Holo(1));
    c.Fill(Disc({74, 88}, 3), Holo(1));
    Path arms;
    arms.Stroke({{30, 130}, {14, 160}, {18, 190}}, 6)
        .Stroke({{98, 130}, {114, 150}, {112, 176}}, 6);
    c.Fill(arms, Holo(0.6f));
    Path claws;
    claws.Polygon({{12, 190}, {24, 190}, {26, 200}, {18, 196}, {10, 200}});
    claws.Polygon({{106, 176}, {118, 176}, {120, 186}, {112, 182}, {104, 186}});
    c.Fill(claws, Holo(0.9f));
    Bloom(c);
}

void CyclopsSentry(Canvas& c) {
    Path legs;
    legs.Line({64, 170}, {24, 240}, 5).Line({64, 170}, {104, 240}, 5).Line({64, 170}, {64, 244}, 5);
    c.Fill(legs, Holo(0.5f));
    Path column;
    column.Polygon({{48, 70}, {80, 70}, {74, 176}, {54, 176}});
    c.Fill(column, SideLit(48, 80));
    Path headShell = Disc({64, 58}, 34);
    c.Fill(headShell, Radial({52, 46}, 44, {{0, Holo(0.95f)}, {1, Holo(0.3f)}}));
    Path eye = Disc({64, 58}, 16);
    c.Fill(eye, Holo(0.1f));
    Path iris = Disc({64, 58}, 9);
    Glow(c, iris, Holo(0.9f), 6, 1.6f);
    c.Fill(iris, Radial({64, 58}, 9, {{0, Holo(1)}, {1, Holo(0.7f)}}));
    Path fins;
    fins.Polygon({{30, 50}, {16, 30}, {34, 40}}).Polygon({{98, 50}, {112, 30}, {94, 40}});
    c.Fill(fins, Holo(0.7f));
    Bloom(c);
}

void CargoLoaderMech(Canvas& c) {
    for (float side : {-1.f, 1.f}) {
        Path leg =
            Tapered({{64 + side * 16, 150}, {64 + side * 30, 192}, {64 + side * 22, 232}}, 14, 10);
        c.Fill(leg, SideLit(24, 104, 0.8f, 0.3f));
        Path foot;
        foot.RoundRect(64 + side * 22 - 16, 230, 32, 10, 4);
        c.Fill(foot, Holo(0.5f));
    }
    Path cage;
    cage.RoundRect(36, 70, 56, 80, 10);
    c.Fill(cage, SideLit(36, 92, 0.7f, 0.25f));
    Path bars;
    for (int i = 0; i < 4; ++i) bars.Line({46.f + i * 12, 78}, {46.f + i * 12, 120}, 1.5f);
    c.Fill(bars, Holo(0.95f));
    Path pilot = Disc({64, 100}, 7);
    c.Fill(pilot, Holo(0.6f));
    for (float side : {-1.f, 1.f}) {
        Path arm;
        arm.Stroke({{64 + side * 28, 90}, {64 + side * 46, 120}, {64 + side * 44, 160}}, 9);
        c.Fill(arm, Holo(0.55f));
        Path fork;
        fork.Rect(64 + side * 44 - 3, 160, 6, 24)
            .Rect(side < 0 ? 64 + side * 44 - 3 : 64 + side * 44 - 15, 180, 18, 4);
        c.Fill(fork, Holo(0.85f));
    }
    Path lamp = Disc({64, 62}, 5);
    Glow(c, lamp, Holo(0.9f), 5, 1.5f);
    c.Fill(lamp, Holo(1));
    Bloom(c);
}

void StiltWalker(Canvas& c) {
    const Vec2 body{64, 60};
    for (int i = 0; i < 4; ++i) {
        const float side = i < 2 ? -1.f : 1.f, spread = (i % 2 ? 0.5f : 1.f);
        const Vec2 knee = body + Vec2{side * (30 + 10 * spread), -6};
        const Vec2 foot{64 + side * (18 + 34 * spread), 244};
        Path leg = Tapered({body, knee, foot}, 5, 2);
        c.Fill(leg, Holo(0.45f + 0.3f * spread));
    }
    Path shell;
    shell.Ellipse(body.x, body.y, 30, 18);
    c.Fill(shell, Radial(body + Vec2{-8, -8}, 34, {{0, Holo(0.95f)}, {1, Holo(0.3f)}}));
    Path eyes;
    eyes.Circle(56, 64, 3).Circle(72, 64, 3);
    Glow(c, eyes, Holo(0.9f), 3, 1.4f);
    c.Fill(eyes, Holo(1));
    Path feelers;
    feelers.Stroke(Curve({58, 46}, {50, 20}, {36, 16}), 1.2f)
        .Stroke(Curve({70, 46}, {78, 20}, {92, 16}), 1.2f);
    c.Fill(feelers, Holo(0.8f));
    Bloom(c);
}

void RepairDrone(Canvas& c) {
    const Vec2 centre{192, 55};
    Path arms;
    arms.Stroke({{180, 70}, {150, 92}, {130, 84}}, 4).Stroke({{204, 72}, {220, 98}, {210, 112}}, 4);
    c.Fill(arms, Holo(0.55f));
    Path tools;
    tools.Polygon({{130, 78}, {120, 84}, {130, 90}}).Rect(206, 110, 8, 8);
    c.Fill(tools, Holo(0.9f));
    Path shell = Disc(centre, 30);
    c.Fill(shell, Radial(centre + Vec2{-10, -10}, 40, {{0, Holo(0.95f)}, {1, Holo(0.25f)}}));
    Path ring;
    ring.Stroke(EllipsePoints(centre.x, centre.y, 38, 9, -10), 2.5f, true);
    c.Fill(ring, Holo(0.7f));
    // The sensor eye of the close-up.
    Path eye = Disc(centre, 9);
    c.Fill(eye, Holo(0.1f));
    Glow(c, Disc(centre, 5), Holo(0.9f), 4, 1.5f);
    c.Fill(Disc(centre, 5), Holo(1));
    // The hull it is patching.
    Path hull;
    hull.Polygon({{14, 70}, {110, 60}, {120, 118}, {14, 118}});
    ShadeHull(c, hull, 60, 118, 0.8f);
    Path weld;
    weld.Line({110, 84}, {118, 90}, 2);
    Glow(c, weld, Holo(0.95f), 4, 1.6f);
    Bloom(c);
}

void ReefSerpent(Canvas& c) {
    std::vector<Vec2> spine;
    for (int i = 0; i <= 60; ++i) {
        const float t = static_cast<float>(i) / 60;
        spine.push_back(
            {32 + t * 168, 160 + std::sin(t * 2.6f * kPi) * 50 * (1 - t * 0.4f) - t * 70});
    }
    Path body = Tapered(spine, 10, 44);
    c.Fill(body, [&](float x, float y) {
        return Holo(0.45f + 0.3f * std::sin(x * 0.3f + y * 0.1f) * 0.4f +
                    0.25f * Fbm(x * 0.1f, y * 0.1f, 209));
    });
    Path fins;
    for (int i = 10; i < 55; i += 9) {
        const Vec2 p = spine[i], q = spine[i + 2];
        fins.Polygon({p + Vec2{0, -12}, q + Vec2{6, -34}, q + Vec2{2, -12}});
    }
    c.Fill(fins, Holo(0.8f, 0.8f));
    const Vec2 head = spine.back();
    Path skull;
    skull.Ellipse(head.x + 10, head.y, 28, 19, -20);
    c.Fill(skull, Radial(head, 24, {{0, Holo(0.95f)}, {1, Holo(0.45f)}}));
    Path eye = Disc(head + Vec2{18, -6}, 3.5f);
    Glow(c, eye, Holo(0.9f), 3, 1.5f);
    c.Fill(eye, Holo(1));
    Path bubbles;
    Rng rng(209);
    for (int i = 0; i < 14; ++i) bubbles.Ring(rng.Range(150, 230), rng.Range(20, 90), 2.5f, 1.6f);
    c.Fill(bubbles, Holo(0.8f, 0.8f));
    Bloom(c);
}

void DriftingSkyJelly(Canvas& c) {
    Path bell;
    std::vector<Vec2> pts;
    for (int i = 0; i <= 32; ++i) {
        const float a = kPi + kPi * i / 32;
        pts.push_back({64 + 48 * std::cos(a), 74 + 46 * std::sin(a)});
    }
    for (int i = 0; i <= 8; ++i) pts.push_back({112 - i * 12.f, 74 + (i % 2 ? 8.f : 0)});
    bell.Polygon(pts);
    c.Fill(bell, Radial({56, 46}, 60, {{0, Holo(0.95f, 0.95f)}, {1, Holo(0.35f, 0.8f)}}));
    for (int i = 0; i < 7; ++i) {
        const float x = 28 + i * 12.f;
        std::vector<Vec2> tentacle;
        for (int k = 0; k <= 20; ++k)
            tentacle.push_back({x + 6 * std::sin(k * 0.45f + i), 78 + k * 8.f});
        Path t = Tapered(tentacle, 3, 0.8f);
        c.Fill(t, Holo(0.75f, 0.85f));
    }
    Path spots;
    for (int i = 0; i < 6; ++i) spots.Circle(40 + i * 10.f, 52 + (i % 2) * 10.f, 2.5f);
    Glow(c, spots, Holo(0.9f), 3, 1.3f);
    c.Fill(spots, Holo(1));
    Bloom(c);
}

void VoidWhale(Canvas& c) {
    std::vector<Vec2> spine;
    for (int i = 0; i <= 40; ++i) {
        const float t = static_cast<float>(i) / 40;
        spine.push_back({230 - t * 200, 64 + std::sin(t * kPi) * 8 - t * 6});
    }
    Path body;
    {
        std::vector<Vec2> top, bottom;
        for (size_t i = 0; i < spine.size(); ++i) {
            const float t = static_cast<float>(i) / 40;
            const float w = 30 * std::sin(std::pow(t, 0.7f) * kPi) + 2;
            top.push_back(spine[i] + Vec2{0, -w * 0.8f});
            bottom.push_back(spine[i] + Vec2{0, w});
        }
        top.insert(top.end(), bottom.rbegin(), bottom.rend());
        body.Polygon(top);
    }
    c.Fill(body, Linear({0, 34}, {0, 96}, {{0, Holo(0.9f)}, {0.5f, Holo(0.55f)}, {1, Holo(0.3f)}}));
    Path tail;
    tail.Polygon({{34, 58}, {10, 40}, {22, 58}, {10, 78}});
    c.Fill(tail, Holo(0.6f));
    Path fin;
    fin.Polygon({{150, 80}, {128, 110}, {124, 84}});
    c.Fill(fin, Holo(0.5f));
    Path grooves;
    for (int i = 0; i < 6; ++i)
        grooves.Line({200.f - i * 6, 76.f + i}, {150.f - i * 10, 88.f + i}, 0.7f);
    c.Fill(grooves, Holo(0.8f, 0.6f));
    Path lights;
    for (int i = 0; i < 12; ++i) lights.Circle(200 - i * 13.f, 56 + (i % 3) * 4.f, 1.6f);
    Glow(c, lights, Holo(0.9f), 2.5f, 1.4f);
    c.Fill(lights, Holo(1));
    Path eye = Disc({206, 62}, 2.5f);
    c.Fill(eye, Holo(1));
    Rng rng(235);
    Stars(c, rng, 30, 10, 8, 246, 120);
    Bloom(c);
}

void MarshLurker(Canvas& c) {
    Path water;
    water.Ellipse(64, 96, 56, 12);
    c.Fill(water, Holo(0.3f, 0.8f));
    Path ripples;
    ripples.Stroke(EllipsePoints(64, 94, 48, 9), 0.8f, true)
        .Stroke(EllipsePoints(64, 94, 36, 6), 0.8f, true);
    c.Fill(ripples, Holo(0.8f, 0.8f));
    Path head;
    head.Ellipse(64, 78, 40, 20);
    head.Rect(24, 78, 80, 16);
    c.Fill(head, [&](float x, float y) {
        return Holo(0.35f + 0.4f * Fbm(x * 0.15f, y * 0.15f, 241) - (y - 58) * 0.004f);
    });
    for (float x : {44.f, 84.f}) {
        Path bulge = Disc({x, 58}, 12);
        c.Fill(bulge, Holo(0.55f));
        Path eye;
        eye.Ellipse(x, 58, 7, 5);
        c.Fill(eye, Holo(0.95f));
        Path slit;
        slit.Ellipse(x, 58, 1.5f, 4.5f);
        c.Fill(slit, Holo(0.05f));
    }
    Path reeds;
    reeds.Stroke(Curve({14, 100}, {10, 60}, {20, 24}), 1.5f)
        .Stroke(Curve({112, 100}, {118, 60}, {108, 30}), 1.5f);
    c.Fill(reeds, Holo(0.6f));
    Bloom(c);
}

void PilotHelmet(Canvas& c) {
    Path shell;
    shell.Ellipse(64, 62, 44, 42);
    c.Fill(shell, Radial({50, 44}, 60, {{0, Holo(1)}, {1, Holo(0.3f)}}));
    Path visor;
    visor.Polygon({{34, 56}, {104, 50}, {106, 78}, {40, 84}});
    c.Fill(visor,
           Linear({0, 50}, {0, 84}, {{0, Holo(0.1f)}, {0.4f, Holo(0.45f)}, {1, Holo(0.12f)}}));
    Path stripe;
    stripe.Arc(64, 62, 40, 200, 320, 4);
    c.Fill(stripe, Holo(0.2f));
    Path collar;
    collar.RoundRect(34, 100, 60, 14, 5);
    c.Fill(collar, Holo(0.5f));
    Path hose;
    hose.Stroke(Curve({94, 96}, {116, 104}, {112, 118}), 4);
    c.Fill(hose, Holo(0.6f));
    Sparkle(c, {86, 56}, 7, Holo(1));
    Bloom(c);
}

void WingedReptile(Canvas& c) {
    for (float side : {-1.f, 1.f}) {
        Path wing;
        wing.Polygon({{128, 120},
                      {128 + side * 50, 60},
                      {128 + side * 110, 44},
                      {128 + side * 96, 86},
                      {128 + side * 104, 120},
                      {128 + side * 70, 114},
                      {128 + side * 60, 140}});
        c.Fill(wing, Linear({128, 0}, {128 + side * 110, 0},
                            {{0, Holo(0.6f, 0.9f)}, {1, Holo(0.35f, 0.85f)}}));
        Path bones;
        bones.Line({128 + side * 50, 60}, {128 + side * 96, 86}, 1)
            .Line({128 + side * 50, 60}, {128 + side * 70, 114}, 1);
        bones.Line({128, 120}, {128 + side * 50, 60}, 2)
            .Line({128 + side * 50, 60}, {128 + side * 110, 44}, 2);
        c.Fill(bones, Holo(0.9f));
    }
    Path tail = Tapered(Curve({128, 150}, {150, 220}, {96, 236}), 14, 2);
    c.Fill(tail, Holo(0.55f));
    Path body;
    body.Ellipse(128, 134, 16, 28);
    c.Fill(body, SideLit(112, 144));
    Path neck = Tapered(Curve({128, 110}, {124, 86}, {136, 70}), 12, 8);
    c.Fill(neck, Holo(0.65f));
    Path head;
    head.Polygon({{132, 62}, {150, 60}, {160, 70}, {140, 74}, {130, 72}});
    c.Fill(head, Holo(0.8f));
    Path horn;
    horn.Polygon({{134, 62}, {126, 46}, {140, 60}});
    c.Fill(horn, Holo(0.95f));
    Path eye = Disc({144, 65}, 1.8f);
    c.Fill(eye, Holo(0.05f));
    Bloom(c);
}

void ArmouredBeetle(Canvas& c) {
    for (int i = 0; i < 3; ++i) {
        for (float side : {-1.f, 1.f}) {
            Path leg;
            const float y = 130 + i * 26.f;
            leg.Stroke({{128 + side * 40, y},
                        {128 + side * (82 + i * 6), y - 20 + i * 10},
                        {128 + side * (100 + i * 8), y + 40}},
                       5);
            c.Fill(leg, Holo(0.45f));
        }
    }
    Path shell;
    shell.Ellipse(128, 160, 58, 70);
    c.Fill(shell, Radial({110, 130}, 90, {{0, Holo(0.95f)}, {0.6f, Holo(0.5f)}, {1, Holo(0.25f)}}));
    Path seam;
    seam.Line({128, 100}, {128, 228}, 1.5f);
    for (int i = 0; i < 4; ++i) seam.Arc(128, 150, 30.f + i * 12, 200, 340, 1);
    c.Fill(seam, Holo(0.15f));
    Path head;
    head.Ellipse(128, 92, 30, 18);
    c.Fill(head, Holo(0.55f));
    Path horns;
    horns.Polygon({{112, 84}, {92, 40}, {118, 78}})
        .Polygon({{144, 84}, {164, 40}, {138, 78}})
        .Polygon({{124, 80}, {128, 30}, {132, 80}});
    c.Fill(horns, Linear({0, 30}, {0, 84}, {{0, Holo(1)}, {1, Holo(0.5f)}}));
    Path eyes;
    eyes.Circle(112, 94, 4).Circle(144, 94, 4);
    Glow(c, eyes, Holo(0.9f), 3, 1.5f);
    c.Fill(eyes, Holo(1));
    Bloom(c);
}

void MantaGlider(Canvas& c) {
    Path body = Mirrored({{64, 30}, {80, 44}, {118, 62}, {90, 70}, {72, 84}, {66, 90}}, 64);
    c.Fill(body, Linear({0, 30}, {0, 90}, {{0, Holo(0.95f)}, {1, Holo(0.35f)}}));
    Path tail;
    tail.Line({64, 88}, {64, 120}, 1.5f);
    c.Fill(tail, Holo(0.8f));
    Path fins;
    fins.Polygon({{58, 32}, {54, 20}, {62, 30}}).Polygon({{70, 32}, {74, 20}, {66, 30}});
    c.Fill(fins, Holo(0.8f));
    Path pattern;
    for (int i = 0; i < 5; ++i) pattern.Circle(64 + (i - 2) * 12.f, 58 + std::abs(i - 2) * 2.f, 2);
    Glow(c, pattern, Holo(0.9f), 2, 1.3f);
    c.Fill(pattern, Holo(1));
    Bloom(c);
}

void MaskFace(Canvas& c) {
    Path face;
    face.Polygon(
        {{64, 10}, {100, 24}, {108, 60}, {92, 100}, {64, 118}, {36, 100}, {20, 60}, {28, 24}});
    c.Fill(face, Radial({54, 44}, 80, {{0, Holo(0.9f)}, {1, Holo(0.3f)}}));
    Path eyes;
    eyes.Polygon({{34, 58}, {54, 52}, {58, 62}, {38, 66}})
        .Polygon({{94, 58}, {74, 52}, {70, 62}, {90, 66}});
    c.Fill(eyes, Holo(0.05f));
    Path mouth;
    mouth.Polygon({{50, 92}, {78, 92}, {64, 100}});
    c.Fill(mouth, Holo(0.1f));
    Path lines;
    lines.Line({64, 14}, {64, 30}, 1).Line({30, 30}, {44, 44}, 1).Line({98, 30}, {84, 44}, 1);
    c.Fill(lines, Holo(0.2f));
    // The brow jewel of the close-up.
    Path jewel;
    jewel.Polygon({{64, 28}, {71, 36}, {64, 45}, {57, 36}});
    Glow(c, jewel, Holo(0.9f), 4, 1.5f);
    c.Fill(jewel, Linear({57, 28}, {71, 45}, {{0, Holo(1)}, {1, Holo(0.7f)}}));
    Bloom(c);
}

void GlowingTree(Canvas& c) {
    Rng rng(273);
    Path wood, leaves;
    struct Branch {
        Vec2 from;
        float angle, length, width;
        int depth;
    };
    std::vector<Branch> stack{{{64, 244}, -90, 66, 12, 0}};
    while (!stack.empty()) {
        const Branch b = stack.back();
        stack.pop_back();
        const Vec2 to = b.from + Rotated({b.length, 0}, b.angle);
        wood.Append(Tapered({b.from, (b.from + to) * 0.5f + Vec2{rng.Range(-3, 3), 0}, to}, b.width,
                            b.width * 0.65f));
        if (b.depth == 5) {
            leaves.Circle(to.x, to.y, rng.Range(3, 6));
            continue;
        }
        for (float turn : {-28.f, 24.f})
            stack.push_back({to, b.angle + turn + rng.Range(-8, 8), b.length * 0.7f,
                             b.width * 0.65f, b.depth + 1});
    }
    c.Fill(wood, SideLit(40, 90, 0.7f, 0.3f));
    Glow(c, leaves, HoloTeal(0.8f), 4, 1.4f);
    c.Fill(leaves, HoloTeal(0.95f, 0.9f));
    Path roots;
    roots.Stroke(Curve({64, 240}, {40, 244}, {24, 246}), 3)
        .Stroke(Curve({64, 240}, {90, 244}, {104, 246}), 3);
    c.Fill(roots, Holo(0.45f));
    FadeOutsideBox(c, 3, 3, 125, 253, 6);
    Bloom(c);
}
