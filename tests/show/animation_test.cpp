#include <gtest/gtest.h>
#include "show/show_fixture.h"

namespace {

constexpr double FRAME = 1.0 / 30.0;

int FloorIndex() {
    for (int i = 16; i < CATALOGUE_SIZE; ++i) {
        if (ItemHas(i, PF_FLOOR)) return i;
    }
    return -1;
}

using TurnTest = ShowStateTest;
using PoseTest = ShowStateTest;

TEST_F(TurnTest, DomeTurnsFortyDegreesPerSecondAndSnapsToItsTarget) {
    headTurning = true;
    headYawTarget = 100.0f;
    frameDelta = 0.25;
    StepHeadTurn();
    EXPECT_EQ(headYaw, 10.0f);
    EXPECT_EQ(headTurnDir, 1);
    frameDelta = 5.0;  // a stalled frame passes the target
    StepHeadTurn();
    EXPECT_EQ(headYaw, 100.0f);
    EXPECT_FALSE(headTurning);
    // Turning back the other way.
    headTurning = true;
    headYawTarget = 90.0f;
    frameDelta = 0.125;
    StepHeadTurn();
    EXPECT_EQ(headYaw, 95.0f);
    EXPECT_EQ(headTurnDir, -1);
}

TEST_F(TurnTest, TurnsAreNotWrappedAndCoverTheWholeDistance) {
    headYaw = 350.0f;
    headTurning = true;
    headYawTarget = -360.0f;
    frameDelta = FRAME;
    int frames = 0;
    float previous = headYaw;
    while (headTurning && frames < 10000) {
        StepHeadTurn();
        ASSERT_LT(headYaw, previous);
        previous = headYaw;
        ++frames;
    }
    EXPECT_EQ(headYaw, -360.0f);
    // 710 degrees at 40 per second: 17.75 seconds, that is 532.5 frames.
    EXPECT_EQ(frames, 533);
}

TEST_F(TurnTest, BodyTurnStartedUprightWaitsForTheFullLean) {
    leaning = true;
    leanAmount = 0.0;
    bodyYaw = 0.0f;
    bodyTurning = true;
    bodyYawTarget = 90.0f;
    int framesBeforeMoving = 0;
    frameDelta = FRAME;
    while (bodyYaw == 0.0f && framesBeforeMoving < 100) {
        StepBodyTurn();
        if (bodyYaw == 0.0f) {
            EXPECT_LT(leanAmount, 1.0);
            ++framesBeforeMoving;
        }
        UpdateRobotPose();
    }
    EXPECT_GE(framesBeforeMoving, 30);
    EXPECT_LE(framesBeforeMoving, 31);
    EXPECT_FLOAT_EQ(bodyYaw, 40.0f * static_cast<float>(FRAME));

    // A dome turn moves at once, upright or not.
    leaning = false;
    leanAmount = 0.0;
    headTurning = true;
    headYawTarget = -50.0f;
    StepHeadTurn();
    EXPECT_LT(headYaw, 0.0f);
}

TEST_F(TurnTest, BodyHoldsStillWhileAFloorItemIsProjected) {
    leaning = true;
    leanAmount = 1.0;
    bodyTurning = true;
    bodyYaw = 0.0f;
    bodyYawTarget = 90.0f;
    frameDelta = FRAME;
    currentIndex = FloorIndex();
    for (const int step : {SHOW_AIM, SHOW_OPEN, SHOW_PLAY}) {
        showStep = step;
        StepBodyTurn();
        EXPECT_EQ(bodyYaw, 0.0f) << step;
    }
    showStep = SHOW_POSE;
    StepBodyTurn();
    EXPECT_GT(bodyYaw, 0.0f);
    currentIndex = 70;
    showStep = SHOW_PLAY;
    const float before = bodyYaw;
    StepBodyTurn();
    EXPECT_GT(bodyYaw, before);
}

TEST_F(TurnTest, TargetEqualToTheAngleBeforeAnyTurnStaysInProgress) {
    headYaw = 25.0f;
    headYawTarget = 25.0f;
    headTurning = true;
    frameDelta = FRAME;
    for (int i = 0; i < 100; ++i) StepHeadTurn();
    EXPECT_TRUE(headTurning);
    EXPECT_EQ(headYaw, 25.0f);
    EXPECT_EQ(headTurnDir, 0);
}

TEST_F(TurnTest, LandingExactlyOnTheTargetKeepsTheDirectionAndEndsNextFrame) {
    headYaw = 0.0f;
    headYawTarget = 10.0f;
    headTurning = true;
    frameDelta = 0.25;
    StepHeadTurn();
    EXPECT_EQ(headYaw, 10.0f);
    EXPECT_TRUE(headTurning);
    StepHeadTurn();
    EXPECT_EQ(headYaw, 10.0f);
    EXPECT_FALSE(headTurning);
    EXPECT_EQ(headTurnDir, 1);
}

TEST_F(PoseTest, LeanTakesOneSecondAndClampsExactly) {
    frameDelta = FRAME;
    for (int i = 0; i < 29; ++i) UpdateRobotPose();
    EXPECT_LT(leanAmount, 1.0);
    frameDelta = 3.0;
    UpdateRobotPose();
    EXPECT_EQ(leanAmount, 1.0);
    EXPECT_EQ(leanAngle, 20.0);
    EXPECT_EQ(lensPitch, 0.0);
    leaning = false;
    UpdateRobotPose();
    EXPECT_EQ(leanAmount, 0.0);
    EXPECT_EQ(leanAngle, 0.0);
    EXPECT_EQ(lensPitch, -20.0);
}

TEST_F(PoseTest, FloorItemTipsTheRobotForwardOnlyWhileProjected) {
    currentIndex = FloorIndex();
    leanAmount = 1.0;
    frameDelta = FRAME;
    showStep = SHOW_AIM;
    UpdateRobotPose();
    EXPECT_FALSE(InFloorPose());
    EXPECT_EQ(leanAngle, 20.0);
    EXPECT_EQ(lensPitch, 20.0) << "the lens pitch follows the item in every step";
    showStep = SHOW_OPEN;
    UpdateRobotPose();
    EXPECT_TRUE(InFloorPose());
    EXPECT_EQ(leanAngle, -20.0);
    EXPECT_EQ(lensPitch, 20.0);
    leaning = false;
    leanAmount = 0.5 + frameDelta;
    UpdateRobotPose();
    EXPECT_DOUBLE_EQ(leanAngle, -10.0);
    EXPECT_NEAR(lensPitch, 0.0, 1e-12) << "half upright, half tipped";
}

}  // namespace
