#include <gtest/gtest.h>
#include <GL/gl.h>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>
#include "support/gl_fixture.h"
#include "textures/texture_loader.h"

namespace {

struct Layout {
    int width, height, depth;
    DWORD compression;
    bool topDown;
};

constexpr RGBQUAD QUADRANTS[4] = {
    {0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}, {255, 255, 255, 0}};

// Which quadrant (0 top left, 1 top right, 2 bottom left, 3 bottom right) a pixel lies in; a
// 1-bit picture has only left and right.
int Quadrant(const Layout& layout, int x, int fromTop) {
    const int right = x >= layout.width / 2 ? 1 : 0;
    return layout.depth == 1 ? right : (fromTop >= layout.height / 2 ? 2 : 0) + right;
}

// Writes pixel `value` of `depth` bits at pixel x of a row.
void Put(std::vector<uint8_t>& row, int depth, int x, uint32_t value) {
    if (depth < 8) {
        const int shift = 8 - depth - (x * depth) % 8;
        row[x * depth / 8] |= static_cast<uint8_t>(value << shift);
        return;
    }
    for (int b = 0; b < depth / 8; ++b)
        row[x * depth / 8 + b] = static_cast<uint8_t>(value >> (8 * b));
}

// The colour of a quadrant as a pixel value of the layout: an index into the colour table for
// the small depths, 5-5-5 or 5-6-5 bits, or blue, green, red bytes.
uint32_t Encode(const Layout& layout, int quadrant) {
    const RGBQUAD c = QUADRANTS[quadrant];
    if (layout.depth <= 8) return static_cast<uint32_t>(quadrant);
    if (layout.depth == 16) {
        const bool wideGreen = layout.compression == BI_BITFIELDS;
        return (c.rgbRed >> 3) << (wideGreen ? 11 : 10) | (c.rgbGreen >> (wideGreen ? 2 : 3)) << 5 |
               c.rgbBlue >> 3;
    }
    return c.rgbBlue | c.rgbGreen << 8 | c.rgbRed << 16;
}

// A BMP file of the layout: its four quadrants in the four colours, or, `striped`, columns
// alternately black and white (for 24 bits).
std::string WriteBmp(const Layout& layout, bool striped = false) {
    const std::string path = "bmp_scaling_" + std::to_string(layout.width) + "x" +
                             std::to_string(layout.height) + "_" + std::to_string(layout.depth) +
                             (layout.topDown ? "t" : "") + ".bmp";
    const uint32_t rowBytes = (layout.width * layout.depth + 31) / 32 * 4;
    const uint32_t colours = layout.depth <= 8 ? 1u << layout.depth : 0;
    const uint32_t masks = layout.compression == BI_BITFIELDS ? 3 : 0;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info) + (colours + masks) * 4;
    file.bfSize = file.bfOffBits + rowBytes * layout.height;
    info.biSize = sizeof(info);
    info.biWidth = layout.width;
    info.biHeight = layout.topDown ? -layout.height : layout.height;
    info.biPlanes = 1;
    info.biBitCount = static_cast<WORD>(layout.depth);
    info.biCompression = layout.compression;
    std::FILE* out = std::fopen(path.c_str(), "wb");
    std::fwrite(&file, sizeof(file), 1, out);
    std::fwrite(&info, sizeof(info), 1, out);
    const uint32_t masks565[3] = {0xF800, 0x07E0, 0x001F};
    if (masks != 0) std::fwrite(masks565, sizeof(masks565), 1, out);
    for (uint32_t i = 0; i < colours; ++i) std::fwrite(&QUADRANTS[i % 4], sizeof(RGBQUAD), 1, out);
    for (int stored = 0; stored < layout.height; ++stored) {
        const int fromTop = layout.topDown ? stored : layout.height - 1 - stored;
        std::vector<uint8_t> row(rowBytes);
        for (int x = 0; x < layout.width; ++x) {
            Put(row, layout.depth, x,
                striped ? (x % 2 == 0 ? 0xFFFFFF : 0)
                        : Encode(layout, Quadrant(layout, x, fromTop)));
        }
        std::fwrite(row.data(), 1, row.size(), out);
    }
    std::fclose(out);
    return path;
}

class BmpScaling : public GlTest {
protected:
    // The file's picture as the loader makes it into a texture: RGBA, top row first.
    std::vector<uint8_t> Load(const std::string& path, const Layout& layout) {
        uint32_t texture = 0;
        PictureSize size{};
        EXPECT_TRUE(LoadBmpFileTexture(&texture, path.c_str(), &size));
        EXPECT_EQ(size.width, layout.width);
        EXPECT_EQ(size.height, layout.height);
        std::vector<uint8_t> rgba(256 * 256 * 4);
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        glDeleteTextures(1, &texture);
        DeleteFileA(path.c_str());
        return rgba;
    }
};

TEST_F(BmpScaling, LargePicturesOfEveryUncompressedKindKeepTheirColoursAndOrientation) {
    // Over a megapixel each, so they are read row by row; both row orders.
    const Layout layouts[] = {
        {1100, 1000, 24, BI_RGB, false}, {1000, 1100, 32, BI_RGB, true},
        {1200, 900, 8, BI_RGB, false},   {1300, 800, 4, BI_RGB, true},
        {1024, 1024, 16, BI_RGB, false}, {1100, 1000, 16, BI_BITFIELDS, false},
        {2000, 700, 1, BI_RGB, false},
    };
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.depth);
        const std::vector<uint8_t> rgba = Load(WriteBmp(layout), layout);
        for (int y : {10, 100, 156, 245}) {
            for (int x : {10, 100, 156, 245}) {
                const RGBQUAD c = QUADRANTS[Quadrant({256, 256, layout.depth, 0, false}, x, y)];
                const uint8_t* texel = &rgba[(y * 256 + x) * 4];
                EXPECT_EQ(texel[0], c.rgbRed) << x << "," << y;
                EXPECT_EQ(texel[1], c.rgbGreen) << x << "," << y;
                EXPECT_EQ(texel[2], c.rgbBlue) << x << "," << y;
                EXPECT_EQ(texel[3], 255);
            }
        }
    }
}

TEST_F(BmpScaling, DetailFinerThanATexelIsAveragedNotPicked) {
    // Columns alternately black and white: picking single pixels would give black or white
    // texels; each texel covers both.
    const Layout layout{1500, 1500, 24, BI_RGB, false};
    const std::vector<uint8_t> rgba = Load(WriteBmp(layout, true), layout);
    for (size_t i = 0; i < rgba.size(); i += 4) {
        ASSERT_GT(rgba[i], 64) << i / 4;
        ASSERT_LT(rgba[i], 192) << i / 4;
    }
}

}  // namespace
