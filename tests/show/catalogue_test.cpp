// The catalogue's entries and the bitmaps behind them.
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <map>
#include <set>
#include <string_view>
#include "art_resources.h"
#include "show/catalogue.h"
#include "support/gl_fixture.h"

namespace {

TEST(Catalogue, SlotsComeFirstThenTheBuiltInPicturesWithShortPrintableCaptions) {
    const std::set<uint32_t> uncaptioned{226, 227, 274, 276, 277};
    std::map<uint32_t, int> flagCounts;
    for (uint32_t i = 0; i < CATALOGUE_SIZE; ++i) {
        const PictureRecord& r = pictureCatalogue[i];
        const uint32_t side = i % 2 == 0 ? PF_FRONT : PF_FLOOR;
        if (i < 16) {
            EXPECT_EQ(r.flags,
                      i < 8 ? PF_EXTERNAL | PF_ZOOM | side : PF_MOVIE | (i % 2 == 0 ? PF_FLOOR : 0))
                << i;
            EXPECT_EQ(r.zoomLeft, i < 8 ? 0.5 : 0.0);
        } else {
            ++flagCounts[r.flags];
            // Short enough for the beam, printable, and only five left without one.
            const std::wstring_view caption = r.caption;
            EXPECT_LE(caption.size(), 24u) << i;
            EXPECT_EQ(caption.empty(), uncaptioned.contains(r.resourceId)) << i;
            EXPECT_TRUE(
                std::ranges::all_of(caption, [](wchar_t c) { return c >= 32 && c <= 126; }));
            EXPECT_TRUE(0.0 <= r.zoomLeft && r.zoomLeft <= r.zoomRight && r.zoomRight <= 1.0) << i;
            EXPECT_TRUE(0.0 <= r.zoomTop && r.zoomTop <= r.zoomBottom && r.zoomBottom <= 1.0) << i;
        }
        EXPECT_EQ(r.resourceId, i < 16 ? 0u : 184 + i);
        const bool whole = r.zoomLeft == 0.0 && r.zoomTop == 0.0 && r.zoomBottom == 1.0;
        EXPECT_TRUE(whole || (r.flags & PF_ZOOM)) << i;
    }
    EXPECT_EQ(flagCounts,
              (std::map<uint32_t, int>{{PF_FRONT, 37}, {PF_FLOOR, 21}, {PF_FRONT | PF_ZOOM, 32}}));
}

TEST(Resources, EveryBitmapHasItsSizeAndPicturesHavePowerOfTwoSides) {
    for (const BitmapResource& fixed : FIXED_BITMAPS) {
        const Bitmap bitmap = DecodeBitmapResource(fixed.id);
        EXPECT_EQ(std::pair(bitmap.width, bitmap.height), std::pair(fixed.width, fixed.height))
            << fixed.file;
    }
    std::map<std::pair<int, int>, int> sizes;
    for (int i = 16; i < CATALOGUE_SIZE; ++i) {
        const Bitmap bitmap =
            DecodeBitmapResource(static_cast<int>(pictureCatalogue[i].resourceId));
        ++sizes[{bitmap.width, bitmap.height}];
    }
    EXPECT_EQ(sizes, (std::map<std::pair<int, int>, int>{
                         {{128, 128}, 16}, {{128, 256}, 25}, {{256, 128}, 26}, {{256, 256}, 23}}));
}

}  // namespace
