// What the robot projects, as the real drawing sends it: beams, captions and the picture's rows.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include "show/show_fixture.h"

namespace {

constexpr const wchar_t* CAPTION = L"HOLOGRAM";
constexpr double SCALE = 0.5;
constexpr double HALF_WIDTH = 1.5;

// A beam pyramid as fed, a fan from its tip over the corners (-1, 1), (1, 1), (1, -1), ...
struct Beam {
    P3 tip, base, across, up;
};
Beam BeamAt(const Fed& fed, size_t first) {
    const FedPolygon& a = fed.at(first);
    const FedPolygon& b = fed.at(first + 1);
    EXPECT_EQ(a[0].rgba[3], 0.5f) << "half transparent at the tip";
    EXPECT_EQ(a[1].rgba[3], 0.0f) << "clear at the base";
    return {a[0].p, 0.5 * (a[1].p + b[2].p), a[2].p - a[1].p, a[2].p - b[2].p};
}

// The alpha of a glyph quad as fed.
float GlyphAlpha(const Fed& fed, size_t first) {
    return fed.at(first)[0].rgba[3];
}

void ExpectParallel(P3 actual, P3 expected, const char* what, double tolerance = 2e-3) {
    EXPECT_NEAR(Length(actual - expected), 0.0, tolerance)
        << what << ": (" << actual[0] << ", " << actual[1] << ", " << actual[2] << ")";
}

// The beam leaves the lens along its axis: tip 0.075 and base 1.5 lengths out.
void ExpectFromLens(const Beam& beam, const Axis& lens) {
    const double length = Dot(beam.base - lens.origin, lens.direction) / 1.5;
    ExpectParallel(beam.base, lens.origin + 1.5 * length * lens.direction, "base");
    ExpectParallel(beam.tip, lens.origin + 0.075 * length * lens.direction, "tip");
    EXPECT_NEAR(Dot(beam.across, lens.direction), 0.0, 1e-3);
    EXPECT_NEAR(Dot(beam.up, lens.direction), 0.0, 1e-3);
}

class Projection : public ShowTest {
protected:
    void SetUp() override {
        ShowTest::SetUp();
        BuildFont();
    }
    // The aimed robot fully leaned into its pose, projecting a captioned item with the beam
    // half open; the hologram holding.
    static void Project(bool floor, float body = 0.0f) {
        HoldPose(floor, 1.0, body);
        std::wcscpy(pictureCatalogue[showState.currentIndex].caption, CAPTION);
        showState.captionVisible = true;
        showState.beamScale = SCALE;
        showState.holoHalfWidth = static_cast<float>(HALF_WIDTH);
        hologram.holoPhase = HOLO_HOLD;
        hologram.sweepRow = 20.5f;
        hologram.holdUntil = 1e9;
    }
    // The main lens, fed with the robot while it projects no picture.
    static Axis MainLens() {
        showState.hologramDone = true;
        const Fed robot = FeedRobot({LIST_DOME, LIST_LENS});
        showState.hologramDone = false;
        return LensAxis(robot, robot.size() - 24);
    }
    static Fed Projections() { return FeedRobot({LIST_GLYPH, LIST_BEAM}); }
};

// Each frame's advance draws, in turn: the caption's beam flicker (90-104 %), its glow (40-52 %
// of the beam's size), the picture's beam flicker, then the hologram's glitch draw; the
// drawing shows them.
TEST_F(Projection, EachFrameDrawsTheBeamsFlickerAndTheCaptionsGlowInTurn) {
    Project(false);
    showState.hologramDone = true;
    constexpr int frames = 400;
    constexpr size_t perFrame = 4 + 2 * 8 + 4;
    Projections();
    SeedRandom(99);
    const Fed fed = Feed([] {
        for (int i = 0; i < frames; ++i) {
            AdvanceProjections();
            glPushMatrix();
            DrawRobotAndHologram();
            glPopMatrix();
        }
    });
    ASSERT_EQ(fed.size(), frames * perFrame);
    uint32_t state = 99;
    const auto draw = [&state](int range) {
        state = state * 214013u + 2531011u;
        return static_cast<long>((state >> 16) & 0x7FFF) % range;
    };
    const auto flicker = [&fed](size_t first) {
        const Beam beam = BeamAt(fed, first);
        return std::lround(Length(beam.base - beam.tip) / (1.425 * SCALE) * 100.0);
    };
    for (size_t at = 0; at < fed.size(); at += perFrame) {
        EXPECT_EQ(flicker(at), draw(15) + 90) << at / perFrame;
        EXPECT_EQ(std::lround(GlyphAlpha(fed, at + 4) / (0.5 * SCALE) * 100.0), draw(25) + 80);
        EXPECT_EQ(flicker(at + 20), draw(15) + 90) << at / perFrame;
        draw(1000);
    }
}

// The picture's corners by row (t from 0 at the top to 1) and side (s 0 left, 1 right).
std::map<std::pair<int, int>, P3> PictureCorners(const Fed& fed, size_t first) {
    std::map<std::pair<int, int>, P3> corners;
    for (size_t f = first; f < fed.size(); ++f) {
        for (const FedVertex& v : fed[f])
            corners[{static_cast<int>(std::lround(v.t * 38.0)), static_cast<int>(v.s)}] = v.p;
    }
    return corners;
}

TEST_F(Projection, FrontPictureStandsAcrossItsBeamUprightToTheViewerAndShakesAsAWhole) {
    for (const float glitch : {5.0f, 0.0f}) {
        Project(false);
        showState.captionVisible = false;
        hologram.glitchClock = glitch;
        const Axis lens = MainLens();
        const Fed fed = Projections();
        ASSERT_EQ(fed.size(), 4u + 76u);
        const Beam beam = BeamAt(fed, 0);
        ExpectFromLens(beam, lens);
        EXPECT_NEAR(Length(beam.across), 2 * HALF_WIDTH * SCALE, 1e-3);
        EXPECT_NEAR(Length(beam.up), 2 * SCALE, 1e-3);
        const auto corners = PictureCorners(fed, 4);
        ASSERT_EQ(corners.size(), 78u);
        const P3 across = Unit(beam.across);
        int shaken = 0;
        for (int row = 0; row <= 38; ++row) {
            // Two units out along the beam; its top one unit above the axis, rows 0.05 apart;
            // a glitch moves a row sideways and forwards alike, by -0.15 to 0.14.
            const P3 left = corners.at({row, 0}), right = corners.at({row, 1});
            ExpectParallel(right - left, 2 * HALF_WIDTH * across, "row");
            const P3 offset = 0.5 * (left + right) - lens.origin - 2.0 * lens.direction -
                              (1.0 - 0.05 * row) * Unit(beam.up);
            const double d = Dot(offset, across);
            ExpectParallel(offset, d * (across + lens.direction), "shake");
            EXPECT_TRUE(d > -0.15 - 1e-3 && d < 0.14 + 1e-3) << d;
            shaken += std::abs(d) > 1e-3;
        }
        // Whole while a glitch runs; otherwise a row jumps now and then (1 in 1000).
        EXPECT_TRUE(glitch == 0.0f ? shaken > 30 : shaken <= 2) << shaken;
        EXPECT_LT(corners.at({0, 0})[0], corners.at({0, 1})[0]) << "left edge on the left";
        EXPECT_GT(corners.at({0, 0})[1], corners.at({38, 0})[1]) << "top row at the top";
    }
}

TEST_F(Projection, FloorPictureFacesTheViewerUprightBelowTheLensWhateverTheBodyTurn) {
    for (const float body : {-90.0f, 0.0f, 90.0f}) {
        Project(true, body);
        showState.captionVisible = false;
        const Axis lens = MainLens();
        const Fed fed = Projections();
        ASSERT_EQ(fed.size(), 4u + 76u);
        ExpectFromLens(BeamAt(fed, 0), lens);
        const auto corners = PictureCorners(fed, 4);
        ASSERT_EQ(corners.size(), 78u);
        const P3 topLeft = corners.at({0, 0});
        for (const auto& [key, p] : corners) {
            // Upright within a few tenths of a degree: the undoing turns are not taken in
            // the reverse order of the turns they undo.
            const P3 expected = topLeft + P3{key.second * 2 * HALF_WIDTH, -0.05 * key.first, 0.0};
            ExpectParallel(p, expected, "corner", 0.02);
        }
        EXPECT_LT(topLeft[1], lens.origin[1]) << body;
        const P3 ahead = Level(lens.direction);
        const P3 middle = 0.5 * (topLeft + corners.at({38, 1}));
        EXPECT_GT(Dot(middle - lens.origin, ahead), 1.0) << "out where the lens looks " << body;
    }
}

using HologramTest = ShowStateTest;

TEST_F(HologramTest, RowsAlternateAndShowByPhaseAndMoviesRunBottomUp) {
    hologram.sweepRow = 10.5f;
    showState.texTop = 0.25;
    showState.texBottom = 0.75;
    for (const int phase : {HOLO_SCAN, HOLO_REVEAL, HOLO_HOLD, HOLO_LAST, HOLO_ERASE, 6}) {
        showState.movieActive = phase == 6;
        hologram.holoPhase = showState.movieActive ? HOLO_HOLD : phase;
        hologram.scanPhase = false;
        // The row pattern swaps four times a second.
        frameClock.frameTime = 10.3 + 0.25 * phase;
        const std::array<HoloRow, HOLO_ROW_COUNT> rows = ComputeHologramRows();
        EXPECT_EQ(hologram.scanPhase, phase % 2 == 1);
        for (int i = 0; i < HOLO_ROW_COUNT; ++i) {
            float expected = i % 2 == 0 ? (showState.movieActive ? 0.9f : 0.8f)
                                        : (showState.movieActive ? 0.85f : 0.7f);
            if (i == 9 || i == 10) {
                expected = 1.0f;
            } else if (phase == HOLO_SCAN || (phase == HOLO_REVEAL && i > 10) ||
                       (phase == HOLO_ERASE && i < 10)) {
                expected = 0.0f;
            }
            EXPECT_EQ(rows[i].alpha, expected) << "phase " << phase << " row " << i;
            const float t = 0.25f + 0.5f * static_cast<float>(i) / 38.0f;
            EXPECT_FLOAT_EQ(rows[i].t, showState.movieActive ? 1.0f - t : t);
            EXPECT_TRUE(rows[i].jitter >= -0.15f && rows[i].jitter <= 0.14f);
        }
    }
}

}  // namespace
