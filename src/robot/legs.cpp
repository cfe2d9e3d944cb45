#include "robot/legs.h"

#include <windows.h>
#include <GL/gl.h>
#include "render/gl_names.h"

namespace {

constexpr double CAP_RADIUS = 0.35;
constexpr double SHOULDER_OUTER_X = -0.325;
constexpr double SHOULDER_INNER_X = 0.1;

constexpr double SOLE_Y = -0.45;
constexpr double PLATE_BOTTOM_Y = -0.55;
constexpr double OPENING_HALF_DEPTH = 0.25;
constexpr double SOLE_HALF_DEPTH = 0.45;

// A point of a horizontal edge.
struct Edge {
    double x, z;
};

// Texture of a face's corners bottom-left, top-left, top-right, bottom-right.
std::array<Vec2, 4> TexRect(double sLeft, double sRight, double tTop, double tBottom) {
    return {MakeVec2(sLeft, tBottom), MakeVec2(sLeft, tTop), MakeVec2(sRight, tTop),
            MakeVec2(sRight, tBottom)};
}

// A face between a lower and an upper horizontal edge, each given left to right as seen from
// outside, so that the corners run clockwise from the lower left.
void AddSpan(FaceList& faces, double lowY, Edge lowLeft, Edge lowRight, double highY, Edge highLeft,
             Edge highRight, const std::array<Vec2, 4>& texCoords) {
    AddQuad(faces,
            {MakeVec3(lowLeft.x, lowY, lowLeft.z), MakeVec3(highLeft.x, highY, highLeft.z),
             MakeVec3(highRight.x, highY, highRight.z), MakeVec3(lowRight.x, lowY, lowRight.z)},
            texCoords);
}

void AddUpright(FaceList& faces, double bottom, double top, Edge left, Edge right,
                const std::array<Vec2, 4>& texCoords) {
    AddSpan(faces, bottom, left, right, top, left, right, texCoords);
}

// Corners run left to right along the slot's x extent seen from outside.
struct FootShape {
    double openingOuterX, openingInnerX;
    double soleOuterX, soleInnerX;
    double plateInnerX;
};

FaceList ComputeFootFaces(const FootShape& foot) {
    constexpr double top = 0.0;
    constexpr double o = OPENING_HALF_DEPTH;
    constexpr double d = SOLE_HALF_DEPTH;
    const std::array<Vec2, 4> endTex{MakeVec2(0.125, 0.75), MakeVec2(0.195, 0.0),
                                     MakeVec2(0.305, 0.0), MakeVec2(0.375, 0.75)};
    const std::array<Vec2, 4> sideTex{MakeVec2(0.0, 0.75), MakeVec2(0.0, 0.0), MakeVec2(0.125, 0.0),
                                      MakeVec2(0.125, 0.75)};
    const double so = foot.soleOuterX, si = foot.soleInnerX;
    const double oo = foot.openingOuterX, oi = foot.openingInnerX;
    const double pe = foot.plateInnerX;
    FaceList faces;
    AddSpan(faces, SOLE_Y, {so, -d}, {so, d}, top, {oo, -o}, {oo, o}, endTex);
    AddSpan(faces, SOLE_Y, {si, -d}, {so, -d}, top, {oi, -o}, {oo, -o}, sideTex);
    AddSpan(faces, SOLE_Y, {so, d}, {si, d}, top, {oo, o}, {oi, o}, sideTex);
    AddSpan(faces, SOLE_Y, {si, d}, {si, -d}, top, {oi, o}, {oi, -o}, endTex);
    const Vec2 ledgeTex = MakeVec2(0.125, 0.75);
    AddQuad(faces,
            {MakeVec3(si, SOLE_Y, d), MakeVec3(si, SOLE_Y, -d), MakeVec3(pe, SOLE_Y, -d),
             MakeVec3(pe, SOLE_Y, d)},
            {ledgeTex, ledgeTex, ledgeTex, ledgeTex});
    // The centre foot's ledge has no width, so its normal cannot be computed.
    faces.quads.back().fixedNormal = MakeVec3(0.0, 1.0, 0.0);
    AddUpright(faces, PLATE_BOTTOM_Y, SOLE_Y, {pe, -d}, {so, -d}, TexRect(0.0, 0.125, 0.75, 1.0));
    AddUpright(faces, PLATE_BOTTOM_Y, SOLE_Y, {so, d}, {pe, d}, TexRect(0.0, 0.125, 0.75, 1.0));
    AddUpright(faces, PLATE_BOTTOM_Y, SOLE_Y, {so, -d}, {so, d}, TexRect(0.125, 0.375, 0.75, 1.0));
    AddUpright(faces, PLATE_BOTTOM_Y, SOLE_Y, {pe, d}, {pe, -d}, TexRect(0.125, 0.375, 0.75, 1.0));
    ComputeQuadNormals(faces);
    return faces;
}

// A list that draws another one turned half round the vertical axis.
void BuildMirroredList(unsigned int list, unsigned int source) {
    glNewList(list, GL_COMPILE);
    glPushMatrix();
    glRotatef(180.0f, 0.0f, 1.0f, 0.0f);
    glCallList(source);
    glPopMatrix();
    glEndList();
}

void BuildFootList(unsigned int list, const FaceList& faces) {
    glNewList(list, GL_COMPILE);
    glPushMatrix();
    glBindTexture(GL_TEXTURE_2D, textureSlots[SLOT_FEET]);
    EmitQuads(faces);
    glPopMatrix();
    glEndList();
}

double CapAngle(int i) {
    return i * (180.0 / 7.0);
}

// The curved top of the shoulder: a flat half disc on the outer end, then the curved strip.
void EmitShoulderCap() {
    const std::array<Vec3, CAP_POINTS> points = SemicirclePoints(CAP_RADIUS);
    // Given before the fan opens: Mesa's list compiler drops a fan that follows another
    // primitive with nothing sent in between.
    glNormal3d(-1.0, 0.0, 0.0);
    glBegin(GL_TRIANGLE_FAN);
    glTexCoord2d(0.75, 0.1);
    glVertex3d(SHOULDER_OUTER_X, 0.0, 0.0);
    for (int i = 0; i < CAP_POINTS; ++i) {
        Vec3 tex = MakeVec3(-0.25, 0.0, 0.0);
        RotatePoint(tex, 0.0, 0.0, CapAngle(i));
        glTexCoord2d(tex.x + 0.75, 0.5 * tex.y + 0.1);
        glVertex3d(SHOULDER_OUTER_X, points[i].y, points[i].z);
    }
    glEnd();
    auto corner = [](double x, const Vec3& point, double s, double t) {
        glNormal3d(0.0, point.y, point.z);
        glTexCoord2d(s, t);
        glVertex3d(x, point.y, point.z);
    };
    glBegin(GL_QUADS);
    for (int i = 0; i + 1 < CAP_POINTS; ++i) {
        corner(SHOULDER_INNER_X, points[i], 0.15, 0.1);
        corner(SHOULDER_INNER_X, points[i + 1], 0.15, 0.0);
        corner(SHOULDER_OUTER_X, points[i + 1], 0.5, 0.0);
        corner(SHOULDER_OUTER_X, points[i], 0.5, 0.1);
    }
    glEnd();
}

}  // namespace

std::array<Vec3, CAP_POINTS> SemicirclePoints(double radius) {
    std::array<Vec3, CAP_POINTS> points{};
    for (int i = 0; i < CAP_POINTS; ++i) {
        points[i] = MakeVec3(0.0, 0.0, -radius);
        RotatePoint(points[i], CapAngle(i), 0.0, 0.0);
    }
    return points;
}

FaceList ComputeSideLegFaces() {
    constexpr double strutBottom = -1.85, strutTop = -0.4;
    constexpr double so = -0.3, si = 0.0, sd = 0.25;
    constexpr double shoulderBottom = -0.3, shoulderTop = 0.0;
    constexpr double ho = SHOULDER_OUTER_X, hi = SHOULDER_INNER_X, hd = 0.35;
    FaceList faces;
    AddUpright(faces, strutBottom, strutTop, {so, -sd}, {so, sd}, TexRect(0.57, 0.93, 0.3, 1.0));
    AddUpright(faces, strutBottom, strutTop, {si, -sd}, {so, -sd}, TexRect(0.25, 0.5, 0.3, 1.0));
    AddUpright(faces, strutBottom, strutTop, {so, sd}, {si, sd}, TexRect(0.5, 0.25, 1.0, 0.3));
    AddUpright(faces, strutBottom, strutTop, {si, sd}, {si, -sd}, TexRect(0.0, 0.2, 0.3, 1.1));
    AddUpright(faces, shoulderBottom, shoulderTop, {ho, -hd}, {ho, hd},
               TexRect(0.5, 1.0, 0.1, 0.225));
    AddUpright(faces, shoulderBottom, shoulderTop, {hi, -hd}, {ho, -hd},
               TexRect(0.15, 0.5, 0.1, 0.25));
    AddUpright(faces, shoulderBottom, shoulderTop, {ho, hd}, {hi, hd},
               TexRect(0.5, 0.15, 0.1, 0.25));
    // The transition from the shoulder's bottom edge down to the strut's top.
    AddSpan(faces, strutTop, {so, -sd}, {so, sd}, shoulderBottom, {ho, -hd}, {ho, hd},
            {MakeVec2(0.57, 0.3), MakeVec2(0.5, 0.225), MakeVec2(1.0, 0.225), MakeVec2(0.93, 0.3)});
    AddQuad(faces,
            {MakeVec3(so, strutTop, -sd), MakeVec3(si, strutTop, -sd),
             MakeVec3(hi, shoulderBottom, -hd), MakeVec3(ho, shoulderBottom, -hd)},
            {MakeVec2(0.5, 0.3), MakeVec2(0.25, 0.3), MakeVec2(0.15, 0.25), MakeVec2(0.5, 0.25)});
    AddQuad(faces,
            {MakeVec3(si, strutTop, sd), MakeVec3(so, strutTop, sd),
             MakeVec3(ho, shoulderBottom, hd), MakeVec3(hi, shoulderBottom, hd)},
            {MakeVec2(0.25, 1.0), MakeVec2(0.5, 1.0), MakeVec2(0.5, 0.25), MakeVec2(0.15, 0.25)});
    const Vec2 inner = MakeVec2(0.57, 1.0);
    AddSpan(faces, strutTop, {si, sd}, {si, -sd}, shoulderBottom, {hi, hd}, {hi, -hd},
            {inner, inner, inner, inner});
    ComputeQuadNormals(faces);
    return faces;
}

void BuildSideLegs() {
    const FaceList faces = ComputeSideLegFaces();
    glNewList(LIST_SIDE_LEG, GL_COMPILE);
    glPushMatrix();
    glBindTexture(GL_TEXTURE_2D, textureSlots[SLOT_LEGS]);
    EmitQuads(faces);
    EmitShoulderCap();
    glPopMatrix();
    glEndList();
    BuildMirroredList(LIST_SIDE_LEG_MIRRORED, LIST_SIDE_LEG);
}

FaceList ComputeCentreLegFaces() {
    constexpr double bottom = -0.1, top = 0.75;
    constexpr double x = 0.175, back = -0.23, front = 0.25;
    const std::array<Vec2, 4> flat = TexRect(0.0, 0.0, 0.0, 0.0);
    FaceList faces;
    AddUpright(faces, bottom, top, {x, back}, {-x, back}, flat);
    AddUpright(faces, bottom, top, {-x, back}, {-x, front}, flat);
    AddUpright(faces, bottom, top, {x, front}, {x, back}, flat);
    ComputeQuadNormals(faces);
    return faces;
}

void BuildCentreLeg() {
    const FaceList faces = ComputeCentreLegFaces();
    glNewList(LIST_CENTRE_LEG, GL_COMPILE);
    glBindTexture(GL_TEXTURE_2D, textureSlots[SLOT_LEGS]);
    EmitQuads(faces);
    glEndList();
}

FaceList ComputeSideFootFaces() {
    return ComputeFootFaces({-0.275, 0.0, -0.4, 0.0, 0.1});
}

FaceList ComputeCentreFootFaces() {
    return ComputeFootFaces({-0.175, 0.175, -0.3, 0.3, 0.3});
}

void BuildFeet() {
    BuildFootList(LIST_SIDE_FOOT, ComputeSideFootFaces());
    BuildMirroredList(LIST_SIDE_FOOT_MIRRORED, LIST_SIDE_FOOT);
    BuildFootList(LIST_CENTRE_FOOT, ComputeCentreFootFaces());
}
