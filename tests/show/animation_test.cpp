// The robot's turns, and its pose as the real drawing places every piece.
#include <gtest/gtest.h>
#include <cmath>
#include <vector>
#include "show/show_fixture.h"

namespace {

using TurnTest = ShowStateTest;

TEST_F(TurnTest, FortyDegreesPerSecondUnwrappedSnappingAtTheTarget) {
    struct Case {
        float from, to, delta;
        std::vector<float> path;  // the angle after each step, while the turn lasts
    };
    for (const Case& c : {Case{0, 10, 0.125f, {5, 10, 10}}, Case{10, -20, 5.0f, {-20}},
                          Case{350, -360, 8.0f, {30, -290, -360}}}) {
        robotPose.headYaw = c.from;
        robotPose.headYawTarget = c.to;
        robotPose.headTurning = true;
        frameClock.frameDelta = c.delta;
        // Landing exactly on the target ends the turn only at the next step.
        for (const float expected : c.path) {
            ASSERT_TRUE(robotPose.headTurning);
            StepHeadTurn();
            EXPECT_EQ(robotPose.headYaw, expected) << c.from << " to " << c.to;
        }
        EXPECT_FALSE(robotPose.headTurning);
    }
    // A target equal to the angle before any turn has moved is never reached.
    ResetShowState(1);
    robotPose.headYaw = robotPose.headYawTarget = 25.0f;
    robotPose.headTurning = true;
    for (int i = 0; i < 100; ++i) StepHeadTurn();
    EXPECT_TRUE(robotPose.headTurning);
}

using RobotPose = ShowTest;

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

// The left leg and foot (43 and 18 triangles), then the right ones.
Fed SideLegs() {
    return FeedRobot(
        {LIST_SIDE_LEG, LIST_SIDE_LEG_MIRRORED, LIST_SIDE_FOOT, LIST_SIDE_FOOT_MIRRORED});
}
constexpr size_t LEFT_FOOT = 43, RIGHT = 61, RIGHT_FOOT = RIGHT + 43, BOTH = 2 * RIGHT;

TEST_F(RobotPose, SideFeetStayPlantedLevelAndTheLegsMirroredAsTheRobotLeansBack) {
    HoldPose(false, 0.0);
    const Fed upright = SideLegs();
    ASSERT_EQ(upright.size(), BOTH);
    EXPECT_NEAR(Lowest(upright, 0, BOTH), -2.25, 1e-3);
    for (const double lean : {0.0, 0.5, 1.0}) {
        HoldPose(false, lean);
        const Fed leaned = SideLegs();
        ASSERT_EQ(leaned.size(), BOTH);
        for (size_t f = 0; f < RIGHT; ++f) {
            for (size_t c = 0; c < 3; ++c) {
                // The right pieces are the left ones turned half round, so that the legs match
                // corner by corner only upright; the feet, kept level, always do.
                const P3 left = leaned[f][c].p, right = leaned[f + RIGHT][c].p;
                if (lean == 0.0 || f >= LEFT_FOOT) {
                    EXPECT_NEAR(right[0], -left[0], 1e-4) << f;
                    EXPECT_NEAR(right[1], left[1], 1e-4) << f;
                }
                // The lean's shift puts the feet back where they stood once fully leaned.
                if (lean < 1.0 || f < LEFT_FOOT) continue;
                for (int axis = 0; axis < 3; ++axis)
                    EXPECT_NEAR(left[axis], upright[f][c].p[axis], 0.01) << f;
            }
        }
        EXPECT_NEAR(Height(leaned, LEFT_FOOT, RIGHT), 0.55, 1e-3) << lean;
        EXPECT_NEAR(Height(leaned, RIGHT_FOOT, BOTH), 0.55, 1e-3) << lean;
    }
}

}  // namespace
