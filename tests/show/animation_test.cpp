// The robot's turns, and its pose as the real drawing places every piece.
#include <gtest/gtest.h>
#include <cmath>
#include <numbers>
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
    for (; frames < 100 && bodyYaw == 0.0f; ++frames) {
        StepBodyTurn();
        UpdateRobotPose();
    }
    EXPECT_EQ(leanAmount, 1.0);
    EXPECT_NEAR(frames * FRAME, 1.0 + 2 * FRAME, FRAME);
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

using RobotPose = ShowTest;

constexpr unsigned int SIDE_FEET[] = {LIST_SIDE_FOOT, LIST_SIDE_FOOT_MIRRORED};

double Lowest(const Fed& fed, size_t first, size_t end) {
    double low = 1e9;
    for (size_t f = first; f < end; ++f) {
        for (const FedVertex& v : fed[f]) low = std::min(low, v.p[1]);
    }
    return low;
}

// A foot stands level when it is as high as it is built: 0.55.
double Height(const Fed& fed, size_t first, size_t end) {
    double high = -1e9;
    for (size_t f = first; f < end; ++f) {
        for (const FedVertex& v : fed[f]) high = std::max(high, v.p[1]);
    }
    return high - Lowest(fed, first, end);
}

Fed SideFeet() {
    return FeedRobot({SIDE_FEET[0], SIDE_FEET[1]});
}

TEST_F(RobotPose, SideFeetStayPlantedLevelAndMirroredAsTheRobotLeansBack) {
    HoldPose(false, 0.0);
    const Fed upright = SideFeet();
    ASSERT_EQ(upright.size(), 36u);
    EXPECT_NEAR(Lowest(upright, 0, 36), -2.25, 1e-3);
    for (const double lean : {0.5, 1.0}) {
        HoldPose(false, lean);
        const Fed leaned = SideFeet();
        ASSERT_EQ(leaned.size(), 36u);
        for (size_t f = 0; f < 18; ++f) {
            for (size_t c = 0; c < 3; ++c) {
                const P3 left = leaned[f][c].p, right = leaned[f + 18][c].p;
                EXPECT_NEAR(right[0], -left[0], 1e-4);
                EXPECT_NEAR(right[1], left[1], 1e-4);
                // The lean's shift puts them back where they stood once fully leaned.
                if (lean < 1.0) continue;
                for (int axis = 0; axis < 3; ++axis)
                    EXPECT_NEAR(left[axis], upright[f][c].p[axis], 0.01) << f;
            }
        }
        EXPECT_NEAR(Height(leaned, 0, 18), 0.55, 1e-3) << lean;
        EXPECT_NEAR(Height(leaned, 18, 36), 0.55, 1e-3) << lean;
    }
}

TEST_F(RobotPose, CentreFootComesDownToTheSideFeetOnTheLensSide) {
    HoldPose(false, 0.0);
    const Fed hanging = FeedRobot({LIST_CENTRE_FOOT});
    ASSERT_EQ(hanging.size(), 18u);
    EXPECT_NEAR(Lowest(hanging, 0, 18), -0.7 - 0.55, 1e-3) << "0.7 below the body's middle";
    HoldPose(false, 1.0);
    const Fed centre = FeedRobot({LIST_CENTRE_FOOT});
    const Fed side = SideFeet();
    const Axis lens = LensAxis(FeedRobot({LIST_LENS}), 0);
    EXPECT_NEAR(Lowest(centre, 0, 18), Lowest(side, 0, 36), 0.01);
    EXPECT_NEAR(Height(centre, 0, 18), 0.55, 1e-3);
    const P3 ahead = MeanPosition(centre, 0, 18) - MeanPosition(side, 0, 36);
    EXPECT_NEAR(Dot(ahead, Unit({lens.direction[0], 0.0, lens.direction[2]})), 1.16, 0.02);
    EXPECT_EQ(FeedRobot({LIST_CENTRE_LEG}).size(), 6u);
}

// The body's axis from the middle of its bottom rim (texture t = 1) to its top (t = 0).
P3 BodyAxis() {
    const Fed body = FeedRobot({LIST_BODY});
    P3 top{0, 0, 0}, bottom{0, 0, 0};
    for (size_t f = 0; f < 80; ++f) {
        for (const FedVertex& v : body[f]) {
            if (v.t == 0.0f) top = top + v.p;
            if (v.t == 1.0f) bottom = bottom + v.p;
        }
    }
    return Unit(top - bottom);
}

TEST_F(RobotPose, FloorPoseTipsTheBodyTowardsTheLensOnItsSideLegsAlone) {
    HoldPose(false, 0.0);
    const Fed upright =
        FeedRobot({LIST_SIDE_LEG, LIST_SIDE_LEG_MIRRORED, SIDE_FEET[0], SIDE_FEET[1]});
    EXPECT_NEAR(BodyAxis()[1], 1.0, 1e-6);
    HoldPose(false, 1.0);
    const P3 back = BodyAxis();
    HoldPose(true, 1.0);
    const P3 forward = BodyAxis();
    EXPECT_TRUE(FeedRobot({LIST_CENTRE_LEG, LIST_CENTRE_FOOT}).empty());
    // The side legs keep their upright angle.
    const Fed floor =
        FeedRobot({LIST_SIDE_LEG, LIST_SIDE_LEG_MIRRORED, SIDE_FEET[0], SIDE_FEET[1]});
    ASSERT_EQ(floor.size(), upright.size());
    for (size_t f = 0; f < floor.size(); ++f) {
        for (size_t c = 0; c < 3; ++c) EXPECT_EQ(floor[f][c].p, upright[f][c].p) << f;
    }
    // Aimed with the body unturned, the lens looks at the viewer (+z).
    const double tilt = std::sin(20.0 * std::numbers::pi / 180.0);
    EXPECT_NEAR(back[2], -tilt, 1e-3) << "leaned back, away from the lens";
    EXPECT_NEAR(forward[2], tilt, 1e-3) << "tipped forward, towards the lens";
    EXPECT_NEAR(back[0], 0.0, 1e-3);
}

TEST_F(RobotPose, AimedLensRisesTwentyDegreesOrDipsFortyOnTheFloor) {
    struct Case {
        bool floor;
        double lean;
        float body;
        P3 across;  // the horizontal direction the lens must look in
        double elevation;
    };
    for (const Case c :
         {Case{false, 0.0, 0.0f, {0, 0, 1}, 20.0}, Case{false, 1.0, 0.0f, {0, 0, 1}, 20.0},
          Case{true, 1.0, 0.0f, {0, 0, 1}, -40.0}, Case{false, 1.0, 90.0f, {1, 0, 0}, 20.0},
          Case{false, 0.0, -90.0f, {-1, 0, 0}, 20.0}}) {
        HoldPose(c.floor, c.lean, c.body);
        const P3 look = LensAxis(FeedRobot({LIST_LENS}), 0).direction;
        EXPECT_NEAR(std::asin(look[1]) * 180.0 / std::numbers::pi, c.elevation, 0.2)
            << c.floor << " " << c.lean << " " << c.body;
        EXPECT_GT(Dot(Unit({look[0], 0.0, look[2]}), c.across), 0.9998)
            << c.floor << " " << c.lean << " " << c.body;
    }
}

}  // namespace
