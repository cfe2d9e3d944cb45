#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include "robot/legs.h"
#include "robot/robot_model.h"

namespace {

double Dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vec3 Minus(Vec3 a, Vec3 b) {
    return MakeVec3(a.x - b.x, a.y - b.y, a.z - b.z);
}

Vec3 Centroid(const RingMesh& mesh, size_t triangle) {
    Vec3 sum = MakeVec3(0, 0, 0);
    for (size_t c = 0; c < 3; ++c) {
        const Vec3& p = mesh.points[mesh.indices[triangle * 3 + c]];
        sum = MakeVec3(sum.x + p.x / 3, sum.y + p.y / 3, sum.z + p.z / 3);
    }
    return sum;
}

void ExpectDirection(Vec3 actual, Vec3 expected) {
    const Vec3 unit = Normalize(actual);
    EXPECT_NEAR(unit.x, expected.x, 1e-4);
    EXPECT_NEAR(unit.y, expected.y, 1e-4);
    EXPECT_NEAR(unit.z, expected.z, 1e-4);
}

// The sent s coordinates of one triangle, smallest and largest.
std::pair<double, double> SentSRange(const RingMesh& mesh, size_t triangle, SentCoords coords) {
    double low = 2.0, high = -2.0;
    for (size_t c = 0; c < 3; ++c) {
        const double s = SentTexCoord(mesh, triangle * 3 + c, coords).s;
        low = std::min(low, s);
        high = std::max(high, s);
    }
    return {low, high};
}

// Every triangle of the 20-step wrap-around bands from `first` to `end` covers one step of s,
// none runs back across the picture, and each band closes with a pair from 0.95 to 1.0.
void ExpectForwardBands(const RingMesh& mesh, size_t first, size_t end) {
    for (size_t f = first; f < end; ++f) {
        const auto [low, high] = SentSRange(mesh, f, SentCoords::WrappedAtSeam);
        EXPECT_NEAR(high - low, 0.05, 1e-12) << "triangle " << f;
        if ((f - first) % 40 < 38) continue;
        EXPECT_DOUBLE_EQ(low, 0.95) << "triangle " << f;
        EXPECT_DOUBLE_EQ(high, 1.0) << "triangle " << f;
    }
}

TEST(DomeMesh, HasTheCountsAndLiesOnTheUnitHemisphere) {
    const RingMesh dome = ComputeDomeMesh();
    ASSERT_EQ(dome.points.size(), 101u);
    ASSERT_EQ(dome.texCoords.size(), 101u);
    ASSERT_EQ(dome.indices.size(), 540u);
    ASSERT_EQ(dome.faceNormals.size(), 180u);
    ASSERT_EQ(dome.vertexNormals.size(), 101u);
    for (const Vec3& p : dome.points) {
        EXPECT_NEAR(VectorLength(p), 1.0, 1e-12);
        EXPECT_GE(p.y, -1e-12);
    }
    // Ring 5 is the rim; each ring's last point is back where its turns started.
    for (int k = 1; k <= 5; ++k) {
        const double phi = 18.0 * k * 3.141592653589793 / 180.0;
        const Vec3 last = dome.points[20 * k];
        EXPECT_NEAR(last.x, -std::sin(phi), 1e-12);
        EXPECT_NEAR(last.y, std::cos(phi), 1e-12);
        EXPECT_NEAR(last.z, 0.0, 1e-12);
    }
    EXPECT_NEAR(dome.points[100].y, 0.0, 1e-12);
}

TEST(DomeMesh, NormalsPointOutwardsAndUpAtThePole) {
    const RingMesh dome = ComputeDomeMesh();
    const Vec3 pole = dome.vertexNormals[0];
    EXPECT_NEAR(pole.x, 0.0, 1e-12);
    EXPECT_NEAR(pole.z, 0.0, 1e-12);
    EXPECT_GT(pole.y, 0.9);
    for (size_t v = 0; v < dome.points.size(); ++v) {
        EXPECT_GT(Dot(dome.vertexNormals[v], dome.points[v]), 0.9) << "vertex " << v;
    }
    for (size_t f = 0; f < 180; ++f) {
        EXPECT_NEAR(VectorLength(dome.faceNormals[f]), 1.0, 1e-12);
        EXPECT_GT(Dot(dome.faceNormals[f], Centroid(dome, f)), 0.9) << "triangle " << f;
    }
}

TEST(DomeMesh, RadialCoordinatesReachPastThePictureAtTheRim) {
    const RingMesh dome = ComputeDomeMesh();
    EXPECT_DOUBLE_EQ(dome.texCoords[0].s, 0.5);
    EXPECT_DOUBLE_EQ(dome.texCoords[0].t, 0.5);
    // The last point of the rim ring sits at angle 360: s = 0.5 - 5/6.
    EXPECT_NEAR(dome.texCoords[100].s, -1.0 / 3.0, 1e-12);
    EXPECT_NEAR(dome.texCoords[100].t, 0.5, 1e-12);
    // Ring 3's point at 180 degrees (j = 9) reaches s = 1: the cap picture spans ring 3.
    EXPECT_NEAR(dome.texCoords[41 + 9].s, 1.0, 1e-12);
    EXPECT_NEAR(dome.texCoords[81 + 9].s, 4.0 / 3.0, 1e-12);
}

TEST(DomeMesh, OnlyTheBandDecalHasASeamAndItClosesForwards) {
    RingMesh dome = ComputeDomeMesh();
    ASSERT_EQ(dome.seamPositions.size(), 6u);
    for (size_t position : dome.seamPositions) {
        EXPECT_GE(position, 300u);
        EXPECT_TRUE(dome.indices[position] == 41 || dome.indices[position] == 61 ||
                    dome.indices[position] == 81);
    }
    SetDomeBandCoordinates(dome);
    // The cap decal's radial coordinates are untouched.
    EXPECT_NEAR(dome.texCoords[21 + 9].s, 0.5 + 2.0 / 6.0, 1e-12);
    for (int m = 0; m < 3; ++m) {
        for (int j = 0; j < 20; ++j) {
            EXPECT_DOUBLE_EQ(dome.texCoords[41 + 20 * m + j].s, j / 20.0);
            EXPECT_DOUBLE_EQ(dome.texCoords[41 + 20 * m + j].t, 0.5 * m);
        }
    }
    ExpectForwardBands(dome, 100, 180);
}

TEST(BodyMesh, WrapsOnceAroundWithAClosedSeam) {
    const RingMesh body = ComputeBodyMesh();
    ASSERT_EQ(body.points.size(), 60u);
    ASSERT_EQ(body.indices.size(), 240u);
    ASSERT_EQ(body.seamPositions.size(), 6u);
    EXPECT_DOUBLE_EQ(body.texCoords[0].t, 0.0);
    EXPECT_DOUBLE_EQ(body.texCoords[20].t, 0.875);
    EXPECT_DOUBLE_EQ(body.texCoords[59].t, 1.0);
    EXPECT_DOUBLE_EQ(body.texCoords[59].s, 0.95);
    ExpectForwardBands(body, 0, 80);
    // Without the substitution the closing pair would run back over the whole picture.
    const auto [low, high] = SentSRange(body, 79, SentCoords::Stored);
    EXPECT_DOUBLE_EQ(low, 0.0);
    EXPECT_DOUBLE_EQ(high, 0.95);
}

TEST(BodyMesh, NormalsPointOutwardsAndTheCreaseIsSmooth) {
    const RingMesh body = ComputeBodyMesh();
    for (size_t v = 0; v < body.points.size(); ++v) {
        const Vec3 radial = MakeVec3(body.points[v].x, 0.0, body.points[v].z);
        EXPECT_GT(Dot(Normalize(body.vertexNormals[v]), Normalize(radial)), 0.6) << v;
    }
    for (size_t f = 0; f < 80; ++f) {
        const Vec3 c = Centroid(body, f);
        EXPECT_GT(Dot(body.faceNormals[f], MakeVec3(c.x, 0.0, c.z)), 0.0) << f;
    }
    // Top ring: wall only, level. Crease ring: wall and taper averaged, so it leans down.
    EXPECT_NEAR(body.vertexNormals[5].y, 0.0, 1e-12);
    EXPECT_LT(body.vertexNormals[25].y, -0.1);
    EXPECT_LT(body.vertexNormals[45].y, body.vertexNormals[25].y);
}

TEST(LensMesh, IsAConeNarrowingTowardsTheFront) {
    const RingMesh lens = ComputeLensMesh();
    ASSERT_EQ(lens.points.size(), 16u);
    ASSERT_EQ(lens.indices.size(), 48u);
    EXPECT_TRUE(lens.seamPositions.empty());
    EXPECT_DOUBLE_EQ(lens.points[0].z, 0.1);
    EXPECT_DOUBLE_EQ(lens.points[8].z, -0.1);
    EXPECT_NEAR(lens.points[2].y, 0.075, 1e-15);
    EXPECT_NEAR(lens.points[10].y, 0.1, 1e-15);
    for (size_t v = 0; v < 16; ++v) {
        const Vec3 radial = MakeVec3(lens.points[v].x, lens.points[v].y, 0.0);
        EXPECT_GT(Dot(lens.vertexNormals[v], radial), 0.0) << v;
        // Narrower at the front: the side faces lean forwards.
        EXPECT_GT(lens.vertexNormals[v].z, 0.0) << v;
    }
}

// Every quad is flat: its fourth corner lies in the plane of the first three.
void ExpectFlatQuads(const FaceList& faces) {
    ASSERT_EQ(faces.normals.size(), faces.quads.size());
    for (size_t q = 0; q < faces.quads.size(); ++q) {
        const Quad& quad = faces.quads[q];
        const Vec3 c0 = faces.corners[quad.corners[0]];
        for (int c = 1; c < 4; ++c) {
            EXPECT_NEAR(Dot(Minus(faces.corners[quad.corners[c]], c0), faces.normals[q]), 0.0,
                        1e-12)
                << "quad " << q << " corner " << c;
        }
    }
}

TEST(PanelBlock, HasFiveFacesWithTheirNormals) {
    const FaceList block = ComputePanelBlock();
    ASSERT_EQ(block.quads.size(), 5u);
    ExpectFlatQuads(block);
    ExpectDirection(block.normals[0], MakeVec3(0, 0, 1));
    ExpectDirection(block.normals[1], MakeVec3(-0.995037, 0.0995037, 0));
    ExpectDirection(block.normals[2], MakeVec3(0.995037, 0.0995037, 0));
    ExpectDirection(block.normals[3], MakeVec3(0, 1, 0));
    ExpectDirection(block.normals[4], MakeVec3(0, -1, 0));
    EXPECT_DOUBLE_EQ(block.quads[0].texCoords[1].s, 0.1);
    EXPECT_DOUBLE_EQ(block.quads[0].texCoords[3].s, 1.0);
}

TEST(SideLeg, FacesPointOutOfTheLeg) {
    const FaceList leg = ComputeSideLegFaces();
    ASSERT_EQ(leg.quads.size(), 11u);
    ExpectFlatQuads(leg);
    const Vec3 expected[] = {
        {-1, 0, 0}, {0, 0, -1}, {0, 0, 1}, {1, 0, 0},  // strut
        {-1, 0, 0}, {0, 0, -1}, {0, 0, 1},             // shoulder
    };
    for (size_t q = 0; q < std::size(expected); ++q) ExpectDirection(leg.normals[q], expected[q]);
    // The transition faces look outwards and down.
    EXPECT_LT(leg.normals[7].x, -0.9);
    EXPECT_LT(leg.normals[7].y, 0.0);
    ExpectDirection(leg.normals[8], MakeVec3(0, -std::sqrt(0.5), -std::sqrt(0.5)));
    ExpectDirection(leg.normals[9], MakeVec3(0, -std::sqrt(0.5), std::sqrt(0.5)));
    ExpectDirection(leg.normals[10], MakeVec3(std::sqrt(0.5), -std::sqrt(0.5), 0));
}

TEST(SideLeg, PlusZSideShowsTheTextureUpsideDown) {
    const FaceList leg = ComputeSideLegFaces();
    auto topT = [&leg](size_t q) {
        const Quad& quad = leg.quads[q];
        size_t top = 0;
        for (size_t c = 1; c < 4; ++c) {
            if (leg.corners[quad.corners[c]].y > leg.corners[quad.corners[top]].y) top = c;
        }
        return quad.texCoords[top].t;
    };
    EXPECT_DOUBLE_EQ(topT(1), 0.3);
    EXPECT_DOUBLE_EQ(topT(2), 1.0);
}

TEST(SideLeg, ShoulderCapRunsOverTheTop) {
    const auto points = SemicirclePoints(0.35);
    EXPECT_NEAR(points[0].z, -0.35, 1e-15);
    EXPECT_NEAR(points[0].y, 0.0, 1e-15);
    EXPECT_NEAR(points[7].z, 0.35, 1e-15);
    EXPECT_NEAR(points[7].y, 0.0, 1e-15);
    for (size_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(points[i].x, 0.0);
        EXPECT_NEAR(std::hypot(points[i].y, points[i].z), 0.35, 1e-15);
        if (i == 0) continue;
        EXPECT_GT(points[i].z, points[i - 1].z);
        if (i < 7) {
            EXPECT_GT(points[i].y, 0.0);
        }
    }
}

TEST(CentreLeg, IsOpenAtTheFront) {
    const FaceList leg = ComputeCentreLegFaces();
    ASSERT_EQ(leg.quads.size(), 3u);
    ExpectFlatQuads(leg);
    ExpectDirection(leg.normals[0], MakeVec3(0, 0, -1));
    ExpectDirection(leg.normals[1], MakeVec3(-1, 0, 0));
    ExpectDirection(leg.normals[2], MakeVec3(1, 0, 0));
    for (const Quad& quad : leg.quads) {
        for (const Vec2& tex : quad.texCoords) {
            EXPECT_EQ(tex.s, 0.0);
            EXPECT_EQ(tex.t, 0.0);
        }
    }
}

TEST(Feet, SideFootHasItsSlantedNormals) {
    const FaceList foot = ComputeSideFootFaces();
    ASSERT_EQ(foot.quads.size(), 9u);
    ExpectFlatQuads(foot);
    const Vec3 expected[] = {{-0.9635, 0.2676, 0},
                             {0, 0.4061, -0.9138},
                             {0, 0.4061, 0.9138},
                             {1, 0, 0},
                             {0, 1, 0},
                             {0, 0, -1},
                             {0, 0, 1},
                             {-1, 0, 0},
                             {1, 0, 0}};
    for (size_t q = 0; q < 9; ++q) ExpectDirection(foot.normals[q], expected[q]);
    // The shoe's faces start at a sole corner.
    for (size_t q = 0; q < 4; ++q) {
        EXPECT_DOUBLE_EQ(foot.corners[foot.quads[q].corners[0]].y, -0.45) << q;
    }
}

TEST(Feet, CentreFootIsSymmetricAndItsLedgeHasNoWidth) {
    const FaceList foot = ComputeCentreFootFaces();
    ASSERT_EQ(foot.quads.size(), 9u);
    ExpectDirection(foot.normals[0], MakeVec3(-0.9635, 0.2676, 0));
    ExpectDirection(foot.normals[3], MakeVec3(0.9635, 0.2676, 0));
    // Both slanted ends are lit alike: mirror images of each other.
    EXPECT_DOUBLE_EQ(foot.normals[0].x, -foot.normals[3].x);
    EXPECT_DOUBLE_EQ(foot.normals[0].y, foot.normals[3].y);
    const Quad& ledge = foot.quads[4];
    for (int c = 0; c < 4; ++c) EXPECT_DOUBLE_EQ(foot.corners[ledge.corners[c]].x, 0.3);
    EXPECT_EQ(foot.normals[4].x, 0.0);
    EXPECT_EQ(foot.normals[4].y, 1.0);
    EXPECT_EQ(foot.normals[4].z, 0.0);
    for (const Vec3& corner : foot.corners) {
        EXPECT_LE(std::abs(corner.x), 0.3);
        EXPECT_FALSE(std::isnan(corner.x));
    }
    for (const Vec3& normal : foot.normals) EXPECT_NEAR(VectorLength(normal), 1.0, 1e-12);
}

}  // namespace
