// Records what a display list sends, with OpenGL's feedback mode.
#pragma once
#include <windows.h>
#include <GL/gl.h>
#include <vector>

struct FedVertex {
    float x, y, z;
    float red, green, blue, alpha;
    float s, t;
};

// One polygon as the implementation reports it; Mesa reports triangles, a quad as two.
using FedPolygon = std::vector<FedVertex>;

// Calls the list in feedback mode and returns its polygons in order. Points, lines and
// bitmap tokens are not expected from the robot's lists and end the parse.
inline std::vector<FedPolygon> FeedbackOf(GLuint list) {
    std::vector<GLfloat> buffer(1 << 20);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    glCallList(list);
    const GLint used = glRenderMode(GL_RENDER);
    std::vector<FedPolygon> polygons;
    for (GLint i = 0; i < used;) {
        if (static_cast<GLint>(buffer[i]) != GL_POLYGON_TOKEN) break;
        const int count = static_cast<int>(buffer[i + 1]);
        i += 2;
        FedPolygon polygon;
        for (int v = 0; v < count; ++v, i += 11) {
            const GLfloat* f = &buffer[i];
            polygon.push_back({f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8]});
        }
        polygons.push_back(polygon);
    }
    return polygons;
}

// A view in which one model unit is a fixed number of window pixels, for comparing sent
// positions with model coordinates: window x = (x / extent + 1) * 128 on a 256 viewport.
constexpr double FEEDBACK_EXTENT = 3.0;

inline void SetFeedbackView() {
    glViewport(0, 0, 256, 256);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-FEEDBACK_EXTENT, FEEDBACK_EXTENT, -FEEDBACK_EXTENT, FEEDBACK_EXTENT, -10.0, 10.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

// The model coordinates of a fed vertex under SetFeedbackView.
inline double ModelX(const FedVertex& v) {
    return (v.x / 128.0 - 1.0) * FEEDBACK_EXTENT;
}
inline double ModelY(const FedVertex& v) {
    return (v.y / 128.0 - 1.0) * FEEDBACK_EXTENT;
}
inline double ModelZ(const FedVertex& v) {
    return -(v.z * 2.0 - 1.0) * 10.0;
}

// The quad that Mesa reports as the triangles (0, 1, 3) and (1, 2, 3) at `first`.
inline std::vector<FedVertex> FedQuad(const std::vector<FedPolygon>& fed, size_t first) {
    const FedPolygon& a = fed.at(first);
    const FedPolygon& b = fed.at(first + 1);
    if (a.size() != 3 || b.size() != 3) return {};
    return {a[0], a[1], b[1], a[2]};
}
