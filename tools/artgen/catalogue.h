// The built-in pictures: size, show flags, zoom start region, drawing and caption.
#pragma once

#include <string>
#include <vector>

#include "raster.h"

enum PictureFlag : unsigned { kFront = 1, kFloor = 2, kZoom = 4 };

struct Region {
    float left = 0, top = 0, right = 1, bottom = 1;
};

struct PictureArt {
    int id;
    int width, height;
    unsigned flags;
    Region zoom;
    void (*draw)(Canvas&);
};

const std::vector<PictureArt>& Pictures();

struct CaptionLine {
    int id;
    std::string text;
};
// The captions of resources/pictures.inc, in file order.
const std::vector<CaptionLine>& Captions();
std::string CaptionOf(int id);
