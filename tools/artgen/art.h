// The generators of every artwork resource.
#pragma once

#include <filesystem>
#include <vector>

#include "art_resources.h"
#include "formats.h"
#include "palette.h"
#include "raster.h"

// Panel colours of the robot: blue that the colour schemes swap, and neutral greys they keep.
namespace robot {
const Color kBlue = Rgb(24, 58, 200);
const Color kBlueLight = Rgb(92, 134, 240);
const Color kBlueDark = Rgb(12, 30, 118);
const Color kWhite = Rgb(236, 236, 236);
const Color kGreyLight = Rgb(206, 206, 206);
const Color kGrey = Rgb(160, 160, 160);
const Color kGreyDark = Rgb(104, 104, 104);
const Color kSeam = Rgb(132, 132, 132);
// Ground of the colour-keyed decals: blends into the chrome at their antialiased edges.
constexpr Rgb8 kDecalKey{150, 150, 150};
}  // namespace robot

// Ground of the banner and of every catalogue picture.
constexpr Rgb8 kBlackKey{0, 0, 0};

Indexed DrawBanner();
Indexed DrawBodyTexture();
Indexed DrawDomeCapDecal();
Indexed DrawChrome();
Indexed DrawDomeBandDecal();
Indexed DrawPanelBlock();
Indexed DrawLensGlass();
Indexed DrawLegTexture();
Indexed DrawFeetTexture();
RgbImage DrawGlyphStrip();
std::vector<RgbaImage> DrawIcons();

// A front view of the robot, standing, in model units scaled to pixels: the body's axis at
// centreX, model y = 0 (the body's top face is at 0.4) at originY.
struct RobotView {
    float centreX, originY, scale;
    bool detailed;
};
void DrawRobotFigure(Canvas& canvas, const RobotView& view);

// Rectangles in dialog pixels, for the check that no label lies under a control.
struct Box {
    float x0, y0, x1, y1;
    bool Overlaps(const Box& o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
};
struct DialogArt {
    Indexed image;
    std::vector<Box> controls;
    std::vector<Box> labels;  // ink of every label
};
DialogArt DrawDialogBackground();

// All built-in pictures read back from dir, with id, flags, zoom region and caption.
RgbImage DrawContactSheet(const std::filesystem::path& dir);
