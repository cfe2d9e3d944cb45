#include <gtest/gtest.h>
#include "show/show_fixture.h"

namespace {

using TurnTest = ShowStateTest;

TEST_F(TurnTest, FortyDegreesPerSecondSnappingAtTheTarget) {
    headTurning = true;
    headYawTarget = 10.0f;
    frameDelta = 0.125;
    StepHeadTurn();
    EXPECT_EQ(headYaw, 5.0f);
    StepHeadTurn();
    EXPECT_EQ(headYaw, 10.0f) << "landed exactly: the turn goes on with its direction";
    EXPECT_TRUE(headTurning);
    StepHeadTurn();
    EXPECT_EQ(headYaw, 10.0f);
    EXPECT_FALSE(headTurning);
    headTurning = true;
    headYawTarget = -20.0f;
    frameDelta = 5.0;  // a stalled frame passes the target
    StepHeadTurn();
    EXPECT_EQ(headYaw, -20.0f);
    EXPECT_EQ(headTurnDir, -1);
    EXPECT_FALSE(headTurning);
}

TEST_F(TurnTest, TurnsCoverTheWholeDistanceUnwrapped) {
    headYaw = 350.0f;
    headTurning = true;
    headYawTarget = -360.0f;
    frameDelta = FRAME;
    int frames = 0;
    for (float previous = headYaw; headTurning && frames < 1000; ++frames, previous = headYaw) {
        StepHeadTurn();
        ASSERT_LT(headYaw, previous);
    }
    EXPECT_EQ(headYaw, -360.0f);
    EXPECT_EQ(frames, 533);  // 710 degrees at 40 per second: 532.5 frames
}

TEST_F(TurnTest, BodyTurnStartedUprightWaitsForTheFullLean) {
    bodyYaw = 0.0f;
    bodyTurning = true;
    bodyYawTarget = 90.0f;
    frameDelta = FRAME;
    int frames = 0;
    for (; frames < 100; ++frames) {
        const double lean = leanAmount;
        StepBodyTurn();
        if (bodyYaw != 0.0f) {
            EXPECT_EQ(lean, 1.0);
            break;
        }
        UpdateRobotPose();
    }
    EXPECT_NEAR(frames * FRAME, 1.0, 2 * FRAME);
    EXPECT_FLOAT_EQ(bodyYaw, 40.0f * static_cast<float>(FRAME));
}

TEST_F(TurnTest, TargetEqualToTheAngleBeforeAnyTurnStaysInProgress) {
    headYaw = headYawTarget = 25.0f;
    headTurning = true;
    frameDelta = FRAME;
    for (int i = 0; i < 100; ++i) StepHeadTurn();
    EXPECT_TRUE(headTurning);
    EXPECT_EQ(headYaw, 25.0f);
}

}  // namespace
