// BMP files checked before the platform's loader sees them, and good files of every kind shown
// the right way round.
#include <gtest/gtest.h>
#include <GL/gl.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>
#include "bmp_seeds.h"
#include "support/gl_fixture.h"
#include "textures/bmp_check.h"
#include "textures/texture_loader.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Seed(const std::string& name) {
    for (const BmpSeed& seed : MakeBmpSeeds(1))
        if (seed.name == name) return seed.bytes;
    ADD_FAILURE() << "no seed " << name;
    return {};
}

void Put16(Bytes& bytes, size_t at, uint32_t value) {
    bytes[at] = static_cast<uint8_t>(value);
    bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

void Put32(Bytes& bytes, size_t at, uint32_t value) {
    Put16(bytes, at, value);
    Put16(bytes, at + 2, value >> 16);
}

uint32_t PixelsAt(const Bytes& bytes) {
    return bytes[10] | bytes[11] << 8 | bytes[12] << 16 | bytes[13] << 24;
}

bool Showable(const Bytes& bytes) {
    return CheckBmp(bytes).has_value();
}

struct Change {
    const char* seed;
    const char* what;
    std::function<void(Bytes&)> change;
};

void ExpectShowable(const std::vector<Change>& changes, bool showable) {
    for (const Change& c : changes) {
        Bytes bytes = Seed(c.seed);
        c.change(bytes);
        EXPECT_EQ(Showable(bytes), showable) << c.seed << ": " << c.what;
    }
}

TEST(BmpCheck, GoodFilesOfEveryKindAreShowable) {
    for (const BmpSeed& seed : MakeBmpSeeds(1)) EXPECT_TRUE(Showable(seed.bytes)) << seed.name;
    ExpectShowable(
        {{"rgb24", "no image size", [](Bytes& b) { Put32(b, 34, 0); }},
         {"rle8", "no image size: the stream runs to the end of the file",
          [](Bytes& b) { Put32(b, 34, 0); }},
         {"rle4", "bytes after the pixels", [](Bytes& b) { b.resize(b.size() + 999, 0xFF); }}},
        true);
}

TEST(BmpCheck, RefusesFilesThatCrashedThePlatformLoader) {
    ExpectShowable(
        {{"bitfields32", "cut to a third", [](Bytes& b) { b.resize(b.size() / 3); }},
         {"bitfields32-topdown-v5", "124-byte header cut short", [](Bytes& b) { b.resize(100); }},
         {"bitfields32", "pixels past the end", [](Bytes& b) { Put32(b, 10, b.size() + 64); }},
         {"rgb8", "pixels at offset 1", [](Bytes& b) { Put32(b, 10, 1); }},
         {"rle8", "pixels past the end", [](Bytes& b) { Put32(b, 10, b.size() + 2); }},
         {"rle8", "cut short", [](Bytes& b) { b.resize(b.size() - 9); }},
         {"rle8", "image size larger than the file", [](Bytes& b) { Put32(b, 34, b.size()); }},
         {"core8", "cut inside the colour table", [](Bytes& b) { b.resize(26 + 3 * 100); }},
         {"core4", "pixels inside the colour table", [](Bytes& b) { Put32(b, 10, 26 + 3 * 15); }},
         {"core24", "cut inside the rows", [](Bytes& b) { b.resize(b.size() - 1); }}},
        false);
}

TEST(BmpCheck, RefusesHeadersTheLoaderCannotReadSafely) {
    ExpectShowable(
        {{"rgb24", "two planes", [](Bytes& b) { Put16(b, 26, 2); }},
         {"rgb24", "a 64-byte header", [](Bytes& b) { Put32(b, 14, 64); }},
         {"rgb24", "a header longer than the file",
          [](Bytes& b) {
              Put32(b, 14, 124);
              b.resize(100);
          }},
         {"rgb24", "JPEG inside", [](Bytes& b) { Put32(b, 30, 4); }},
         {"rgb24", "PNG inside", [](Bytes& b) { Put32(b, 30, 5); }},
         {"rgb24", "no width", [](Bytes& b) { Put32(b, 18, 0); }},
         {"rgb24", "wider than shown", [](Bytes& b) { Put32(b, 18, 16385); }},
         {"rgb24", "no height", [](Bytes& b) { Put32(b, 22, 0); }},
         {"rgb24", "the most negative height", [](Bytes& b) { Put32(b, 22, 0x80000000); }},
         {"rgb24", "a colour table larger than the file", [](Bytes& b) { Put32(b, 46, 1 << 30); }},
         {"rgb4", "17 colours of 4 bits", [](Bytes& b) { Put32(b, 46, 17); }},
         {"rle8", "16 bits a pixel", [](Bytes& b) { Put16(b, 28, 16); }},
         {"rle4", "8 bits a pixel", [](Bytes& b) { Put16(b, 28, 8); }},
         {"rle8", "top-down", [](Bytes& b) { Put32(b, 22, -14); }},
         {"bitfields32", "24 bits a pixel", [](Bytes& b) { Put16(b, 28, 24); }},
         {"bitfields32", "no red", [](Bytes& b) { Put32(b, 54, 0); }},
         {"bitfields32", "red and green overlapping", [](Bytes& b) { Put32(b, 54, 0xFFFF00); }},
         {"bitfields16-565", "red split in two", [](Bytes& b) { Put32(b, 54, 0xF00F); }},
         {"bitfields16-565", "red outside the pixel", [](Bytes& b) { Put32(b, 54, 0x1F0000); }},
         {"alphabitfields16", "alpha over blue", [](Bytes& b) { Put32(b, 66, 0x00FF); }},
         {"core1", "16 bits a pixel", [](Bytes& b) { Put16(b, 24, 16); }}},
        false);
}

// An 8-bit (or 4-bit) run-length file of 4 x 2 pixels holding `stream`.
Bytes RunLengthFile(const Bytes& stream, bool fourBit = false) {
    Bytes bytes = Seed(fourBit ? "rle4" : "rle8");
    bytes.resize(PixelsAt(bytes));
    bytes.insert(bytes.end(), stream.begin(), stream.end());
    Put32(bytes, 18, 4);
    Put32(bytes, 22, 2);
    Put32(bytes, 34, static_cast<uint32_t>(stream.size()));
    return bytes;
}

TEST(BmpCheck, RunLengthStreamsStayInsideFileAndPicture) {
    const std::vector<std::pair<Bytes, bool>> streams = {
        {{2, 1, 0, 2, 1, 1, 1, 2, 0, 1}, true},              // a run, a skip up and right, a run
        {{0, 3, 1, 2, 3, 0, 0, 0, 4, 5, 0, 0, 0, 1}, true},  // padded literal, line ends
        {{0, 1}, true},                                      // ends at once; the rest is skipped
        {{5, 1, 0, 1}, false},                               // a run past the row's end
        {{0, 5, 1, 2, 3, 4, 5, 0, 0, 1}, false},             // literal past the row's end
        {{0, 2, 5, 0, 0, 1}, false},                         // skip past the right edge
        {{0, 2, 0, 3, 0, 1}, false},                         // skip past the top
        {{0, 0, 0, 0, 1, 1, 0, 1}, false},                   // a run above the top row
        {{0, 0, 0, 0, 0, 0, 0, 1}, false},                   // a line end above the top row
        {{4, 1, 0, 0, 4, 1, 0, 0}, false},                   // no end mark
        {{0, 3, 1, 2, 3}, false},                            // literal's padding missing
        {{0, 2, 1}, false},                                  // skip cut short
    };
    for (const auto& [stream, fits] : streams) {
        EXPECT_EQ(Showable(RunLengthFile(stream)), fits) << ::testing::PrintToString(stream);
    }
    // Four-bit literals take half a byte a pixel, padded to a 16-bit boundary.
    EXPECT_TRUE(Showable(RunLengthFile({0, 3, 0x12, 0x30, 0, 1}, true)));
    EXPECT_TRUE(Showable(RunLengthFile({0, 0, 0, 4, 0x12, 0x34, 0, 1}, true)));
    EXPECT_FALSE(Showable(RunLengthFile({0, 3, 0x12}, true)));
    EXPECT_FALSE(Showable(RunLengthFile({0, 0, 0, 4, 0x12, 0x34}, true)));
}

class GoodFilesTest : public GlTest {
protected:
    // The 256 x 256 texture the loader makes of the file's bytes.
    std::vector<uint8_t> Texture(const BmpSeed& seed) {
        char folder[MAX_PATH];
        GetTempPathA(sizeof(folder), folder);
        const std::string path = std::string(folder) + "quorvel-" + seed.name + ".bmp";
        std::FILE* file = std::fopen(path.c_str(), "wb");
        std::fwrite(seed.bytes.data(), 1, seed.bytes.size(), file);
        std::fclose(file);
        uint32_t name = 0;
        PictureSize size{};
        std::vector<uint8_t> texels(256 * 256 * 4);
        EXPECT_EQ(LoadBmpFileTexture(&name, path.c_str(), &size), seed.drawn) << seed.name;
        EXPECT_EQ(size.width, seed.width);
        EXPECT_EQ(size.height, seed.height);
        glBindTexture(GL_TEXTURE_2D, name);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        glDeleteTextures(1, &name);
        DeleteFileA(path.c_str());
        return texels;
    }
};

bool Near(const uint8_t* texel, SeedColour want, int tolerance) {
    return std::abs(texel[0] - want.red) <= tolerance &&
           std::abs(texel[1] - want.green) <= tolerance &&
           std::abs(texel[2] - want.blue) <= tolerance;
}

// Pictures of 3 x 3-pixel cells: the loader's scaling smooths, so each cell is compared in its
// middle, where it is uniform; and every texel must match the texture of the same picture
// stored plainly (24 bits), which catches a wrong pixel anywhere.
TEST_F(GoodFilesTest, EveryKindIsShownTheRightWayRound) {
    constexpr int scale = 3;
    const std::vector<BmpSeed> seeds = MakeBmpSeeds(scale);
    const BmpSeed& plainSeed =
        *std::find_if(seeds.begin(), seeds.end(), [](auto& s) { return s.name == "rgb24"; });
    const std::vector<uint8_t> plain = Texture(plainSeed);
    for (const BmpSeed& seed : seeds) {
        const std::vector<uint8_t> texels = Texture(seed);
        if (!seed.drawn) continue;
        int wrongCells = 0;
        for (int y = 0; y < seed.height; y += scale) {
            for (int x = 0; x < seed.width; x += scale) {
                const int u = (2 * x + scale) * 128 / seed.width;
                const int v = (2 * y + scale) * 128 / seed.height;
                wrongCells += !Near(&texels[(v * 256 + u) * 4],
                                    seed.picture[(y + 1) * seed.width + x + 1], seed.tolerance);
            }
        }
        EXPECT_EQ(wrongCells, 0) << seed.name;
        // The platform's smoothing widens an odd 4-bit run by a pixel where a skip follows.
        if (seed.picture != plainSeed.picture || seed.name.starts_with("rle4")) continue;
        int wrongTexels = 0;
        for (size_t i = 0; i < texels.size(); i += 4) {
            wrongTexels +=
                !Near(&texels[i], {plain[i], plain[i + 1], plain[i + 2]}, seed.tolerance);
        }
        EXPECT_EQ(wrongTexels, 0) << seed.name;
    }
}

}  // namespace
