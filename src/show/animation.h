// The robot's motions and its drawing.
#pragma once

// The robot's lean and turns: targets, directions and where they stand this frame.
struct RobotPose {
    bool leaning = true;
    double leanAmount = 0.0;
    double leanAngle = 0.0;
    double lensPitch = 0.0;
    float bodyYaw = -180.0f;
    float bodyYawTarget = 0.0f;
    int bodyTurnDir = 0;
    bool bodyTurning = false;
    float headYaw = 0.0f;
    float headYawTarget = 0.0f;
    int headTurnDir = 0;
    bool headTurning = false;
};

extern RobotPose robotPose;

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
