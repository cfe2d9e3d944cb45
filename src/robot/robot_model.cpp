#include "robot/robot_model.h"

#include <windows.h>
#include <GL/gl.h>
#include "render/gl_names.h"
#include "robot/legs.h"

namespace {

constexpr int DOME_SEGMENTS = 20;
constexpr int DOME_RINGS = 5;
constexpr double DOME_STEP = 18.0;
constexpr size_t DOME_CAP_END = 300;
constexpr size_t DOME_END = 540;
constexpr int LENS_SEGMENTS = 8;
constexpr int BODY_SEGMENTS = 20;
constexpr int BODY_LAST_RING = 40;
constexpr double SKIRT_HEIGHT = 0.5;

void BindSlot(int slot) {
    glBindTexture(GL_TEXTURE_2D, textureSlots[slot]);
}

void SetSphereMapping(bool on) {
    if (on) {
        glEnable(GL_TEXTURE_GEN_S);
        glEnable(GL_TEXTURE_GEN_T);
    } else {
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
    }
}

void SendPoint(const Vec3& point) {
    glVertex3d(point.x, point.y, point.z);
}

}  // namespace

void BuildRobotLists() {
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    BuildPanelBlock();
    BuildProjectorLens();
    BuildDome();
    BuildBody();
    BuildSideLegs();
    BuildCentreLeg();
    BuildFeet();
}

FaceList ComputePanelBlock() {
    FaceList block;
    for (double z : {0.25, -0.25}) {
        block.corners.insert(block.corners.end(),
                             {MakeVec3(-0.3, -0.25, z), MakeVec3(-0.25, 0.25, z),
                              MakeVec3(0.25, 0.25, z), MakeVec3(0.3, -0.25, z)});
    }
    const Vec2 plain = MakeVec2(0.0, 1.0);
    const std::array<Vec2, 4> unpainted{plain, plain, plain, plain};
    block.quads = {
        {{0, 1, 2, 3},
         {MakeVec2(0.0, 1.0), MakeVec2(0.1, 0.0), MakeVec2(0.9, 0.0), MakeVec2(1.0, 1.0)},
         std::nullopt},
        {{4, 5, 1, 0}, unpainted, std::nullopt},
        {{3, 2, 6, 7}, unpainted, std::nullopt},
        {{2, 1, 5, 6}, unpainted, std::nullopt},
        {{0, 3, 7, 4}, unpainted, std::nullopt},
    };
    ComputeQuadNormals(block);
    return block;
}

void BuildPanelBlock() {
    const FaceList block = ComputePanelBlock();
    glNewList(LIST_PANEL_BLOCK, GL_COMPILE);
    glPushMatrix();
    glRotatef(20.0f, 0.0f, 1.0f, 0.0f);
    glRotatef(-33.0f, 1.0f, 0.0f, 0.0f);
    glTranslatef(0.0f, 0.0f, 0.77f);
    glRotatef(10.0f, 1.0f, 0.0f, 0.0f);
    BindSlot(SLOT_PANEL);
    EmitQuads(block);
    glPopMatrix();
    glEndList();
}

RingMesh ComputeLensMesh() {
    RingMesh lens;
    AddRing(lens, RingAxis::Z, LENS_SEGMENTS, 0.075, 0.1, 0.0);
    AddRing(lens, RingAxis::Z, LENS_SEGMENTS, 0.1, -0.1, 0.0);
    AddBand(lens, 0, LENS_SEGMENTS, LENS_SEGMENTS, BandStart::UpperRing, false);
    ComputeMeshNormals(lens);
    for (int j = 0; j < LENS_SEGMENTS; ++j) {
        Vec3 glass = MakeVec3(0.5, 0.0, 0.0);
        RotatePoint(glass, 0.0, 0.0, 45.0 * j);
        lens.texCoords[j] = MakeVec2(0.5 + glass.x, 0.5 - glass.y);
    }
    return lens;
}

void BuildProjectorLens() {
    const RingMesh lens = ComputeLensMesh();
    glNewList(LIST_LENS, GL_COMPILE);
    BindSlot(SLOT_CHROME);
    SetSphereMapping(true);
    EmitTriangles(lens, 0, lens.indices.size(), SentCoords::None);
    SetSphereMapping(false);
    BindSlot(SLOT_LENS_GLASS);
    glNormal3d(0.0, 0.0, 1.0);
    glBegin(GL_TRIANGLE_FAN);
    glTexCoord2d(0.5, 0.5);
    glVertex3f(0.0f, 0.0f, 0.075f);
    // Clockwise seen from the front, closed on the first rim point.
    for (int j : {7, 6, 5, 4, 3, 2, 1, 0, 7}) {
        glTexCoord2d(lens.texCoords[j].s, lens.texCoords[j].t);
        SendPoint(lens.points[j]);
    }
    glEnd();
    glEndList();
}

RingMesh ComputeDomeMesh() {
    RingMesh dome;
    dome.points.push_back(MakeVec3(0.0, 1.0, 0.0));
    dome.texCoords.push_back(MakeVec2(0.5, 0.5));
    for (int k = 1; k <= DOME_RINGS; ++k) {
        Vec3 point = MakeVec3(0.0, 1.0, 0.0);
        RotatePoint(point, 0.0, 0.0, DOME_STEP * k);
        for (int j = 0; j < DOME_SEGMENTS; ++j) {
            RotatePoint(point, 0.0, DOME_STEP, 0.0);
            dome.points.push_back(point);
            Vec3 radial = MakeVec3(-k / 6.0, 0.0, 0.0);
            RotatePoint(radial, 0.0, 0.0, DOME_STEP * (j + 1));
            dome.texCoords.push_back(MakeVec2(radial.x + 0.5, radial.y + 0.5));
        }
    }
    for (int32_t n = 1; n < DOME_SEGMENTS; ++n)
        dome.indices.insert(dome.indices.end(), {n + 1, n, 0});
    dome.indices.insert(dome.indices.end(), {1, DOME_SEGMENTS, 0});
    for (int s = 1; s < 1 + (DOME_RINGS - 1) * DOME_SEGMENTS; s += DOME_SEGMENTS) {
        // Only the two lower bands carry the wrap-around band decal.
        const bool lowerHalf = s > 2 * DOME_SEGMENTS;
        AddBand(dome, s, s + DOME_SEGMENTS, DOME_SEGMENTS, BandStart::LowerRing, lowerHalf);
    }
    ComputeMeshNormals(dome);
    return dome;
}

void SetDomeBandCoordinates(RingMesh& dome) {
    for (int m = 0; m < 3; ++m) {
        const int first = 1 + DOME_SEGMENTS * (2 + m);
        for (int j = 0; j < DOME_SEGMENTS; ++j)
            dome.texCoords[first + j] = MakeVec2(j / 20.0, 0.5 * m);
    }
}

void MountDomeLens(const LensMount& mount) {
    glRotated(mount.yaw, 0.0, 1.0, 0.0);
    glRotated(mount.pitch, 1.0, 0.0, 0.0);
    glTranslated(0.0, 0.0, 0.975);
}

void BuildDome() {
    RingMesh dome = ComputeDomeMesh();
    glNewList(LIST_DOME, GL_COMPILE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    BindSlot(SLOT_CHROME);
    SetSphereMapping(true);
    EmitTriangles(dome, 0, DOME_END, SentCoords::Stored);
    // The decals repeat the shell's vertices exactly and must pass the depth test.
    glDepthFunc(GL_LEQUAL);
    SetSphereMapping(false);
    glCallList(LIST_PANEL_BLOCK);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glColor4d(1.0, 1.0, 1.0, 1.0);
    BindSlot(SLOT_DOME_CAP);
    glEnable(GL_TEXTURE_2D);
    EmitTriangles(dome, 0, DOME_CAP_END, SentCoords::Stored);
    SetDomeBandCoordinates(dome);
    BindSlot(SLOT_DOME_BAND);
    EmitTriangles(dome, DOME_CAP_END, DOME_END, SentCoords::WrappedAtSeam);
    glDisable(GL_BLEND);
    for (const LensMount& mount : DOME_LENS_MOUNTS) {
        glPushMatrix();
        MountDomeLens(mount);
        glCallList(LIST_LENS);
        glPopMatrix();
    }
    glEndList();
}

RingMesh ComputeBodyMesh() {
    RingMesh body;
    AddRing(body, RingAxis::Y, BODY_SEGMENTS, 1.0, 0.4, 0.0);
    AddRing(body, RingAxis::Y, BODY_SEGMENTS, 1.0, -1.6, 0.875);
    AddRing(body, RingAxis::Y, BODY_SEGMENTS, 0.75, -1.8, 1.0);
    AddBand(body, 0, BODY_SEGMENTS, BODY_SEGMENTS, BandStart::UpperRing, true);
    AddBand(body, BODY_SEGMENTS, BODY_LAST_RING, BODY_SEGMENTS, BandStart::UpperRing, true);
    ComputeMeshNormals(body);
    return body;
}

void BuildBody() {
    const RingMesh body = ComputeBodyMesh();
    glNewList(LIST_BODY, GL_COMPILE);
    BindSlot(SLOT_BODY);
    glEnable(GL_TEXTURE_2D);
    EmitTriangles(body, 0, body.indices.size(), SentCoords::WrappedAtSeam);
    // The recess wall under the body: no texture coordinates, so it keeps the last texel.
    glBegin(GL_TRIANGLES);
    glColor4d(0.5, 0.5, 0.5, 1.0);
    auto skirtVertex = [&body](int j, double lift) {
        const Vec3& q = body.points[BODY_LAST_RING + j % BODY_SEGMENTS];
        glNormal3d(-q.x, 0.0, -q.z);
        glVertex3d(q.x, q.y + lift, q.z);
    };
    for (int j = 0; j < BODY_SEGMENTS; ++j) {
        skirtVertex(j, 0.0);
        skirtVertex(j + 1, 0.0);
        skirtVertex(j, SKIRT_HEIGHT);
        skirtVertex(j + 1, 0.0);
        skirtVertex(j + 1, SKIRT_HEIGHT);
        skirtVertex(j, SKIRT_HEIGHT);
    }
    glEnd();
    glColor4d(1.0, 1.0, 1.0, 1.0);
    glEndList();
}
