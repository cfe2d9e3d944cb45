// A hidden window with a current OpenGL context, and what tests read back from it.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

class GlTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // RGBA pixels of the back buffer, bottom row first.
    std::vector<uint8_t> ReadBackBuffer(int width, int height) const;

    HWND window_ = nullptr;
    HDC dc_ = nullptr;
    HGLRC context_ = nullptr;
};

// A point or direction, with the little arithmetic the tests need.
struct P3 : std::array<double, 3> {
    friend P3 operator+(P3 a, P3 b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
    friend P3 operator-(P3 a, P3 b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
    friend P3 operator*(double k, P3 a) { return {k * a[0], k * a[1], k * a[2]}; }
    friend double Dot(P3 a, P3 b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
    friend double Length(P3 a) { return std::sqrt(Dot(a, a)); }
    friend P3 Unit(P3 a) { return (1.0 / Length(a)) * a; }
    // The horizontal part, as a unit direction.
    friend P3 Level(P3 a) { return Unit(P3{a[0], 0.0, a[2]}); }
};

// One vertex as sent (see Feed), its colour after lighting if lighting is on.
struct FedVertex {
    P3 p;
    std::array<float, 4> rgba;
    float s, t;
};
using FedPolygon = std::vector<FedVertex>;
using Fed = std::vector<FedPolygon>;

// Runs `draw` in feedback mode: positions in the drawing's own units (within +-8 in x and y,
// +-40 in z), or with `ownView` in window coordinates of a 256 x 256 viewport. Quads come as
// two triangles.
Fed Feed(const std::function<void()>& draw, bool ownView = false);
// The normal of every fed vertex of a call of `list`, as lighting sees it.
std::vector<P3> FedNormals(unsigned int list);
// The mean position of the vertices of polygons first to end - 1.
P3 MeanPosition(const Fed& fed, size_t first, size_t end);

using Rgb8 = std::array<uint8_t, 3>;
// A bitmap resource of the program (8-bit palette or 24-bit) decoded here, top row first.
struct Bitmap {
    int width = 0, height = 0;
    std::vector<Rgb8> pixels;
    Rgb8 At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    // Differs from its own upside-down image in more than a tenth of its rows.
    bool TopDiffersFromBottom() const;
};
Bitmap DecodeBitmapResource(int id);
// Level 0 of a texture as RGBA, row t = 0 first.
std::vector<uint8_t> TexturePixels(uint32_t name, int* width, int* height);
// Texels that differ from the resource's pixel at the same place (top row at t = 0) with its
// channels moved by the scheme, alpha 0 on a keyed texture's top-left colour; a wrong size is
// all wrong.
int TextureMismatches(uint32_t name, int resource, int scheme, bool keyed);
