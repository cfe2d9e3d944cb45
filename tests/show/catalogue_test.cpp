// The catalogue's slots and how the shared picture listing fills the rest; the listing's own
// rules (sizes, flags, captions) are checked where the artwork is made.
#include <gtest/gtest.h>
#include <set>
#include <string_view>
#include "show/catalogue.h"

namespace {

TEST(Catalogue, SlotsComeFirstThenTheBuiltInPicturesInListingOrder) {
    for (uint32_t i = 0; i < CATALOGUE_SIZE; ++i) {
        const PictureRecord& r = pictureCatalogue[i];
        const uint32_t side = i % 2 == 0 ? PF_FRONT : PF_FLOOR;
        if (i < 16) {
            EXPECT_EQ(r.flags,
                      i < 8 ? PF_EXTERNAL | PF_ZOOM | side : PF_MOVIE | (i % 2 == 0 ? PF_FLOOR : 0))
                << i;
            EXPECT_EQ(r.zoomLeft, i < 8 ? 0.5 : 0.0);
        } else {
            const std::set<uint32_t> uncaptioned{226, 227, 274, 276, 277};
            EXPECT_EQ(std::wstring_view(r.caption).empty(), uncaptioned.contains(r.resourceId))
                << i;
            EXPECT_TRUE(0.0 <= r.zoomLeft && r.zoomLeft <= r.zoomRight && r.zoomRight <= 1.0) << i;
            EXPECT_TRUE(0.0 <= r.zoomTop && r.zoomTop <= r.zoomBottom && r.zoomBottom <= 1.0) << i;
        }
        EXPECT_EQ(r.resourceId, i < 16 ? 0u : 184 + i);
        const bool whole = r.zoomLeft == 0.0 && r.zoomTop == 0.0 && r.zoomBottom == 1.0;
        EXPECT_TRUE(whole || (r.flags & PF_ZOOM)) << i;
    }
}

}  // namespace
