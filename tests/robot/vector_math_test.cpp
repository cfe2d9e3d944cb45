#include <gtest/gtest.h>
#include <cstring>
#include <limits>
#include <vector>
#include "robot/vector_math.h"

namespace {

TEST(RotatePoint, ZeroAnglesLeaveThePointBitForBit) {
    // An identity turn would make NaN of the infinite component (sin 0 times infinity).
    Vec3 point = MakeVec3(0.1, -2.7, std::numeric_limits<double>::infinity());
    const Vec3 before = point;
    RotatePoint(point, 0.0, 0.0, 0.0);
    EXPECT_EQ(std::memcmp(&point, &before, sizeof(Vec3)), 0);
    // Each zero angle is skipped on its own.
    RotatePoint(point, 0.0, 0.0, 90.0);
    EXPECT_EQ(point.z, before.z);
}

TEST(RotatePoint, TurnsAboutYByDegrees) {
    Vec3 point = MakeVec3(1.0, 0.0, 0.0);
    RotatePoint(point, 0.0, 90.0, 0.0);
    // cos of the converted angle is not exactly 0.
    EXPECT_NE(point.x, 0.0);
    EXPECT_GT(point.x, 5e-17);
    EXPECT_LT(point.x, 7e-17);
    EXPECT_EQ(point.y, 0.0);
    EXPECT_DOUBLE_EQ(point.z, -1.0);
}

TEST(RotatePoint, AppliesXBeforeYBeforeZ) {
    Vec3 point = MakeVec3(0.0, 1.0, 0.0);
    RotatePoint(point, 90.0, 90.0, 0.0);
    EXPECT_NEAR(point.x, 1.0, 1e-15);
    EXPECT_NEAR(point.y, 0.0, 1e-15);
    EXPECT_NEAR(point.z, 0.0, 1e-15);
    // Z after Y: (1, 0, 0) about Y by 90 is (0, 0, -1), which a Z turn leaves alone.
    Vec3 other = MakeVec3(1.0, 0.0, 0.0);
    RotatePoint(other, 0.0, 90.0, 90.0);
    EXPECT_NEAR(other.x, 0.0, 1e-15);
    EXPECT_NEAR(other.y, 0.0, 1e-15);
    EXPECT_NEAR(other.z, -1.0, 1e-15);
    Vec3 third = MakeVec3(1.0, 0.0, 0.0);
    RotatePoint(third, 0.0, 0.0, 90.0);
    EXPECT_NEAR(third.y, 1.0, 1e-15);
}

TEST(FaceNormal, FollowsTheCornerOrder) {
    const Vec3 a = MakeVec3(0, 0, 0), b = MakeVec3(1, 0, 0), c = MakeVec3(1, 1, 0);
    const Vec3 up = FaceNormal(a, b, c);
    EXPECT_EQ(up.x, 0.0);
    EXPECT_EQ(up.y, 0.0);
    EXPECT_EQ(up.z, 1.0);
    const Vec3 down = FaceNormal(c, b, a);
    EXPECT_EQ(down.x, 0.0);
    EXPECT_EQ(down.y, 0.0);
    EXPECT_EQ(down.z, -1.0);
    // Not normalised: the length is twice the triangle's area.
    const Vec3 big = FaceNormal(MakeVec3(0, 0, 0), MakeVec3(2, 0, 0), MakeVec3(2, 3, 0));
    EXPECT_DOUBLE_EQ(VectorLength(big), 6.0);
}

TEST(Normalize, GivesUnitLength) {
    const Vec3 n = Normalize(MakeVec3(3.0, 0.0, -4.0));
    EXPECT_DOUBLE_EQ(n.x, 0.6);
    EXPECT_DOUBLE_EQ(n.z, -0.8);
    EXPECT_DOUBLE_EQ(VectorLength(n), 1.0);
}

TEST(AverageVertexNormals, AveragesOnlyTheChosenFacesAndSparesUnusedVertices) {
    // Two triangles share vertices 1 and 2; vertex 4 belongs to none.
    const std::vector<int32_t> indices{0, 1, 2, 1, 3, 2, 0, 3, 1};
    const std::vector<Vec3> faces{MakeVec3(0, 0, 1), MakeVec3(1, 0, 0), MakeVec3(0, 9, 0)};
    std::vector<Vec3> normals(5, MakeVec3(7, 7, 7));
    AverageVertexNormals(indices, faces, normals, 5, 0, 2);
    EXPECT_DOUBLE_EQ(normals[0].z, 1.0);
    EXPECT_DOUBLE_EQ(normals[0].x, 0.0);
    // Shared vertices get the plain mean, not rescaled to unit length.
    EXPECT_DOUBLE_EQ(normals[1].x, 0.5);
    EXPECT_DOUBLE_EQ(normals[1].y, 0.0);
    EXPECT_DOUBLE_EQ(normals[1].z, 0.5);
    EXPECT_DOUBLE_EQ(normals[2].x, 0.5);
    EXPECT_DOUBLE_EQ(normals[3].x, 1.0);
    // Outside the face range, and used by no triangle at all: left as they were.
    EXPECT_DOUBLE_EQ(normals[4].x, 7.0);
    std::vector<Vec3> zeroed(5, MakeVec3(0, 0, 0));
    AverageVertexNormals(indices, faces, zeroed, 5, 1, 2);
    EXPECT_EQ(zeroed[0].x, 0.0);
    EXPECT_EQ(zeroed[0].y, 0.0);
    EXPECT_EQ(zeroed[0].z, 0.0);
    EXPECT_DOUBLE_EQ(zeroed[1].x, 1.0);
}

}  // namespace
