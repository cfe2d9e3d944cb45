#include "show/animation.h"

#include <GL/gl.h>
#include "render/frame_clock.h"
#include "render/scene.h"
#include "show/director.h"
#include "show/hologram.h"

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

namespace {

constexpr double TURN_SPEED = 40.0;
constexpr double LEAN_DEGREES = 20.0;

void StepTurn(float& yaw, float target, int& dir, bool& turning) {
    if (yaw < target) {
        dir = 1;
    } else if (yaw > target) {
        dir = -1;
    }
    yaw = static_cast<float>(yaw + frameDelta * TURN_SPEED * dir);
    if ((dir > 0 && yaw > target) || (dir < 0 && yaw < target)) {
        yaw = target;
        turning = false;
    }
}

void DrawSideLeg(double side, unsigned int legList, unsigned int footList, bool floorPose) {
    glPushMatrix();
    if (!floorPose) glRotated(-leanAngle, 1.0, 0.0, 0.0);
    glTranslated(side, 0.0, 0.0);
    glCallList(legList);
    glTranslated(0.0, -1.7, 0.0);
    if (!floorPose) glRotated(leanAngle, 1.0, 0.0, 0.0);
    glCallList(footList);
    glPopMatrix();
}

}  // namespace

bool InFloorPose() {
    return ItemHas(currentIndex, PF_FLOOR) && showStep > 0;
}

void StepBodyTurn() {
    // The body only turns while the robot leans back fully on its centre leg.
    if (!bodyTurning || !leaning || leanAmount != 1.0) return;
    if (ItemHas(currentIndex, PF_FLOOR) && showStep >= 0) return;
    StepTurn(bodyYaw, bodyYawTarget, bodyTurnDir, bodyTurning);
}

void StepHeadTurn() {
    if (headTurning) StepTurn(headYaw, headYawTarget, headTurnDir, headTurning);
}

void UpdateRobotPose() {
    if (leaning) {
        leanAmount += frameDelta;
        if (leanAmount > 1.0) leanAmount = 1.0;
    } else {
        leanAmount -= frameDelta;
        if (leanAmount < 0.0) leanAmount = 0.0;
    }
    leanAngle = InFloorPose() ? leanAmount * -LEAN_DEGREES : leanAmount * LEAN_DEGREES;
    lensPitch = -(1.0 - leanAmount) * LEAN_DEGREES;
    if (ItemHas(currentIndex, PF_FLOOR)) lensPitch += LEAN_DEGREES * leanAmount;
}

void ApplyBodyFrame() {
    glRotated(bodyYaw + 180.0, 0.0, 1.0, 0.0);
    // Keeps the side feet where they stood upright while the body leans back.
    if (leanAmount > 0.0 && !InFloorPose()) {
        glTranslated(0.0, -0.11 * leanAmount, -0.58 * leanAmount);
    }
}

void ApplyDomeFrame() {
    glRotated(leanAngle, 1.0, 0.0, 0.0);
    glTranslated(0.0, 0.4, 0.0);
    glRotated(162.0 + headYaw, 0.0, 1.0, 0.0);
}

void ApplyLensFrame() {
    glRotated(35.0, 0.0, 1.0, 0.0);
    glRotated(-10.0, 1.0, 0.0, 0.0);
    glTranslated(0.0, 0.0, 0.975);
    glRotated(10.0 + lensPitch, 1.0, 0.0, 0.0);
}

void DrawRobotAndHologram() {
    UpdateRobotPose();
    const bool floorPose = InFloorPose();
    ApplyBodyFrame();

    glPushMatrix();
    glRotated(leanAngle, 1.0, 0.0, 0.0);
    glCallList(LIST_BODY);
    if (!floorPose) {
        glPushMatrix();
        glTranslated(0.0, -0.7 - leanAmount, 0.0);
        glCallList(LIST_CENTRE_LEG);
        glRotated(-leanAngle, 1.0, 0.0, 0.0);
        glCallList(LIST_CENTRE_FOOT);
        glPopMatrix();
    }
    glPopMatrix();

    DrawSideLeg(-1.0, LIST_SIDE_LEG, LIST_SIDE_FOOT, floorPose);
    DrawSideLeg(1.0, LIST_SIDE_LEG_MIRRORED, LIST_SIDE_FOOT_MIRRORED, floorPose);

    glPushMatrix();
    ApplyDomeFrame();
    glCallList(LIST_DOME);
    glPushMatrix();
    ApplyLensFrame();
    glCallList(LIST_LENS);
    glPopMatrix();
    glDepthMask(GL_FALSE);
    if (showStep > 0) DrawProjections();
    glDepthMask(GL_TRUE);
    glPopMatrix();
}
