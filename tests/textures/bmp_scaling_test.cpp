#include <gtest/gtest.h>
#include <GL/gl.h>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>
#include "bmp_seeds.h"
#include "support/gl_fixture.h"
#include "textures/bmp_check.h"
#include "textures/texture_loader.h"

namespace {

// Red, green, blue and white quadrants: top left, top right, bottom left, bottom right.
constexpr RGBQUAD QUADRANTS[4] = {
    {0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}, {255, 255, 255, 0}};

struct Layout {
    int width, height, depth;
    bool topDown;
};

int Quadrant(int x, int fromTop, int width, int height) {
    return (fromTop >= height / 2 ? 2 : 0) + (x >= width / 2 ? 1 : 0);
}

// A BMP file of 8 bits (the quadrants' colours as its colour table), 24 or 32 bits: its four
// quadrants in the four colours, or, `striped`, columns alternately black and white.
std::string WriteBmp(const Layout& layout, bool striped) {
    const std::string path = "bmp_scaling_" + std::to_string(layout.depth) + ".bmp";
    const int bytes = layout.depth / 8;
    const uint32_t rowBytes = (layout.width * bytes + 3) / 4 * 4;
    const uint32_t colours = layout.depth == 8 ? 4 : 0;
    BITMAPFILEHEADER file{0x4D42, 0, 0, 0, 0};
    file.bfOffBits = sizeof(file) + sizeof(BITMAPINFOHEADER) + colours * sizeof(RGBQUAD);
    BITMAPINFOHEADER info{sizeof(info),
                          layout.width,
                          layout.topDown ? -layout.height : layout.height,
                          1,
                          static_cast<WORD>(layout.depth),
                          BI_RGB,
                          0,
                          0,
                          0,
                          colours,
                          0};
    std::FILE* out = std::fopen(path.c_str(), "wb");
    std::fwrite(&file, sizeof(file), 1, out);
    std::fwrite(&info, sizeof(info), 1, out);
    std::fwrite(QUADRANTS, sizeof(RGBQUAD), colours, out);
    std::vector<uint8_t> row(rowBytes);
    for (int stored = 0; stored < layout.height; ++stored) {
        const int fromTop = layout.topDown ? stored : layout.height - 1 - stored;
        for (int x = 0; x < layout.width; ++x) {
            const int q = Quadrant(x, fromTop, layout.width, layout.height);
            const RGBQUAD c = QUADRANTS[q];
            const uint8_t level = x % 2 == 0 ? 255 : 0;
            const uint8_t bgr[3] = {c.rgbBlue, c.rgbGreen, c.rgbRed};
            if (bytes == 1) row[x] = static_cast<uint8_t>(q);
            for (int b = 0; b < 3 && bytes > 1; ++b) row[x * bytes + b] = striped ? level : bgr[b];
        }
        std::fwrite(row.data(), 1, row.size(), out);
    }
    std::fclose(out);
    return path;
}

// The file's picture as the loader makes it into a texture: RGBA, top row first.
std::vector<uint8_t> Load(const Layout& layout, bool striped = false) {
    const std::string path = WriteBmp(layout, striped);
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

TEST(BmpCheckFromTheHead, AgreesWithTheWholeFileButWalksNoStream) {
    for (const BmpSeed& seed : MakeBmpSeeds(1)) {
        // Room after the pixels, so that the first bytes are not the whole file.
        std::vector<uint8_t> file = seed.bytes;
        file.resize(file.size() + 2 * BMP_HEAD_BYTES);
        const std::span<const uint8_t> head = std::span(file).first(BMP_HEAD_BYTES);
        const uint32_t compression = file[14] >= 40 ? file[30] : BI_RGB;
        const bool runLength = compression == BI_RLE8 || compression == BI_RLE4;
        const std::optional<BmpLayout> whole = CheckBmp(file);
        EXPECT_EQ(CheckBmp(head, file.size()).has_value(), whole.has_value() && !runLength)
            << seed.name;
        // The rows must lie in the file, whose size alone tells.
        if (whole && !runLength) {
            EXPECT_FALSE(CheckBmp(head, whole->pixelsAt + 1)) << seed.name;
        }
    }
}

class BmpScaling : public GlTest {};

TEST_F(BmpScaling, LargePicturesKeepTheirColoursAndOrientation) {
    // Over a megapixel each, so they are read row by row: both row orders, rows averaged as
    // they are (24, 32 bits) and rows the platform first converts (a colour table).
    for (const Layout& layout : {Layout{1100, 1000, 24, false}, Layout{1000, 1100, 32, true},
                                 Layout{1300, 900, 8, false}}) {
        SCOPED_TRACE(layout.depth);
        const std::vector<uint8_t> rgba = Load(layout);
        for (int y : {10, 100, 156, 245}) {
            for (int x : {10, 100, 156, 245}) {
                const RGBQUAD c = QUADRANTS[Quadrant(x, y, 256, 256)];
                const uint8_t* texel = &rgba[(y * 256 + x) * 4];
                EXPECT_EQ(texel[0], c.rgbRed) << x << "," << y;
                EXPECT_EQ(texel[1], c.rgbGreen) << x << "," << y;
                EXPECT_EQ(texel[2], c.rgbBlue) << x << "," << y;
            }
        }
    }
}

TEST_F(BmpScaling, DetailFinerThanATexelIsAveragedNotPicked) {
    // Columns alternately black and white: picking single pixels would give black or white
    // texels; each texel covers both.
    const std::vector<uint8_t> rgba = Load({1500, 1500, 24, false}, true);
    for (size_t i = 0; i < rgba.size(); i += 4) {
        ASSERT_GT(rgba[i], 64) << i / 4;
        ASSERT_LT(rgba[i], 192) << i / 4;
    }
}

}  // namespace
