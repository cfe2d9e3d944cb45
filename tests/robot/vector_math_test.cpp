// The vector library's edge cases that the robot's lists cannot show.
#include <gtest/gtest.h>
#include <cstring>
#include <limits>
#include <vector>
#include "robot/vector_math.h"

namespace {

void ExpectPoint(Vec3 p, double x, double y, double z) {
    EXPECT_NEAR(p.x, x, 1e-15);
    EXPECT_NEAR(p.y, y, 1e-15);
    EXPECT_NEAR(p.z, z, 1e-15);
}

TEST(RotatePoint, SkipsZeroAnglesAndTurnsAboutXThenYThenZ) {
    // An identity turn would make NaN of the infinite component (sin 0 times infinity).
    Vec3 point = MakeVec3(0.1, -2.7, std::numeric_limits<double>::infinity());
    const Vec3 before = point;
    RotatePoint(point, 0.0, 0.0, 0.0);
    EXPECT_EQ(std::memcmp(&point, &before, sizeof(Vec3)), 0);
    RotatePoint(point, 0.0, 0.0, 90.0);
    EXPECT_EQ(point.z, before.z);
    Vec3 y = MakeVec3(1.0, 0.0, 0.0);
    RotatePoint(y, 0.0, 90.0, 0.0);
    EXPECT_TRUE(y.x > 5e-17 && y.x < 7e-17) << "cos of the converted angle is not 0";
    ExpectPoint(y, 0.0, 0.0, -1.0);
    Vec3 xy = MakeVec3(0.0, 1.0, 0.0);
    RotatePoint(xy, 90.0, 90.0, 0.0);
    ExpectPoint(xy, 1.0, 0.0, 0.0);
    Vec3 yz = MakeVec3(1.0, 0.0, 0.0);
    RotatePoint(yz, 0.0, 90.0, 90.0);
    ExpectPoint(yz, 0.0, 0.0, -1.0);
    Vec3 z = MakeVec3(1.0, 0.0, 0.0);
    RotatePoint(z, 0.0, 0.0, 90.0);
    ExpectPoint(z, 0.0, 1.0, 0.0);
}

TEST(FaceNormal, FollowsTheCornerOrderUnnormalised) {
    const Vec3 a = MakeVec3(0, 0, 0), b = MakeVec3(1, 0, 0), c = MakeVec3(1, 1, 0);
    ExpectPoint(FaceNormal(a, b, c), 0, 0, 1);
    ExpectPoint(FaceNormal(c, b, a), 0, 0, -1);
    EXPECT_DOUBLE_EQ(VectorLength(FaceNormal(a, MakeVec3(2, 0, 0), MakeVec3(2, 3, 0))), 6.0);
    EXPECT_DOUBLE_EQ(VectorLength(Normalize(MakeVec3(3.0, 0.0, -4.0))), 1.0);
}

TEST(AverageVertexNormals, AveragesOnlyTheChosenFacesAndSparesUnusedVertices) {
    // Two triangles share vertices 1 and 2; vertex 4 belongs to none.
    const std::vector<int32_t> indices{0, 1, 2, 1, 3, 2, 0, 3, 1};
    const std::vector<Vec3> faces{MakeVec3(0, 0, 1), MakeVec3(1, 0, 0), MakeVec3(0, 9, 0)};
    std::vector<Vec3> normals(5, MakeVec3(7, 7, 7));
    AverageVertexNormals(indices, faces, normals, 5, 0, 2);
    ExpectPoint(normals[0], 0, 0, 1);
    ExpectPoint(normals[1], 0.5, 0, 0.5);  // the plain mean, not rescaled
    ExpectPoint(normals[3], 1, 0, 0);
    ExpectPoint(normals[4], 7, 7, 7);
    std::vector<Vec3> zeroed(5, MakeVec3(0, 0, 0));
    AverageVertexNormals(indices, faces, zeroed, 5, 1, 2);
    ExpectPoint(zeroed[0], 0, 0, 0);
    ExpectPoint(zeroed[1], 1, 0, 0);
}

}  // namespace
