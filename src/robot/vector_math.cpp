#include "robot/vector_math.h"

#include <cmath>

namespace {

double Radians(double degrees) {
    return degrees * 3.141592653589793 / 180.0;
}

// Turns the pair (u, v) in its plane: u' = cos u - sin v, v' = sin u + cos v.
void Turn(double& u, double& v, double degrees) {
    const double c = std::cos(Radians(degrees));
    const double s = std::sin(Radians(degrees));
    const double turned = c * u - s * v;
    v = s * u + c * v;
    u = turned;
}

Vec3 Difference(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

}  // namespace

Vec3 MakeVec3(double x, double y, double z) {
    return {x, y, z};
}

Vec2 MakeVec2(double s, double t) {
    return {s, t};
}

void RotatePoint(Vec3& point, double ax, double ay, double az) {
    if (ax != 0.0) Turn(point.y, point.z, ax);
    if (ay != 0.0) Turn(point.z, point.x, ay);
    if (az != 0.0) Turn(point.x, point.y, az);
}

Vec3 FaceNormal(Vec3 p1, Vec3 p2, Vec3 p3) {
    const Vec3 a = Difference(p1, p2);
    const Vec3 b = Difference(p2, p3);
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double VectorLength(Vec3 v) {
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

Vec3 Normalize(Vec3 v) {
    const double length = VectorLength(v);
    return {v.x / length, v.y / length, v.z / length};
}

void AverageVertexNormals(std::span<const int32_t> indices, std::span<const Vec3> faceNormals,
                          std::span<Vec3> vertexNormals, int vertexCount, int firstFace,
                          int endFace) {
    for (int v = 0; v < vertexCount; ++v) {
        Vec3 sum{0.0, 0.0, 0.0};
        int count = 0;
        for (int f = firstFace; f < endFace; ++f) {
            const size_t i = static_cast<size_t>(f) * 3;
            if (indices[i] != v && indices[i + 1] != v && indices[i + 2] != v) continue;
            sum = {sum.x + faceNormals[f].x, sum.y + faceNormals[f].y, sum.z + faceNormals[f].z};
            ++count;
        }
        if (count > 0) vertexNormals[v] = {sum.x / count, sum.y / count, sum.z / count};
    }
}
