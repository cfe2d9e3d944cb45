#include "show/animation.h"

#include <GL/gl.h>
#include "render/frame_clock.h"
#include "render/gl_names.h"
#include "show/director.h"
#include "show/hologram.h"

RobotPose robotPose;

namespace {

constexpr double TURN_SPEED = 40.0;
constexpr double LEAN_DEGREES = 20.0;

void StepTurn(float& yaw, float target, int& dir, bool& turning) {
    if (yaw < target) {
        dir = 1;
    } else if (yaw > target) {
        dir = -1;
    }
    yaw = static_cast<float>(yaw + frameClock.frameDelta * TURN_SPEED * dir);
    if ((dir > 0 && yaw > target) || (dir < 0 && yaw < target)) {
        yaw = target;
        turning = false;
    }
}

void DrawSideLeg(double side, unsigned int legList, unsigned int footList, bool floorPose) {
    glPushMatrix();
    if (!floorPose) glRotated(-robotPose.leanAngle, 1.0, 0.0, 0.0);
    glTranslated(side, 0.0, 0.0);
    glCallList(legList);
    glTranslated(0.0, -1.7, 0.0);
    if (!floorPose) glRotated(robotPose.leanAngle, 1.0, 0.0, 0.0);
    glCallList(footList);
    glPopMatrix();
}

}  // namespace

bool InFloorPose() {
    return ItemHas(showState.currentIndex, PF_FLOOR) && showState.showStep > 0;
}

void StepBodyTurn() {
    // The body only turns while the robot leans back fully on its centre leg.
    if (!robotPose.bodyTurning || !robotPose.leaning || robotPose.leanAmount != 1.0) return;
    if (ItemHas(showState.currentIndex, PF_FLOOR) && showState.showStep >= 0) return;
    StepTurn(robotPose.bodyYaw, robotPose.bodyYawTarget, robotPose.bodyTurnDir,
             robotPose.bodyTurning);
}

void StepHeadTurn() {
    if (robotPose.headTurning)
        StepTurn(robotPose.headYaw, robotPose.headYawTarget, robotPose.headTurnDir,
                 robotPose.headTurning);
}

void UpdateRobotPose() {
    if (robotPose.leaning) {
        robotPose.leanAmount += frameClock.frameDelta;
        if (robotPose.leanAmount > 1.0) robotPose.leanAmount = 1.0;
    } else {
        robotPose.leanAmount -= frameClock.frameDelta;
        if (robotPose.leanAmount < 0.0) robotPose.leanAmount = 0.0;
    }
    robotPose.leanAngle =
        InFloorPose() ? robotPose.leanAmount * -LEAN_DEGREES : robotPose.leanAmount * LEAN_DEGREES;
    robotPose.lensPitch = -(1.0 - robotPose.leanAmount) * LEAN_DEGREES;
    if (ItemHas(showState.currentIndex, PF_FLOOR))
        robotPose.lensPitch += LEAN_DEGREES * robotPose.leanAmount;
}

void ApplyBodyFrame() {
    glRotated(robotPose.bodyYaw + 180.0, 0.0, 1.0, 0.0);
    // Keeps the side feet where they stood upright while the body leans back.
    if (robotPose.leanAmount > 0.0 && !InFloorPose()) {
        glTranslated(0.0, -0.11 * robotPose.leanAmount, -0.58 * robotPose.leanAmount);
    }
}

void ApplyDomeFrame() {
    glRotated(robotPose.leanAngle, 1.0, 0.0, 0.0);
    glTranslated(0.0, 0.4, 0.0);
    glRotated(162.0 + robotPose.headYaw, 0.0, 1.0, 0.0);
}

void ApplyLensFrame() {
    glRotated(35.0, 0.0, 1.0, 0.0);
    glRotated(-10.0, 1.0, 0.0, 0.0);
    glTranslated(0.0, 0.0, 0.975);
    glRotated(10.0 + robotPose.lensPitch, 1.0, 0.0, 0.0);
}

void DrawRobotAndHologram() {
    const bool floorPose = InFloorPose();
    ApplyBodyFrame();

    glPushMatrix();
    glRotated(robotPose.leanAngle, 1.0, 0.0, 0.0);
    glCallList(LIST_BODY);
    if (!floorPose) {
        glPushMatrix();
        glTranslated(0.0, -0.7 - robotPose.leanAmount, 0.0);
        glCallList(LIST_CENTRE_LEG);
        glRotated(-robotPose.leanAngle, 1.0, 0.0, 0.0);
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
    if (showState.showStep > 0) DrawProjections();
    glDepthMask(GL_TRUE);
    glPopMatrix();
}
