#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include "render/scene.h"
#include "robot/legs.h"
#include "robot/robot_model.h"
#include "robot/feedback.h"
#include "support/gl_fixture.h"

namespace {

class RobotLists : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        glDisable(GL_LIGHTING);
        glEnable(GL_TEXTURE_2D);
        SetFeedbackView();
        BuildRobotLists();
    }
};

// The fed triangle repeats the mesh's triangle at `triangle`, corner by corner.
void ExpectMeshTriangle(const FedPolygon& fed, const RingMesh& mesh, size_t triangle,
                        std::optional<SentCoords> coords) {
    ASSERT_EQ(fed.size(), 3u) << "triangle " << triangle;
    for (size_t c = 0; c < 3; ++c) {
        const size_t position = triangle * 3 + c;
        const Vec3& p = mesh.points[mesh.indices[position]];
        EXPECT_NEAR(ModelX(fed[c]), p.x, 1e-4) << "position " << position;
        EXPECT_NEAR(ModelY(fed[c]), p.y, 1e-4) << "position " << position;
        EXPECT_NEAR(ModelZ(fed[c]), p.z, 1e-4) << "position " << position;
        if (!coords) continue;
        const Vec2 tex = SentTexCoord(mesh, position, *coords);
        EXPECT_NEAR(fed[c].s, tex.s, 1e-6) << "position " << position;
        EXPECT_NEAR(fed[c].t, tex.t, 1e-6) << "position " << position;
    }
}

void ExpectColour(const FedPolygon& fed, float grey) {
    for (const FedVertex& v : fed) {
        EXPECT_FLOAT_EQ(v.red, grey);
        EXPECT_FLOAT_EQ(v.green, grey);
        EXPECT_FLOAT_EQ(v.blue, grey);
        EXPECT_FLOAT_EQ(v.alpha, 1.0f);
    }
}

TEST_F(RobotLists, BodySendsTheWallThenTheGreySkirt) {
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    const std::vector<FedPolygon> fed = FeedbackOf(LIST_BODY);
    ASSERT_EQ(fed.size(), 120u);
    const RingMesh body = ComputeBodyMesh();
    for (size_t f = 0; f < 80; ++f) {
        ExpectMeshTriangle(fed[f], body, f, SentCoords::WrappedAtSeam);
        ExpectColour(fed[f], 1.0f);
    }
    for (size_t f = 80; f < 120; ++f) {
        ASSERT_EQ(fed[f].size(), 3u);
        ExpectColour(fed[f], 0.5f);
        for (const FedVertex& v : fed[f]) {
            EXPECT_NEAR(std::hypot(ModelX(v), ModelZ(v)), 0.75, 1e-4);
            const double y = ModelY(v);
            EXPECT_TRUE(std::abs(y + 1.8) < 1e-4 || std::abs(y + 1.3) < 1e-4) << y;
            // The skirt keeps the last coordinate the wall sent.
            EXPECT_NEAR(v.s, 0.95, 1e-6);
            EXPECT_NEAR(v.t, 1.0, 1e-6);
        }
    }
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[0], 1.0f);
    EXPECT_FLOAT_EQ(colour[1], 1.0f);
}

TEST_F(RobotLists, DomeSendsShellPanelDecalsAndTwoLenses) {
    glColor4f(0.25f, 0.25f, 0.25f, 1.0f);
    glDepthFunc(GL_LESS);
    const std::vector<FedPolygon> fed = FeedbackOf(LIST_DOME);
    RingMesh dome = ComputeDomeMesh();
    const FaceList block = ComputePanelBlock();
    const RingMesh lens = ComputeLensMesh();
    const size_t shell = 180, panel = 2 * block.quads.size(), cap = 100, band = 80;
    const size_t lensTriangles = lens.indices.size() / 3 + 8;
    ASSERT_EQ(fed.size(), shell + panel + cap + band + 2 * lensTriangles);
    for (size_t f = 0; f < shell; ++f) {
        ExpectMeshTriangle(fed[f], dome, f, std::nullopt);
        ExpectColour(fed[f], 1.0f);
    }
    for (size_t q = 0; q < block.quads.size(); ++q) {
        const std::vector<FedVertex> quad = FedQuad(fed, shell + 2 * q);
        ASSERT_EQ(quad.size(), 4u);
        for (int c = 0; c < 4; ++c) {
            EXPECT_NEAR(quad[c].s, block.quads[q].texCoords[c].s, 1e-6);
            EXPECT_NEAR(quad[c].t, block.quads[q].texCoords[c].t, 1e-6);
            // Out on the dome's surface, a little proud of it.
            const double r =
                std::sqrt(ModelX(quad[c]) * ModelX(quad[c]) + ModelY(quad[c]) * ModelY(quad[c]) +
                          ModelZ(quad[c]) * ModelZ(quad[c]));
            EXPECT_GT(r, 0.5);
            EXPECT_LT(r, 1.15);
        }
    }
    const size_t capStart = shell + panel;
    for (size_t f = 0; f < cap; ++f) {
        ExpectMeshTriangle(fed[capStart + f], dome, f, SentCoords::Stored);
    }
    SetDomeBandCoordinates(dome);
    for (size_t f = 0; f < band; ++f) {
        ExpectMeshTriangle(fed[capStart + cap + f], dome, cap + f, SentCoords::WrappedAtSeam);
    }
    // The small lenses sit on the dome's surface, their fronts just outside it.
    for (size_t f = capStart + cap + band; f < fed.size(); ++f) {
        ASSERT_EQ(fed[f].size(), 3u);
        for (const FedVertex& v : fed[f]) {
            const double r =
                std::sqrt(ModelX(v) * ModelX(v) + ModelY(v) * ModelY(v) + ModelZ(v) * ModelZ(v));
            EXPECT_GT(r, 0.87);
            EXPECT_LT(r, 1.08);
        }
    }
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_T));
    GLint depthFunc = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunc);
    EXPECT_EQ(depthFunc, GL_LEQUAL);
}

TEST_F(RobotLists, LensGlassIsRecessedInsideTheRim) {
    const std::vector<FedPolygon> fed = FeedbackOf(LIST_LENS);
    const RingMesh lens = ComputeLensMesh();
    ASSERT_EQ(fed.size(), 24u);
    for (size_t f = 0; f < 16; ++f) ExpectMeshTriangle(fed[f], lens, f, std::nullopt);
    for (size_t f = 16; f < 24; ++f) {
        ASSERT_EQ(fed[f].size(), 3u);
        int centres = 0;
        for (const FedVertex& v : fed[f]) {
            if (std::abs(ModelZ(v) - 0.075) < 1e-4) {
                ++centres;
                EXPECT_NEAR(v.s, 0.5, 1e-6);
                EXPECT_NEAR(v.t, 0.5, 1e-6);
            } else {
                EXPECT_NEAR(ModelZ(v), 0.1, 1e-4);
                EXPECT_NEAR(std::hypot(ModelX(v), ModelY(v)), 0.075, 1e-4);
                // The glass picture's circle: (0.5 + x, 0.5 - y) of the radius-0.5 point.
                EXPECT_NEAR(v.s, 0.5 + ModelX(v) / 0.15, 1e-3);
                EXPECT_NEAR(v.t, 0.5 - ModelY(v) / 0.15, 1e-3);
            }
        }
        EXPECT_EQ(centres, 1);
    }
}

// The second list draws the first turned half round: (x, y, z) becomes (-x, y, -z).
void ExpectMirrored(GLuint list, GLuint mirrored) {
    const std::vector<FedPolygon> plain = FeedbackOf(list);
    const std::vector<FedPolygon> turned = FeedbackOf(mirrored);
    ASSERT_FALSE(plain.empty());
    ASSERT_EQ(plain.size(), turned.size());
    for (size_t f = 0; f < plain.size(); ++f) {
        ASSERT_EQ(plain[f].size(), turned[f].size());
        for (size_t c = 0; c < plain[f].size(); ++c) {
            EXPECT_NEAR(ModelX(turned[f][c]), -ModelX(plain[f][c]), 1e-4);
            EXPECT_NEAR(ModelY(turned[f][c]), ModelY(plain[f][c]), 1e-4);
            EXPECT_NEAR(ModelZ(turned[f][c]), -ModelZ(plain[f][c]), 1e-4);
        }
    }
}

TEST_F(RobotLists, MirroredLegKeepsItsStrutOutside) {
    ExpectMirrored(LIST_SIDE_LEG, LIST_SIDE_LEG_MIRRORED);
    ExpectMirrored(LIST_SIDE_FOOT, LIST_SIDE_FOOT_MIRRORED);
    // Placed at x = +1 the turned strut spans x 1.0 to 1.3.
    double low = 10.0, high = -10.0;
    for (const FedPolygon& polygon : FeedbackOf(LIST_SIDE_LEG_MIRRORED)) {
        for (const FedVertex& v : polygon) {
            if (ModelY(v) >= -0.45) continue;
            low = std::min(low, ModelX(v) + 1.0);
            high = std::max(high, ModelX(v) + 1.0);
        }
    }
    EXPECT_NEAR(low, 1.0, 1e-4);
    EXPECT_NEAR(high, 1.3, 1e-4);
}

TEST_F(RobotLists, LegsAndFeetSendTheirFaces) {
    // Eleven faces, the cap's half disc as a fan of seven triangles, its seven curved quads.
    const std::vector<FedPolygon> leg = FeedbackOf(LIST_SIDE_LEG);
    const FaceList faces = ComputeSideLegFaces();
    ASSERT_EQ(leg.size(), 2 * 11u + 7u + 2 * 7u);
    for (size_t q = 0; q < 11; ++q) {
        const std::vector<FedVertex> quad = FedQuad(leg, 2 * q);
        ASSERT_EQ(quad.size(), 4u);
        for (int c = 0; c < 4; ++c) {
            const Vec3& corner = faces.corners[faces.quads[q].corners[c]];
            EXPECT_NEAR(ModelX(quad[c]), corner.x, 1e-4) << q;
            EXPECT_NEAR(ModelY(quad[c]), corner.y, 1e-4) << q;
            EXPECT_NEAR(ModelZ(quad[c]), corner.z, 1e-4) << q;
        }
    }
    for (size_t f = 22; f < 29; ++f) {
        ASSERT_EQ(leg[f].size(), 3u);
        for (const FedVertex& v : leg[f]) EXPECT_NEAR(ModelX(v), -0.325, 1e-4);
    }
    // The curved strip spans the shoulder on the cap's circle.
    for (size_t f = 29; f < leg.size(); ++f) {
        for (const FedVertex& v : leg[f]) {
            EXPECT_NEAR(std::hypot(ModelY(v), ModelZ(v)), 0.35, 1e-4);
            EXPECT_TRUE(std::abs(ModelX(v) - 0.1) < 1e-4 || std::abs(ModelX(v) + 0.325) < 1e-4);
        }
    }
    EXPECT_EQ(FeedbackOf(LIST_CENTRE_LEG).size(), 2 * 3u);
    EXPECT_EQ(FeedbackOf(LIST_SIDE_FOOT).size(), 2 * 9u);
}

using RobotListBuild = GlTest;

// The first build in a fresh context, as at scene build.
TEST_F(RobotListBuild, TakesLittleTime) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    BuildRobotLists();
    QueryPerformanceCounter(&end);
    const double ms = 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                      static_cast<double>(frequency.QuadPart);
    RecordProperty("robot_lists_ms", std::to_string(ms));
    std::printf("BuildRobotLists: %.2f ms\n", ms);
    EXPECT_LT(ms, 1000.0);
}

}  // namespace
