#include "robot/mesh.h"

#include <windows.h>
#include <GL/gl.h>
#include <algorithm>

void AddRing(RingMesh& mesh, RingAxis axis, int segments, double radius, double height, double t) {
    const double step = 360.0 / segments;
    for (int j = 0; j < segments; ++j) {
        Vec3 point = MakeVec3(radius, 0.0, 0.0);
        if (axis == RingAxis::Y) {
            RotatePoint(point, 0.0, j * step, 0.0);
            point.y = height;
        } else {
            RotatePoint(point, 0.0, 0.0, j * step);
            point.z = height;
        }
        mesh.points.push_back(point);
        mesh.texCoords.push_back(MakeVec2(j * (1.0 / segments), t));
    }
}

void AddBand(RingMesh& mesh, int a, int b, int segments, BandStart start, bool wrapsTexture) {
    auto triangle = [&mesh](int32_t i0, int32_t i1, int32_t i2) {
        mesh.indices.insert(mesh.indices.end(), {i0, i1, i2});
    };
    // The second triangle (p, q, r) of a pair, written from the corner `start` asks for.
    auto second = [&](int32_t p, int32_t q, int32_t r) {
        if (start == BandStart::UpperRing) {
            triangle(p, q, r);
        } else {
            triangle(r, p, q);
        }
    };
    for (int j = 0; j < segments - 1; ++j) {
        triangle(a + j, a + j + 1, b + j);
        second(a + j + 1, b + j + 1, b + j);
    }
    const size_t closing = mesh.indices.size();
    triangle(a + segments - 1, a, b + segments - 1);
    second(a, b, b + segments - 1);
    if (!wrapsTexture) return;
    for (size_t position = closing; position < mesh.indices.size(); ++position) {
        if (mesh.indices[position] == a || mesh.indices[position] == b)
            mesh.seamPositions.push_back(position);
    }
}

void ComputeMeshNormals(RingMesh& mesh) {
    const size_t triangles = mesh.indices.size() / 3;
    mesh.faceNormals.assign(triangles, Vec3{0.0, 0.0, 0.0});
    mesh.vertexNormals.assign(mesh.points.size(), Vec3{0.0, 0.0, 0.0});
    for (size_t f = 0; f < triangles; ++f) {
        const Vec3& p0 = mesh.points[mesh.indices[f * 3]];
        const Vec3& p1 = mesh.points[mesh.indices[f * 3 + 1]];
        const Vec3& p2 = mesh.points[mesh.indices[f * 3 + 2]];
        mesh.faceNormals[f] = Normalize(FaceNormal(p2, p1, p0));
    }
    AverageVertexNormals(mesh.indices, mesh.faceNormals, mesh.vertexNormals,
                         static_cast<int>(mesh.points.size()), 0, static_cast<int>(triangles));
}

Vec2 SentTexCoord(const RingMesh& mesh, size_t position, SentCoords coords) {
    const Vec2 stored = mesh.texCoords[mesh.indices[position]];
    if (coords == SentCoords::WrappedAtSeam &&
        std::ranges::find(mesh.seamPositions, position) != mesh.seamPositions.end()) {
        return MakeVec2(1.0, stored.t);
    }
    return stored;
}

void EmitTriangles(const RingMesh& mesh, size_t first, size_t end, SentCoords coords) {
    glBegin(GL_TRIANGLES);
    for (size_t position = first; position < end; ++position) {
        const int32_t vertex = mesh.indices[position];
        const Vec3& normal = mesh.vertexNormals[vertex];
        glNormal3d(normal.x, normal.y, normal.z);
        if (coords != SentCoords::None) {
            const Vec2 tex = SentTexCoord(mesh, position, coords);
            glTexCoord2d(tex.s, tex.t);
        }
        const Vec3& point = mesh.points[vertex];
        glVertex3d(point.x, point.y, point.z);
    }
    glEnd();
}

void AddQuad(FaceList& faces, const std::array<Vec3, 4>& corners,
             const std::array<Vec2, 4>& texCoords) {
    const int first = static_cast<int>(faces.corners.size());
    faces.corners.insert(faces.corners.end(), corners.begin(), corners.end());
    faces.quads.push_back({{first, first + 1, first + 2, first + 3}, texCoords, std::nullopt});
}

void ComputeQuadNormals(FaceList& faces) {
    faces.normals.clear();
    for (const Quad& quad : faces.quads) {
        if (quad.fixedNormal) {
            faces.normals.push_back(*quad.fixedNormal);
            continue;
        }
        faces.normals.push_back(
            Normalize(FaceNormal(faces.corners[quad.corners[2]], faces.corners[quad.corners[1]],
                                 faces.corners[quad.corners[0]])));
    }
}

void EmitQuads(const FaceList& faces) {
    glBegin(GL_QUADS);
    for (size_t q = 0; q < faces.quads.size(); ++q) {
        const Quad& quad = faces.quads[q];
        glNormal3d(faces.normals[q].x, faces.normals[q].y, faces.normals[q].z);
        for (int c = 0; c < 4; ++c) {
            glTexCoord2d(quad.texCoords[c].s, quad.texCoords[c].t);
            const Vec3& corner = faces.corners[quad.corners[c]];
            glVertex3d(corner.x, corner.y, corner.z);
        }
    }
    glEnd();
}
