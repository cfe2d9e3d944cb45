// Drawing helpers shared by the catalogue pictures: hologram colours, glows, planets, ships,
// figures, terrain.
#pragma once

#include <vector>

#include "noise.h"
#include "raster.h"

// A filled circle's path.
Path Disc(Vec2 at, float r);

// Brightness 0..1 to the hologram ramp: deep blue through cyan to white.
Color Holo(float v, float alpha = 1);
// A violet-leaning ramp for variety.
Color HoloViolet(float v, float alpha = 1);
// A teal-leaning ramp.
Color HoloTeal(float v, float alpha = 1);

// Adds a soft halo of the path's shape.
void Glow(Canvas& c, const Path& path, Color colour, float radius, float strength = 1);
// Adds a soft halo of everything drawn so far.
void Bloom(Canvas& c, float radius = 2.5f, float strength = 0.5f);
// Fades everything towards the ground beyond an ellipse or a rounded box, for subjects that
// would otherwise run to the picture's edges.
void FadeOutsideEllipse(Canvas& c, Vec2 centre, float rx, float ry, float softness);
void FadeOutsideBox(Canvas& c, float x0, float y0, float x1, float y1, float softness);

void Stars(Canvas& c, Rng& rng, int count, float x0, float y0, float x1, float y1,
           float maxRadius = 1.1f);
void Sparkle(Canvas& c, Vec2 at, float size, Color colour);

enum class Surface { Gas, Rocky, Cratered, Ice, Lava, Ocean };
struct PlanetLook {
    Vec2 centre;
    float radius;
    Surface surface;
    uint32_t seed;
    Vec2 light{-0.6f, -0.5f};  // towards the light, in the picture plane
    float atmosphere = 0.5f;
    Color (*ramp)(float, float) = Holo;
};
void Planet(Canvas& c, const PlanetLook& p);
// A ring system round a planet; the back half is drawn before the planet, the front after.
void PlanetRings(Canvas& c, Vec2 centre, float outer, float inner, float flatten, float tilt,
                 bool front, Color (*ramp)(float, float) = Holo);
// Half of a tilted elliptical band (outer radii, inner radii): the near half when `front`, the
// far half otherwise, so a body can be drawn between the two.
Path HalfBand(Vec2 centre, Vec2 outer, Vec2 inner, float tilt, bool front);

// A side-view hull from stations along x: each (x, top, bottom).
struct Station {
    float x, top, bottom;
};
Path HullPath(const std::vector<Station>& stations);
void ShadeHull(Canvas& c, const Path& hull, float top, float bottom, float light = 1);
void PanelLines(Canvas& c, const Path& clip, const std::vector<float>& xs, float top, float bottom);
void Windows(Canvas& c, float x0, float x1, float y, float pitch, float size);
void EngineGlow(Canvas& c, Vec2 at, float rx, float ry);

// A symmetric outline from its right half, given top to bottom, mirrored about x = centreX.
Path Mirrored(const std::vector<Vec2>& rightHalf, float centreX);

// Terrain: a filled ridge line between x0 and x1 with its base at baseY.
Path Ridge(float x0, float x1, float baseY, float height, float roughness, uint32_t seed);
void FillRidge(Canvas& c, const Path& ridge, float top, float bottom, float bright);

// Line art for charts and schematics.
void Lines(Canvas& c, const Path& p, Color colour, float glow = 2);
