#include <gtest/gtest.h>
#include <vector>
#include "render/gl_window.h"

namespace {

PIXELFORMATDESCRIPTOR Format(BYTE type, BYTE bits) {
    PIXELFORMATDESCRIPTOR format{};
    format.iPixelType = type;
    format.cColorBits = bits;
    return format;
}

std::vector<PALETTEENTRY> SystemPalette() {
    std::vector<PALETTEENTRY> entries(256);
    for (int i = 0; i < 256; ++i) {
        entries[i] = {static_cast<BYTE>(i), static_cast<BYTE>(255 - i), 7, 0};
    }
    return entries;
}

TEST(Palette, ColourIndexKeepsSystemColoursAfterFourPrimaries) {
    const auto entries = BuildPaletteEntries(Format(PFD_TYPE_COLORINDEX, 8), SystemPalette());
    ASSERT_EQ(entries.size(), 256u);
    const PALETTEENTRY expected[4] = {{0, 0, 0, PC_NOCOLLAPSE},
                                      {255, 0, 0, PC_NOCOLLAPSE},
                                      {0, 255, 0, PC_NOCOLLAPSE},
                                      {0, 0, 255, PC_NOCOLLAPSE}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(entries[i].peRed, expected[i].peRed) << i;
        EXPECT_EQ(entries[i].peGreen, expected[i].peGreen) << i;
        EXPECT_EQ(entries[i].peBlue, expected[i].peBlue) << i;
        EXPECT_EQ(entries[i].peFlags, PC_NOCOLLAPSE) << i;
    }
    for (int i = 4; i < 256; ++i) {
        EXPECT_EQ(entries[i].peRed, i);
        EXPECT_EQ(entries[i].peGreen, 255 - i);
    }
}

TEST(Palette, ThreeThreeTwoRampRunsFromBlackToWhite) {
    PIXELFORMATDESCRIPTOR format = Format(PFD_TYPE_RGBA, 8);
    format.cRedBits = 3;
    format.cRedShift = 0;
    format.cGreenBits = 3;
    format.cGreenShift = 3;
    format.cBlueBits = 2;
    format.cBlueShift = 6;
    const auto entries = BuildPaletteEntries(format, SystemPalette());
    ASSERT_EQ(entries.size(), 256u);
    auto rgb = [&](int i) {
        return std::vector<int>{entries[i].peRed, entries[i].peGreen, entries[i].peBlue,
                                entries[i].peFlags};
    };
    EXPECT_EQ(rgb(0), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(rgb(255), (std::vector<int>{255, 255, 255, 0}));
    EXPECT_EQ(rgb(7), (std::vector<int>{255, 0, 0, 0}));
    EXPECT_EQ(rgb(56), (std::vector<int>{0, 255, 0, 0}));
    EXPECT_EQ(rgb(192), (std::vector<int>{0, 0, 255, 0}));
    EXPECT_EQ(rgb(3), (std::vector<int>{109, 0, 0, 0}));
}

TEST(Palette, SixteenBitFormatsClampToTwoHundredFiftySixEntries) {
    EXPECT_EQ(PaletteEntryCount(Format(PFD_TYPE_RGBA, 16)), 256);
    EXPECT_EQ(PaletteEntryCount(Format(PFD_TYPE_RGBA, 4)), 16);
    EXPECT_EQ(BuildPaletteEntries(Format(PFD_TYPE_RGBA, 16), SystemPalette()).size(), 256u);
}

}  // namespace
