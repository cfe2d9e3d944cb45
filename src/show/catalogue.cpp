#include "show/catalogue.h"

#include <algorithm>
#include <string_view>

namespace {

struct Region {
    double left, top, right, bottom;
};

constexpr Region FULL{0.0, 0.0, 1.0, 1.0};
constexpr Region CENTRE_POINT{0.5, 0.5, 0.5, 0.5};

struct ZoomStart {
    uint32_t resourceId;
    Region region;
};

constexpr std::array FRONT_IDS{202u, 206u, 209u, 213u, 214u, 215u, 217u, 218u, 219u, 220u,
                               222u, 229u, 234u, 235u, 237u, 238u, 241u, 242u, 243u, 244u,
                               245u, 246u, 247u, 248u, 250u, 251u, 253u, 254u, 255u, 260u,
                               263u, 265u, 267u, 270u, 279u, 280u, 287u};

constexpr std::array FLOOR_IDS{200u, 201u, 210u, 212u, 224u, 226u, 227u, 228u, 231u, 233u, 252u,
                               258u, 259u, 262u, 264u, 273u, 276u, 278u, 282u, 283u, 284u};

constexpr std::array<ZoomStart, 32> ZOOM_STARTS{{
    {203, {0.25, 0.25, 0.25, 0.25}},
    {204, {0.25, 0.25, 0.25, 0.25}},
    {230, {0.25, 0.25, 0.25, 0.25}},
    {249, {0.25, 0.25, 0.25, 0.25}},
    {271, {0.25, 0.25, 0.25, 0.25}},
    {281, {0.25, 0.25, 0.25, 0.25}},
    {207, CENTRE_POINT},
    {232, CENTRE_POINT},
    {240, CENTRE_POINT},
    {256, CENTRE_POINT},
    {261, CENTRE_POINT},
    {266, CENTRE_POINT},
    {275, CENTRE_POINT},
    {286, CENTRE_POINT},
    {289, CENTRE_POINT},
    {205, {0.32, 0.18, 0.33, 0.19}},
    {208, {0.34, 0.6, 0.54, 0.84}},
    {211, {0.4, 0.45, 0.6, 0.55}},
    {216, {0.75, 0.75, 0.75, 0.75}},
    {221, {0.3, 0.3, 0.3, 0.3}},
    {223, {0.4, 0.1, 0.6, 0.3}},
    {225, {0.75, 0.43, 0.75, 0.43}},
    {236, {0.58, 0.19, 0.58, 0.19}},
    {239, {0.6, 0.5, 0.6, 0.5}},
    {257, {0.2, 0.2, 0.2, 0.2}},
    {268, {0.69, 0.87, 0.69, 0.87}},
    {269, {0.4, 0.5, 0.4, 0.5}},
    {272, {0.5, 0.25, 0.5, 0.25}},
    {285, {0.5, 0.25, 0.5, 0.25}},
    {274, {0.47, 0.23, 0.54, 0.34}},
    {277, {0.5, 0.27, 0.5, 0.27}},
    {288, {0.25, 0.76, 0.25, 0.76}},
}};

struct Caption {
    uint32_t resourceId;
    std::string_view text;
};

constexpr std::array CAPTIONS{
#define QUORVEL_CAPTION(id, text) Caption{id, text},
#include "captions.inc"
#undef QUORVEL_CAPTION
};

constexpr uint32_t FIRST_PICTURE_INDEX = 16;
constexpr uint32_t RESOURCE_ID_OFFSET = 184;

PictureRecord MakeRecord(uint32_t resourceId, uint32_t flags, Region region,
                         std::string_view text) {
    PictureRecord record{resourceId,   flags,         region.left, region.top,
                         region.right, region.bottom, {}};
    std::copy(text.begin(), text.end(), record.caption);
    return record;
}

PictureRecord BuiltInRecord(uint32_t index) {
    const uint32_t id = index + RESOURCE_ID_OFFSET;
    const std::string_view caption = CAPTIONS[index - FIRST_PICTURE_INDEX].text;
    if (std::find(FLOOR_IDS.begin(), FLOOR_IDS.end(), id) != FLOOR_IDS.end())
        return MakeRecord(id, PF_FLOOR, FULL, caption);
    for (const ZoomStart& zoom : ZOOM_STARTS) {
        if (zoom.resourceId == id) return MakeRecord(id, PF_FRONT | PF_ZOOM, zoom.region, caption);
    }
    return MakeRecord(id, PF_FRONT, FULL, caption);
}

std::array<PictureRecord, CATALOGUE_SIZE> MakeCatalogue() {
    static_assert(CAPTIONS.size() == CATALOGUE_SIZE - FIRST_PICTURE_INDEX);
    static_assert(FRONT_IDS.size() + FLOOR_IDS.size() + ZOOM_STARTS.size() == CAPTIONS.size());
    std::array<PictureRecord, CATALOGUE_SIZE> catalogue{};
    for (uint32_t i = 0; i < 8; ++i) {
        const uint32_t projection = i % 2 == 0 ? PF_FRONT : PF_FLOOR;
        catalogue[i] = MakeRecord(0, PF_EXTERNAL | PF_ZOOM | projection, CENTRE_POINT, "");
        catalogue[i + 8] = MakeRecord(0, PF_MOVIE | (i % 2 == 0 ? PF_FLOOR : 0), FULL, "");
    }
    for (uint32_t i = FIRST_PICTURE_INDEX; i < CATALOGUE_SIZE; ++i) catalogue[i] = BuiltInRecord(i);
    return catalogue;
}

}  // namespace

std::array<PictureRecord, CATALOGUE_SIZE> pictureCatalogue = MakeCatalogue();
