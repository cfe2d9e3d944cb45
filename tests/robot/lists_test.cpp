// The robot's display lists as OpenGL receives them, normals read back through lighting.
#include <GL/gl.h>
#include <algorithm>
#include <cmath>
#include <numbers>
#include "render/scene.h"
#include "robot/robot_model.h"
#include "support/gl_fixture.h"

namespace {

constexpr double DEG = std::numbers::pi / 180.0;

class RobotLists : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        BuildRobotLists();
    }
};

void ExpectNear(P3 actual, P3 expected, double tolerance, const char* what, size_t index) {
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(actual[i], expected[i], tolerance) << what << " " << index << " axis " << i;
}

// s of a wrap-around texture at each corner's angle; the closing triangle runs on to 1, not 0.
void ExpectWrappedS(const FedPolygon& triangle, const std::function<double(P3)>& angle,
                    size_t index) {
    std::array<double, 3> s{};
    for (int c = 0; c < 3; ++c) {
        const double turns = angle(triangle[c].p) / 360.0;
        s[c] = std::round((turns - std::floor(turns)) * 20.0) / 20.0;
        if (s[c] == 1.0) s[c] = 0.0;
    }
    const bool closing = *std::ranges::max_element(s) - *std::ranges::min_element(s) > 0.5;
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(triangle[c].s, closing && s[c] < 0.5 ? s[c] + 1.0 : s[c], 1e-5)
            << "triangle " << index << " corner " << c;
    }
}

TEST_F(RobotLists, BodyWallWrapsOutwardsAndTheGreySkirtFacesTheAxis) {
    glColor4f(0.3f, 0.3f, 0.3f, 1.0f);
    const Fed fed = Feed([] { glCallList(LIST_BODY); });
    const std::vector<P3> normals = FedNormals(LIST_BODY);
    ASSERT_EQ(fed.size(), 120u);
    for (size_t f = 0; f < fed.size(); ++f) {
        const bool skirt = f >= 80;
        for (size_t c = 0; c < 3; ++c) {
            const FedVertex& v = fed[f][c];
            const P3 radial = Level(v.p);
            const P3 n = normals[3 * f + c];
            // The wall keeps the caller's colour, the skirt is grey.
            EXPECT_FLOAT_EQ(v.rgba[0], skirt ? 0.5f : 0.3f) << f;
            if (skirt) {
                EXPECT_NEAR(Dot(n, radial), -1.0, 1e-3) << f;
                EXPECT_NEAR(std::hypot(v.p[0], v.p[2]), 0.75, 1e-4);
                EXPECT_TRUE(std::abs(v.p[1] + 1.8) < 1e-4 || std::abs(v.p[1] + 1.3) < 1e-4);
                // No coordinates of its own: the wall's last one, (0.95, 1).
                EXPECT_NEAR(v.s, 0.95, 1e-6);
                EXPECT_NEAR(v.t, 1.0, 1e-6);
                continue;
            }
            // Straight wall, then the taper: the crease ring's normal leans down, averaged.
            EXPECT_GT(Dot(n, radial), 0.6) << f;
            EXPECT_EQ(n[1] < -0.1, v.p[1] < -1.0) << f;
            // Rings at heights 0.4, -1.6 and -1.8, the picture's top at the top.
            const double height = v.t == 0.0f ? 0.4 : v.t == 0.875f ? -1.6 : -1.8;
            EXPECT_NEAR(v.p[1], height, 1e-4) << f;
            EXPECT_NEAR(std::hypot(v.p[0], v.p[2]), v.t == 1.0f ? 0.75 : 1.0, 1e-4) << f;
        }
        if (!skirt)
            ExpectWrappedS(
                fed[f], [](P3 p) { return std::atan2(-p[2], p[0]) / DEG; }, f);
    }
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[1], 1.0f) << "the skirt's grey does not leak out of the list";
}

TEST_F(RobotLists, DomeShellFacesOutAndItsDecalsRepeatIt) {
    const Fed fed = Feed([] { glCallList(LIST_DOME); });
    const std::vector<P3> normals = FedNormals(LIST_DOME);
    constexpr size_t shell = 180, panel = 10, cap = 100, band = 80, lens = 24;
    ASSERT_EQ(fed.size(), shell + panel + cap + band + 2 * lens);
    for (size_t f = 0; f < shell; ++f) {
        for (size_t c = 0; c < 3; ++c) {
            const P3 p = fed[f][c].p;
            EXPECT_NEAR(Length(p), 1.0, 1e-4) << f;
            EXPECT_GT(p[1], -1e-4) << f;
            EXPECT_GT(Dot(normals[3 * f + c], p), 0.95) << f;
            EXPECT_EQ(fed[f][c].rgba[0], 1.0f);
            // The decals repeat the shell's vertices exactly.
            EXPECT_EQ(fed[shell + panel + f][c].p, p) << f;
        }
    }
    EXPECT_NEAR(normals[2][1], 1.0, 1e-4) << "the pole";
    // The panel block's front faces 10 degrees below its place, 33 degrees up and 20 round.
    constexpr double up = 23.0 * DEG, round = 20.0 * DEG;
    ExpectNear(normals[3 * shell],
               {std::sin(round) * std::cos(up), std::sin(up), std::cos(round) * std::cos(up)}, 1e-3,
               "panel front", 0);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S) || glIsEnabled(GL_TEXTURE_GEN_T));
}

TEST_F(RobotLists, LensConeFacesOutAndForwardAndItsGlassFacesFront) {
    const Fed fed = Feed([] { glCallList(LIST_LENS); });
    const std::vector<P3> normals = FedNormals(LIST_LENS);
    ASSERT_EQ(fed.size(), 24u);
    for (size_t f = 0; f < 24; ++f) {
        for (size_t c = 0; c < 3; ++c) {
            const FedVertex& v = fed[f][c];
            const P3 n = normals[3 * f + c];
            if (f < 16) {
                // Narrower at the front (z = 0.1, radius 0.075) than at the back.
                const double radius = std::hypot(v.p[0], v.p[1]);
                EXPECT_NEAR(radius, v.p[2] > 0 ? 0.075 : 0.1, 1e-4);
                EXPECT_NEAR(std::abs(v.p[2]), 0.1, 1e-4);
                EXPECT_GT(Dot(n, (1.0 / radius) * P3{v.p[0], v.p[1], 0.0}), 0.95) << f;
                EXPECT_GT(n[2], 0.05) << f;
                continue;
            }
            ExpectNear(n, {0, 0, 1}, 1e-3, "glass", f);
            const bool centre = v.p[2] < 0.09;
            EXPECT_NEAR(v.p[2], centre ? 0.075 : 0.1, 1e-4) << "recessed behind the rim";
            EXPECT_NEAR(v.s, 0.5 + v.p[0] / 0.15, 1e-4);
            EXPECT_NEAR(v.t, 0.5 - v.p[1] / 0.15, 1e-4);
        }
    }
}

}  // namespace
