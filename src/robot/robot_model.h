// The robot's display lists, built once at scene build: body, dome, panel block and lenses.
#pragma once
#include <array>
#include "robot/mesh.h"

// Where a small lens sits on the dome: a turn about the vertical, then a tilt.
struct LensMount {
    double yaw;
    double pitch;
};

constexpr std::array<LensMount, 2> DOME_LENS_MOUNTS{{{215.0, -12.5}, {147.5, -65.0}}};

void BuildRobotLists();
void BuildPanelBlock();
void BuildProjectorLens();
void BuildDome();
void BuildBody();

// The tables each builder computes before it opens its list.
FaceList ComputePanelBlock();
// Front ring texture coordinates are the glass disc's.
RingMesh ComputeLensMesh();
// With the radial texture coordinates of the shell and the cap decal.
RingMesh ComputeDomeMesh();
// Replaces the coordinates of the dome's three lower rings with those of the band decal.
void SetDomeBandCoordinates(RingMesh& dome);
RingMesh ComputeBodyMesh();
// Moves the current matrix from the dome's centre to a small lens's seat.
void MountDomeLens(const LensMount& mount);
