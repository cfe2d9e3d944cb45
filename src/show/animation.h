// The robot's motions and its drawing.
#pragma once

extern bool leaning;
extern double leanAmount;
extern double leanAngle;
extern double lensPitch;
extern float bodyYaw;
extern float bodyYawTarget;
extern int bodyTurnDir;
extern bool bodyTurning;
extern float headYaw;
extern float headYawTarget;
extern int headTurnDir;
extern bool headTurning;

void StepBodyTurn();
void StepHeadTurn();
void UpdateRobotPose();
void DrawRobotAndHologram();

// The current item is a floor item and is being projected: the robot tips forward.
bool InFloorPose();
// The model-view transforms of the drawing: the body's turn and lean shift, then from the body
// frame to the dome frame, then from the dome frame to the main lens.
void ApplyBodyFrame();
void ApplyDomeFrame();
void ApplyLensFrame();
