// The robot's turns, and its pose as the real drawing places every piece.
#include <gtest/gtest.h>
#include <cmath>
#include <vector>
#include <numbers>
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
    // The struts hang outside the body, 1 to 1.3 from its axis.
    double outer = 0.0, inner = 10.0;
    for (size_t f = 0; f < BOTH; ++f) {
        for (const FedVertex& v : upright[f]) {
            if (v.p[1] > -0.45 || (f >= LEFT_FOOT && f < RIGHT) || f >= RIGHT_FOOT) continue;
            outer = std::max(outer, std::abs(v.p[0]));
            inner = std::min(inner, std::abs(v.p[0]));
        }
    }
    EXPECT_NEAR(outer, 1.3, 1e-4);
    EXPECT_NEAR(inner, 1.0, 1e-4);
}

TEST_F(RobotPose, CentreFootComesDownToTheSideFeetOnTheLensSide) {
    HoldPose(false, 0.0);
    const Fed hanging = FeedRobot({LIST_CENTRE_FOOT});
    ASSERT_EQ(hanging.size(), 18u);
    EXPECT_NEAR(Lowest(hanging, 0, 18), -0.7 - 0.55, 1e-3) << "0.7 below the body's middle";
    HoldPose(false, 1.0);
    const Fed centre = FeedRobot({LIST_CENTRE_FOOT});
    const Fed side = SideLegs();
    const Axis lens = LensAxis(FeedRobot({LIST_LENS}), 0);
    EXPECT_NEAR(Lowest(centre, 0, 18), Lowest(side, 0, BOTH), 0.01);
    EXPECT_NEAR(Height(centre, 0, 18), 0.55, 1e-3);
    const P3 ahead = MeanPosition(centre, 0, 18) - 0.5 * (MeanPosition(side, LEFT_FOOT, RIGHT) +
                                                          MeanPosition(side, RIGHT_FOOT, BOTH));
    EXPECT_NEAR(Dot(ahead, Level(lens.direction)), 1.16, 0.02);
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
    const Fed upright = SideLegs();
    EXPECT_NEAR(BodyAxis()[1], 1.0, 1e-6);
    HoldPose(false, 1.0);
    const P3 back = BodyAxis();
    HoldPose(true, 1.0);
    const P3 forward = BodyAxis();
    EXPECT_TRUE(FeedRobot({LIST_CENTRE_LEG, LIST_CENTRE_FOOT}).empty());
    // The side legs keep their upright angle.
    const Fed floor = SideLegs();
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
        EXPECT_GT(Dot(Level(look), c.across), 0.9998) << c.floor << " " << c.lean << " " << c.body;
    }
}

}  // namespace
