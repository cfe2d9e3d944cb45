// Points, texture coordinates and the small vector library the robot builders share.
#pragma once
#include <cstdint>
#include <span>

struct Vec3 {
    double x, y, z;
};

struct Vec2 {
    double s, t;
};

Vec3 MakeVec3(double x, double y, double z);
Vec2 MakeVec2(double s, double t);
// Turns the point about X, then Y, then Z by angles in degrees; a zero angle is skipped.
void RotatePoint(Vec3& point, double ax, double ay, double az);
// (p1 - p2) x (p2 - p3), not normalised.
Vec3 FaceNormal(Vec3 p1, Vec3 p2, Vec3 p3);
double VectorLength(Vec3 v);
Vec3 Normalize(Vec3 v);
// Each vertex normal becomes the mean of the face normals of the triangles firstFace to
// endFace - 1 that use it; a vertex that none of them uses keeps its normal.
void AverageVertexNormals(std::span<const int32_t> indices, std::span<const Vec3> faceNormals,
                          std::span<Vec3> vertexNormals, int vertexCount, int firstFace,
                          int endFace);
