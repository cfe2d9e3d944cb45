// The ways the robot builders turn points into primitives: ring meshes of triangles and face
// lists of quads.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>
#include "robot/vector_math.h"

// A surface of revolution: rings of points, three index entries per triangle.
struct RingMesh {
    std::vector<Vec3> points;
    std::vector<Vec2> texCoords;
    std::vector<int32_t> indices;
    std::vector<Vec3> faceNormals;
    std::vector<Vec3> vertexNormals;
    // Index positions of a wrap-around band's closing pair that refer to a ring's first point.
    std::vector<size_t> seamPositions;
};

enum class RingAxis { Y, Z };

// Which corner the second triangle of each band pair is written from; the winding is the same.
enum class BandStart { UpperRing, LowerRing };

enum class SentCoords { None, Stored, WrappedAtSeam };

// Appends `segments` points: (radius, 0, 0) turned about the axis by j * 360 / segments
// degrees, then given the height along the axis; texture (j / segments, t).
void AddRing(RingMesh& mesh, RingAxis axis, int segments, double radius, double height, double t);
// Appends the triangles between the rings whose first points are a and b.
void AddBand(RingMesh& mesh, int a, int b, int segments, BandStart start, bool wrapsTexture);
// Face normals of every triangle, then vertex normals averaged over all of them.
void ComputeMeshNormals(RingMesh& mesh);
// The texture coordinate sent at an index position; at a seam position of a wrapped texture
// the ring's first point stands for s = 1.0 instead of 0.
Vec2 SentTexCoord(const RingMesh& mesh, size_t position, SentCoords coords);
// One GL_TRIANGLES block over the index positions first to end - 1.
void EmitTriangles(const RingMesh& mesh, size_t first, size_t end, SentCoords coords);

// Four corner numbers, clockwise from outside, each with its texture coordinate.
struct Quad {
    std::array<int, 4> corners;
    std::array<Vec2, 4> texCoords;
    // Given instead of computed, for a face without area.
    std::optional<Vec3> fixedNormal;
};

struct FaceList {
    std::vector<Vec3> corners;
    std::vector<Quad> quads;
    std::vector<Vec3> normals;
};

// Appends four new corners and the quad through them.
void AddQuad(FaceList& faces, const std::array<Vec3, 4>& corners,
             const std::array<Vec2, 4>& texCoords);
void ComputeQuadNormals(FaceList& faces);
// One GL_QUADS block: per quad its normal, then texture coordinate and vertex of each corner.
void EmitQuads(const FaceList& faces);
