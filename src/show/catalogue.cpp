#include "show/catalogue.h"

#include <algorithm>
#include <string_view>

namespace {

struct Listing {
    uint32_t resourceId;
    uint32_t flags;
    double left, top, right, bottom;
    std::string_view caption;
};

constexpr uint32_t FRONT = PF_FRONT;
constexpr uint32_t FLOOR = PF_FLOOR;
constexpr uint32_t ZOOM = PF_FRONT | PF_ZOOM;

constexpr std::array LISTINGS{
#define QUORVEL_PICTURE(id, kind, left, top, right, bottom, caption) \
    Listing{id, kind, left, top, right, bottom, caption},
#include "pictures.inc"
#undef QUORVEL_PICTURE
};

constexpr uint32_t FIRST_PICTURE_INDEX = 16;
constexpr uint32_t SLOT_COUNT = 8;

PictureRecord MakeRecord(const Listing& listing) {
    PictureRecord record{listing.resourceId,
                         listing.flags,
                         listing.left,
                         listing.top,
                         listing.right,
                         listing.bottom,
                         {}};
    std::copy(listing.caption.begin(), listing.caption.end(), record.caption);
    return record;
}

std::array<PictureRecord, CATALOGUE_SIZE> MakeCatalogue() {
    static_assert(LISTINGS.size() == CATALOGUE_SIZE - FIRST_PICTURE_INDEX);
    std::array<PictureRecord, CATALOGUE_SIZE> catalogue{};
    for (uint32_t i = 0; i < SLOT_COUNT; ++i) {
        const bool front = i % 2 == 0;
        catalogue[i] = MakeRecord(
            {0, PF_EXTERNAL | PF_ZOOM | (front ? PF_FRONT : PF_FLOOR), 0.5, 0.5, 0.5, 0.5, ""});
        catalogue[i + SLOT_COUNT] =
            MakeRecord({0, PF_MOVIE | (front ? PF_FLOOR : 0), 0.0, 0.0, 1.0, 1.0, ""});
    }
    std::transform(LISTINGS.begin(), LISTINGS.end(), catalogue.begin() + FIRST_PICTURE_INDEX,
                   MakeRecord);
    return catalogue;
}

}  // namespace

std::array<PictureRecord, CATALOGUE_SIZE> pictureCatalogue = MakeCatalogue();
