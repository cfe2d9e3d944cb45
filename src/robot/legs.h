// The robot's legs and feet, each a display list of its own.
#pragma once
#include <array>
#include "robot/mesh.h"

constexpr int CAP_POINTS = 8;

void BuildSideLegs();
void BuildCentreLeg();
void BuildFeet();

// The tables each builder computes before it opens its list.
FaceList ComputeSideLegFaces();
FaceList ComputeCentreLegFaces();
FaceList ComputeSideFootFaces();
FaceList ComputeCentreFootFaces();
// (0, 0, -radius) turned about X in seven equal steps over the top to (0, 0, radius).
std::array<Vec3, CAP_POINTS> SemicirclePoints(double radius);
