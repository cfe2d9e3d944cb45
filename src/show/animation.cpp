#include "show/animation.h"

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

void StepBodyTurn() {}
void StepHeadTurn() {}
void UpdateRobotPose() {}
void DrawRobotAndHologram() {}
