// Planets, stars and other sights of open space.
#include <cmath>

#include "kit.h"
#include "pictures.h"

void RingedGasGiant(Canvas& c) {
    Rng rng(203);
    Stars(c, rng, 40, 150, 20, 240, 90);
    const Vec2 centre{150, 150};
    PlanetRings(c, centre, 110, 78, 0.26f, -18, false);
    Planet(c, {centre, 62, Surface::Gas, 31, {-0.7f, -0.5f}, 0.6f});
    PlanetRings(c, centre, 110, 78, 0.26f, -18, true);
    // The moon the close-up opens on.
    Planet(c, {{64, 64}, 15, Surface::Cratered, 5, {0.6f, 0.3f}, 0.3f});
    Bloom(c);
}

void RelaySatellite(Canvas& c) {
    const Vec2 body{128, 70};
    Path panels;
    for (float side : {-1.f, 1.f}) {
        for (int i = 0; i < 3; ++i) {
            const float x = body.x + side * (38 + i * 24) - (side < 0 ? 22 : 0);
            panels.Rect(x, body.y - 14, 22, 28);
        }
    }
    c.Fill(panels, Linear({0, 56}, {0, 84}, {{0, Holo(0.7f)}, {1, Holo(0.35f)}}));
    Path grid;
    for (float side : {-1.f, 1.f})
        for (int i = 0; i <= 12; ++i)
            grid.Line({body.x + side * (38 + i * 6), 56}, {body.x + side * (38 + i * 6), 84}, 0.6f);
    grid.Line({38, 70}, {218, 70}, 0.6f);
    c.Fill(grid, Holo(0.15f, 0.9f));
    Path boom;
    boom.Rect(body.x - 40, body.y - 2, 80, 4);
    c.Fill(boom, Holo(0.55f));
    Path core;
    core.RoundRect(body.x - 14, body.y - 20, 28, 40, 4);
    c.Fill(core, Linear({body.x - 14, 0}, {body.x + 14, 0}, {{0, Holo(0.85f)}, {1, Holo(0.3f)}}));
    // The antenna dish up at the close-up's point.
    Path mast;
    mast.Line({body.x - 6, body.y - 20}, {64, 32}, 2);
    c.Fill(mast, Holo(0.6f));
    Path dish;
    dish.Ellipse(64, 32, 16, 6, -35);
    c.Fill(dish, Radial({60, 30}, 18, {{0, Holo(1)}, {1, Holo(0.45f)}}));
    Sparkle(c, {64, 32}, 9, Holo(0.9f));
    Path beam;
    beam.Polygon({{64, 32}, {16, 12}, {24, 6}});
    c.Fill(beam, Holo(0.8f, 0.35f));
    Bloom(c);
}

void CometOverIce(Canvas& c) {
    Rng rng(205);
    Stars(c, rng, 60, 10, 8, 246, 70);
    // Tail streaming away from the head at (82, 23).
    const Vec2 head{82, 23};
    Path tail;
    tail.Polygon({head + Vec2{-2, -3}, {230, 48}, {236, 60}, head + Vec2{2, 3}});
    c.Fill(tail, Linear(head, {236, 56}, {{0, Holo(0.95f, 0.9f)}, {1, Holo(0.5f, 0)}}));
    Sparkle(c, head, 10, Holo(0.95f));
    Path ice = Ridge(10, 246, 118, 44, 3, 11);
    FillRidge(c, ice, 74, 118, 0.85f);
    Path cracks;
    for (int i = 0; i < 7; ++i) {
        const float x = 30 + i * 30.f;
        cracks.Stroke({{x, 117}, {x + 8, 106}, {x + 3, 98}, {x + 12, 92}}, 0.8f);
    }
    c.Clip(ice);
    c.Fill(cracks, Holo(0.3f, 0.8f));
    c.ClearClip();
    FadeOutsideBox(c, 4, 3, 252, 124, 10);
    Bloom(c);
}

void SpiralGalaxy(Canvas& c) {
    const Vec2 centre{128, 128};
    c.Fill(Disc(centre, 118), [&](float x, float y) {
        const Vec2 d = Rotated(Vec2{x, y} - centre, 25);
        const float ex = d.x, ey = d.y / 0.62f;
        const float r = std::sqrt(ex * ex + ey * ey) / 118;
        const float a = std::atan2(ey, ex);
        const float arm = std::pow(0.5f + 0.5f * std::cos(2 * a - 9 * std::log(r + 0.05f)), 3.f);
        const float dust = Fbm(x * 0.08f, y * 0.08f, 207, 4);
        const float v = std::exp(-r * 9) * 1.2f + arm * (1 - r) * (0.5f + dust * 0.7f);
        return Holo(std::min(1.f, v * 1.1f),
                    std::clamp(v * 2.2f, 0.f, 1.f) * (1 - Smoothstep(0.85f, 1, r)));
    });
    Path core = Disc(centre, 7);
    Glow(c, core, Holo(0.95f), 8, 1.5f);
    c.Fill(core, Holo(1));
    Rng rng(7);
    Stars(c, rng, 30, 20, 20, 236, 236, 0.9f);
    Bloom(c);
}

void BinaryStars(Canvas& c) {
    const Vec2 a{100, 110}, b{160, 96};
    Path orbit;
    std::vector<Vec2> pts = EllipsePoints(128, 128, 92, 92 * 0.45f, 14);
    orbit.Stroke(pts, 0.8f, true);
    c.Fill(orbit, Holo(0.6f, 0.7f));
    Path bridge;
    bridge.Polygon({a + Vec2{10, -8}, b + Vec2{-6, -4}, b + Vec2{-6, 6}, a + Vec2{12, 8}});
    c.Fill(bridge, Linear(a, b, {{0, Holo(0.9f, 0.8f)}, {1, Holo(0.6f, 0.2f)}}));
    Glow(c, Disc(a, 30), Holo(0.7f), 14, 1.3f);
    c.Fill(Disc(a, 30), Radial(a, 30, {{0, Holo(1)}, {0.7f, Holo(0.9f)}, {1, Holo(0.7f)}}));
    Glow(c, Disc(b, 14), HoloViolet(0.7f), 8, 1.3f);
    c.Fill(Disc(b, 14), Radial(b, 14, {{0, HoloViolet(1)}, {1, HoloViolet(0.7f)}}));
    // The small world the close-up opens on.
    Planet(c, {{192, 192}, 12, Surface::Ocean, 216, {-0.7f, -0.7f}, 0.7f});
    Rng rng(216);
    Stars(c, rng, 40, 14, 14, 242, 242);
    Bloom(c);
}

void CrystalMoon(Canvas& c) {
    const Vec2 centre{128, 128};
    Planet(c, {centre, 86, Surface::Ice, 218, {-0.5f, -0.6f}, 0.7f, HoloViolet});
    Path facets;
    Rng rng(218);
    for (int i = 0; i < 14; ++i) {
        const float a = rng.Range(0, 2 * kPi), d = rng.Range(10, 70);
        const Vec2 p = centre + Vec2{d * std::cos(a), d * std::sin(a)};
        const float s = rng.Range(5, 12);
        facets.Polygon({p + Vec2{0, -s * 1.6f}, p + Vec2{s * 0.6f, 0}, p + Vec2{0, s * 0.5f},
                        p + Vec2{-s * 0.6f, 0}});
    }
    c.Fill(facets, HoloViolet(0.95f, 0.75f));
    for (int i = 0; i < 3; ++i) {
        const float a = -2.2f + i * 0.6f;
        Sparkle(c, centre + Vec2{60 * std::cos(a), 60 * std::sin(a)}, 7, HoloViolet(0.9f));
    }
    Bloom(c);
}

void StarNursery(Canvas& c) {
    const Vec2 centre{128, 128};
    c.Fill(Disc(centre, 120), [&](float x, float y) {
        const float n = Fbm(x * 0.018f, y * 0.018f, 221, 6);
        const float wisps = Ridged(x * 0.025f + 3, y * 0.025f, 222, 5);
        const float r = Length(Vec2{x, y} - centre) / 120;
        const float v = (n * 1.4f - 0.35f) + wisps * 0.4f;
        return HoloTeal(v, std::clamp(v * 1.8f - 0.2f, 0.f, 1.f) * (1 - Smoothstep(0.7f, 1, r)));
    });
    Rng rng(221);
    Stars(c, rng, 50, 20, 20, 236, 236);
    // The young star of the close-up.
    Sparkle(c, {77, 77}, 16, HoloTeal(0.95f));
    Sparkle(c, {170, 150}, 8, HoloTeal(0.9f));
    Bloom(c);
}

void PlanetCrossSection(Canvas& c) {
    const Vec2 centre{128, 128};
    const float r = 100;
    Planet(c, {centre, r, Surface::Rocky, 232, {-0.6f, -0.6f}, 0.5f});
    // A quarter cut away to show the layers down to the core at the centre.
    Path wedge;
    wedge.Polygon({centre,
                   {centre.x, centre.y - r - 2},
                   {centre.x + r + 2, centre.y - r - 2},
                   {centre.x + r + 2, centre.y}});
    c.Fill(wedge, Rgb(0, 0, 0, 1), Blend::Erase);
    const float layers[][2] = {
        {1.0f, 0.35f}, {0.8f, 0.5f}, {0.55f, 0.68f}, {0.3f, 0.85f}, {0.12f, 1.0f}};
    for (const auto& layer : layers) {
        Path q;
        std::vector<Vec2> pts{centre};
        for (int i = 0; i <= 24; ++i) {
            const float a = -kPi / 2 + kPi / 2 * i / 24;
            pts.push_back(centre + Vec2{std::cos(a), std::sin(a)} * (r * layer[0]));
        }
        q.Polygon(pts);
        c.Fill(q, Radial(centre, r * layer[0], {{0, Holo(layer[1])}, {1, Holo(layer[1] * 0.8f)}}));
    }
    Glow(c, Disc(centre, 12), Holo(0.9f), 6, 1.2f);
    Path lines;
    lines.Line(centre, {centre.x, centre.y - r}, 1).Line(centre, {centre.x + r, centre.y}, 1);
    c.Fill(lines, Holo(0.95f));
    Bloom(c);
}

void VolcanicMoon(Canvas& c) {
    const Vec2 centre{128, 140};
    Planet(c, {centre, 92, Surface::Lava, 236, {-0.4f, -0.7f}, 0.4f});
    // The plume of the close-up, rising from the limb near (148, 49).
    Path plume;
    plume.Polygon({{140, 60}, {132, 40}, {138, 22}, {150, 14}, {164, 22}, {166, 40}, {156, 60}});
    c.Fill(plume, Linear({0, 62}, {0, 12},
                         {{0, Holo(0.95f)}, {0.6f, Holo(0.7f, 0.8f)}, {1, Holo(0.5f, 0.3f)}}));
    Path spray;
    Rng rng(236);
    for (int i = 0; i < 30; ++i)
        spray.Circle(rng.Range(128, 170), rng.Range(12, 50), rng.Range(0.6f, 1.6f));
    c.Fill(spray, Holo(0.9f, 0.8f));
    Bloom(c, 3, 0.6f);
}

void IceComet(Canvas& c) {
    const Vec2 head{80, 170};
    for (int i = 0; i < 3; ++i) {
        Path tail;
        const float spread = 22.f + i * 20;
        tail.Polygon({head + Vec2{-6, 4},
                      Vec2{238, 30.f + i * 24} + Vec2{-spread * 0.3f, -spread},
                      {240, 40.f + i * 28},
                      head + Vec2{6, 6}});
        c.Fill(tail,
               Linear(head, {235, 40}, {{0, Holo(0.9f, 0.7f - i * 0.15f)}, {1, Holo(0.5f, 0)}}));
    }
    Path nucleus;
    nucleus.Ellipse(head.x, head.y, 28, 20, -30);
    Glow(c, nucleus, Holo(0.8f), 10, 1.4f);
    c.Fill(nucleus,
           [&](float x, float y) { return Holo(0.6f + 0.4f * Fbm(x * 0.3f, y * 0.3f, 244)); });
    Rng rng(244);
    Stars(c, rng, 50, 10, 10, 246, 246);
    Bloom(c);
}

void TidallyLockedWorld(Canvas& c) {
    const Vec2 centre{64, 64};
    Planet(c, {centre, 46, Surface::Rocky, 245, {-1, 0}, 0.6f});
    Path terminator;
    terminator.Ellipse(centre.x + 4, centre.y, 8, 46);
    c.Fill(terminator, HoloTeal(0.7f, 0.35f));
    Path star;
    star.Circle(6, 64, 3);
    Glow(c, star, Holo(0.9f), 4, 1);
    Bloom(c);
}

void StellarFlare(Canvas& c) {
    const Vec2 centre{150, 150};
    Glow(c, Disc(centre, 82), Holo(0.7f), 12, 1.2f);
    c.Fill(Disc(centre, 82), [&](float x, float y) {
        const float cells = Fbm(x * 0.12f, y * 0.12f, 249, 4);
        const float r = Length(Vec2{x, y} - centre) / 82;
        return Holo(0.65f + 0.3f * cells - 0.25f * r * r);
    });
    // The flare loops up towards the close-up's point.
    for (int i = 0; i < 3; ++i) {
        Path loop;
        std::vector<Vec2> pts;
        for (int k = 0; k <= 30; ++k) {
            const float t = static_cast<float>(k) / 30;
            const Vec2 from{96.f + i * 6, 100.f + i * 4}, to{110.f + i * 10, 80.f - i * 4};
            const Vec2 peak{56.f - i * 4, 56.f - i * 4};
            const float u = 1 - t;
            pts.push_back(from * (u * u) + peak * (2 * u * t) + to * (t * t));
        }
        loop.Stroke(pts, 5.f - i);
        c.Fill(loop, Holo(0.95f - i * 0.1f, 0.9f));
    }
    Path knot = Disc({64, 64}, 8);
    Glow(c, knot, Holo(0.9f), 6, 1.3f);
    c.Fill(knot, Holo(1));
    Bloom(c);
}

void Eclipse(Canvas& c) {
    const Vec2 centre{64, 64};
    Path corona;
    for (int i = 0; i < 16; ++i) {
        const float a = i * kPi / 8 + 0.1f * (i % 3);
        const float len = 46.f + 10 * ((i * 7) % 4);
        corona.Polygon({centre + Vec2{std::cos(a - 0.12f), std::sin(a - 0.12f)} * 34,
                        centre + Vec2{std::cos(a), std::sin(a)} * len,
                        centre + Vec2{std::cos(a + 0.12f), std::sin(a + 0.12f)} * 34});
    }
    c.Fill(corona, Radial(centre, 56, {{0.55f, Holo(0.95f)}, {1, Holo(0.5f, 0)}}));
    Glow(c, Disc(centre, 36), Holo(0.9f), 6, 1.5f);
    c.Fill(Disc(centre, 35), Holo(0.08f));
    Sparkle(c, {88, 40}, 12, Holo(1));
    Bloom(c);
}

void AsteroidBelt(Canvas& c) {
    Rng rng(265);
    Planet(c, {{200, 60}, 30, Surface::Gas, 265, {-0.8f, 0.3f}, 0.5f, HoloTeal});
    for (int i = 0; i < 90; ++i) {
        const float t = rng.Uniform();
        const Vec2 p{20 + t * 216, 200 - t * 110 + rng.Range(-22, 22)};
        const float s = rng.Range(3, 12) * (0.6f + t * 0.3f) * (i < 8 ? 2.2f : 1);
        std::vector<Vec2> rock;
        for (int k = 0; k < 7; ++k) {
            const float a = k * 2 * kPi / 7;
            rock.push_back(p +
                           Vec2{std::cos(a), std::sin(a) * 0.75f} * (s * rng.Range(0.7f, 1.2f)));
        }
        Path r;
        r.Polygon(rock);
        c.Fill(r, Radial(p + Vec2{-s * 0.4f, -s * 0.4f}, s * 1.8f,
                         {{0, Holo(0.85f)}, {1, Holo(0.2f)}}));
    }
    Bloom(c);
}

void BlackHole(Canvas& c) {
    const Vec2 centre{128, 128};
    auto disk = [&](bool front) {
        c.Fill(HalfBand(centre, {110, 26}, {40, 12}, -8, front), [&](float x, float y) {
            const Vec2 d = Rotated(Vec2{x, y} - centre, 8);
            const float e = std::sqrt(d.x * d.x + (d.y * 4) * (d.y * 4)) / 110;
            const float swirl = 0.5f + 0.5f * std::sin(std::atan2(d.y * 4, d.x) * 6 + e * 30);
            return Holo(1.1f - e * 0.8f + swirl * 0.1f, 0.95f);
        });
    };
    disk(false);
    // The bent light of the disk's far side, over the hole.
    Path halo;
    halo.Ring(centre.x, centre.y, 44, 34);
    c.Fill(halo, Holo(0.9f, 0.9f));
    Glow(c, halo, Holo(0.8f), 6, 1.2f);
    c.Fill(Disc(centre, 34), Holo(0.02f));
    disk(true);
    Rng rng(275);
    Stars(c, rng, 40, 10, 10, 246, 246);
    Bloom(c);
}

void StarCluster(Canvas& c) {
    Rng rng(281);
    const Vec2 core{64, 32};
    Glow(c, Disc(core, 16), Holo(0.75f), 10, 1);
    for (int i = 0; i < 90; ++i) {
        const float a = rng.Range(0, 2 * kPi), d = std::pow(rng.Uniform(), 1.8f) * 40;
        Path s = Disc(core + Vec2{std::cos(a) * d * 1.3f, std::sin(a) * d}, rng.Range(0.5f, 1.6f));
        c.Fill(s, Holo(rng.Range(0.8f, 1)));
    }
    Sparkle(c, core, 10, Holo(0.95f));
    Stars(c, rng, 90, 10, 8, 246, 120);
    Path nebula = Disc({176, 66}, 56);
    c.Fill(nebula, [&](float x, float y) {
        const float n = Fbm(x * 0.04f, y * 0.06f, 281, 5);
        const float r = Length(Vec2{x, y} - Vec2{176, 66}) / 56;
        return HoloViolet(n, std::clamp(n * 2.2f - 0.7f, 0.f, 1.f) * (1 - r * r));
    });
    Bloom(c);
}

void Pulsar(Canvas& c) {
    const Vec2 centre{64, 64};
    for (float dir : {-1.f, 1.f}) {
        Path jet;
        jet.Polygon({centre, centre + Rotated({dir * 56, -6}, -25),
                     centre + Rotated({dir * 58, 0}, -25), centre + Rotated({dir * 56, 6}, -25)});
        c.Fill(jet, Radial(centre, 58, {{0, Holo(1)}, {1, Holo(0.6f, 0.1f)}}));
    }
    for (int i = 0; i < 3; ++i) {
        Path ring;
        ring.Stroke(EllipsePoints(64, 64, 16.f + i * 11, 6.f + i * 4, -25), 1.6f, true);
        c.Fill(ring, Holo(0.8f, 0.8f - i * 0.2f));
    }
    Path nebula = Disc(centre, 30);
    c.Fill(nebula, Radial(centre, 30, {{0, Holo(0.7f, 0.8f)}, {1, Holo(0.4f, 0)}}));
    Sparkle(c, centre, 18, Holo(1));
    Bloom(c);
}

void HyperspaceTunnel(Canvas& c) {
    const Vec2 centre{64, 64};
    Rng rng(286);
    for (int i = 0; i < 70; ++i) {
        const float a = rng.Range(0, 2 * kPi);
        const float r0 = rng.Range(6, 30), r1 = r0 + rng.Range(14, 30);
        Path streak;
        streak.Line(centre + Vec2{std::cos(a), std::sin(a)} * r0,
                    centre + Vec2{std::cos(a), std::sin(a)} * std::min(56.f, r1),
                    rng.Range(0.6f, 1.6f));
        c.Fill(streak, Linear(centre, centre + Vec2{std::cos(a), std::sin(a)} * 56,
                              {{0, Holo(0.6f, 0.2f)}, {1, Holo(1)}}));
    }
    Path eye = Disc(centre, 8);
    Glow(c, eye, Holo(0.9f), 8, 1.5f);
    c.Fill(eye, Holo(1));
    FadeOutsideEllipse(c, centre, 60, 60, 0.15f);
    Bloom(c);
}

void StarChart(Canvas& c) {
    const Vec2 centre{128, 128};
    c.Fill(Disc(centre, 116), Radial(centre, 116, {{0, Holo(0.2f, 0.6f)}, {1, Holo(0.1f, 0.6f)}}));
    Path frame;
    frame.Ring(128, 128, 118, 116);
    for (int i = 0; i < 72; ++i) {
        const float a = i * kPi / 36;
        const float len = i % 6 == 0 ? 8.f : 4.f;
        frame.Line(centre + Vec2{std::cos(a), std::sin(a)} * 116,
                   centre + Vec2{std::cos(a), std::sin(a)} * (116 - len), 0.8f);
    }
    Path grid;
    for (int i = 1; i <= 3; ++i) grid.Ring(128, 128, 29.f * i + 0.4f, 29.f * i - 0.4f);
    for (int i = 0; i < 6; ++i) {
        const float a = i * kPi / 6;
        grid.Line(centre + Vec2{std::cos(a), std::sin(a)} * -116,
                  centre + Vec2{std::cos(a), std::sin(a)} * 116, 0.5f);
    }
    c.Fill(grid, Holo(0.5f, 0.6f));
    Lines(c, frame, Holo(0.8f), 1.5f);
    const Vec2 figures[][5] = {{{60, 70}, {84, 58}, {104, 72}, {98, 96}, {70, 100}},
                               {{150, 60}, {170, 80}, {196, 76}, {210, 100}, {190, 120}},
                               {{80, 160}, {110, 150}, {130, 170}, {120, 196}, {150, 200}}};
    for (const auto& fig : figures) {
        Path links;
        links.Stroke(std::vector<Vec2>(std::begin(fig), std::end(fig)), 0.9f);
        c.Fill(links, Holo(0.7f, 0.9f));
        for (const Vec2& s : fig) Sparkle(c, s, 5, Holo(0.95f));
    }
    Rng rng(213);
    Stars(c, rng, 80, 20, 20, 236, 236, 0.9f);
    c.Fill(Disc(centre, 3), Holo(1));
    Bloom(c);
}
