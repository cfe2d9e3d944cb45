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
