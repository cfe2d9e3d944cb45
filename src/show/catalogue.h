// The show items the hologram can project.
#pragma once
#include <array>
#include <cstdint>

constexpr uint32_t PF_FRONT = 1;
constexpr uint32_t PF_FLOOR = 2;
constexpr uint32_t PF_ZOOM = 4;
constexpr uint32_t PF_MOVIE = 8;
constexpr uint32_t PF_EXTERNAL = 16;

constexpr int CATALOGUE_SIZE = 106;
constexpr int CAPTION_SIZE = 256;

struct PictureRecord {
    uint32_t resourceId;
    uint32_t flags;
    double zoomLeft;
    double zoomTop;
    double zoomRight;
    double zoomBottom;
    wchar_t caption[CAPTION_SIZE];
};

extern std::array<PictureRecord, CATALOGUE_SIZE> pictureCatalogue;
