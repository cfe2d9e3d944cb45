// BMP files checked before the platform's loader sees them, then shown the right way round.
#include <gtest/gtest.h>
#include <GL/gl.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <span>
#include <string>
#include <vector>
#include "bmp_seeds.h"
#include "show/show_fixture.h"
#include "support/refusals.h"
#include "textures/bmp_check.h"

using namespace std::string_literals;

namespace {

using Bytes = std::vector<uint8_t>;

BmpSeed Seed(const std::string& name, int scale = 1) {
    for (BmpSeed& seed : MakeBmpSeeds(scale))
        if (seed.name == name) return seed;
    ADD_FAILURE() << "no seed " << name;
    return {};
}

void Put(Bytes& bytes, size_t at, uint32_t value, int size = 4) {
    for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<uint8_t>(value >> 8 * i);
}

TEST(BmpCheck, PassesGoodFilesAndRefusesWhatTheLoaderCannotReadSafely) {
    for (const BmpSeed& seed : MakeBmpSeeds(1)) EXPECT_TRUE(CheckBmp(seed.bytes)) << seed.name;
    using enum BmpRefusal;
    const struct {
        const char *seed, *what;
        BmpRefusal refusal;
        std::function<void(Bytes&)> change;
    } cases[] = {
        {"rgb24", "no image size", None, [](Bytes& b) { Put(b, 34, 0); }},
        {"rle8", "no image size: the stream runs to the end", None,
         [](Bytes& b) { Put(b, 34, 0); }},
        {"rle4", "bytes after the pixels", None, [](Bytes& b) { b.resize(b.size() + 999, 0xFF); }},
        // Files that crashed the platform's loader.
        {"bitfields32", "cut to a third", RowsPastEnd, [](Bytes& b) { b.resize(b.size() / 3); }},
        {"bitfields32-topdown-v5", "header cut short", HeaderCut, [](Bytes& b) { b.resize(100); }},
        {"bitfields32", "pixels past the end", PixelsPastEnd,
         [](Bytes& b) { Put(b, 10, b.size() + 64); }},
        {"rgb8", "pixels at offset 1", PixelsInTable, [](Bytes& b) { Put(b, 10, 1); }},
        {"rle8", "cut short", StreamPastEnd, [](Bytes& b) { b.resize(b.size() - 9); }},
        {"core4", "pixels in the colour table", PixelsInTable,
         [](Bytes& b) { Put(b, 10, 26 + 3 * 15); }},
        // 29 pixels of 3 bytes make rows of 88 bytes, not 87.
        {"rgb24", "the last row's padding cut", RowsPastEnd, [](Bytes& b) { b.pop_back(); }},
        // Headers the loader cannot read safely.
        {"rgb24", "not a BMP", NotBmp, [](Bytes& b) { b[1] = 'A'; }},
        {"rgb24", "two planes", Planes, [](Bytes& b) { Put(b, 26, 2, 2); }},
        {"rgb24", "a 64-byte header", HeaderSize, [](Bytes& b) { Put(b, 14, 64); }},
        {"rgb24", "JPEG inside", Compression, [](Bytes& b) { Put(b, 30, 4); }},
        {"rgb24", "no width", Size, [](Bytes& b) { Put(b, 18, 0); }},
        {"rgb24", "wider than shown", Size, [](Bytes& b) { Put(b, 18, 16385); }},
        {"rgb24", "no height", Size, [](Bytes& b) { Put(b, 22, 0); }},
        {"rgb24", "the most negative height", Size, [](Bytes& b) { Put(b, 22, 0x80000000); }},
        {"rgb24", "a colour table past the file", PixelsInTable,
         [](Bytes& b) { Put(b, 46, 1 << 30); }},
        {"rgb4", "17 colours of 4 bits", ColourCount, [](Bytes& b) { Put(b, 46, 17); }},
        {"rle8", "16 bits a pixel", BitCount, [](Bytes& b) { Put(b, 28, 16, 2); }},
        {"rle4", "8 bits a pixel", BitCount, [](Bytes& b) { Put(b, 28, 8, 2); }},
        {"rle8", "top-down", TopDownRunLength, [](Bytes& b) { Put(b, 22, -14); }},
        {"bitfields32", "24 bits a pixel", BitCount, [](Bytes& b) { Put(b, 28, 24, 2); }},
        {"bitfields32", "masks cut short", MasksCut, [](Bytes& b) { b.resize(60); }},
        {"bitfields32", "no red", Masks, [](Bytes& b) { Put(b, 54, 0); }},
        {"bitfields32", "red over green", Masks, [](Bytes& b) { Put(b, 54, 0xFFFF00); }},
        {"bitfields16-565", "red split in two", Masks, [](Bytes& b) { Put(b, 54, 0xF00F); }},
        {"bitfields16-565", "red outside the pixel", Masks, [](Bytes& b) { Put(b, 54, 0x1F0000); }},
        {"alphabitfields16", "alpha over blue", Masks, [](Bytes& b) { Put(b, 66, 0x00FF); }},
        {"core1", "16 bits a pixel", BitCount, [](Bytes& b) { Put(b, 24, 16, 2); }},
        {"rgb24-gap-v5", "an embedded profile past the end", ProfileOutside,
         [](Bytes& b) {
             Put(b, 70, 0x4D424544);
             Put(b, 126, static_cast<uint32_t>(b.size()));
             Put(b, 130, 1);
         }},
    };
    for (const auto& c : cases) {
        Bytes bytes = Seed(c.seed).bytes;
        c.change(bytes);
        EXPECT_EQ(CheckBmp(bytes).refusal(), c.refusal) << c.seed << ": " << c.what;
    }
    // From the first bytes and the size: enough of them or not; a stream, which must be walked.
    const Bytes large = Seed("rgb24", 27).bytes;
    EXPECT_TRUE(CheckBmp(std::span(large).first(BMP_HEAD_BYTES), large.size()));
    EXPECT_EQ(CheckBmp(std::span(large).first(BMP_HEAD_BYTES - 1), large.size()).refusal(),
              HeadShort);
    Bytes rle8 = Seed("rle8").bytes;
    rle8.resize(BMP_HEAD_BYTES + 1);
    EXPECT_EQ(CheckBmp(std::span(rle8).first(BMP_HEAD_BYTES), rle8.size()).refusal(),
              StreamNotWhole);
}

TEST(BmpCheck, RunLengthStreamsStayInsideFileAndPicture) {
    using enum BmpRefusal;
    const struct {
        Bytes stream;
        BmpRefusal refusal;
        bool fourBit = false;
    } streams[] = {
        {{2, 1, 0, 2, 1, 1, 1, 2, 0, 1}, None},               // a run, a skip up and right, a run
        {{0, 3, 1, 2, 3, 0, 0, 0, 4, 5, 0, 0, 0, 1}, None},   // padded literal, line ends
        {{0, 1}, None},                                       // ends at once; the rest is skipped
        {{5, 1, 0, 1}, RunOutsidePicture},                    // a run past the row's end
        {{0, 5, 1, 2, 3, 4, 5, 0, 0, 1}, RunOutsidePicture},  // literal past the row's end
        {{0, 2, 5, 0, 0, 1}, RunOutsidePicture},              // skip past the right edge
        {{0, 2, 0, 3, 0, 1}, RunOutsidePicture},              // skip past the top
        {{0, 0, 0, 0, 1, 1, 0, 1}, RunOutsidePicture},        // a run above the top row
        {{0, 0, 0, 0, 0, 0, 0, 1}, RunOutsidePicture},        // a line end above the top row
        {{4, 1, 0, 0, 4, 1, 0, 0}, NoEndMark},                // no end mark
        {{0, 3, 1, 2, 3}, StreamCut},                         // literal's padding missing
        {{0, 2, 1}, StreamCut},                               // skip cut short
        // Four-bit literals take half a byte a pixel, padded to a 16-bit boundary.
        {{0, 3, 0x12, 0x30, 0, 1}, None, true},
        {{0, 0, 0, 4, 0x12, 0x34, 0, 1}, None, true},
        {{0, 3, 0x12}, StreamCut, true},
        {{0, 0, 0, 4, 0x12, 0x34}, NoEndMark, true},
    };
    for (const auto& [stream, refusal, fourBit] : streams) {
        // A file of 4 x 2 pixels holding the stream.
        Bytes bytes = Seed(fourBit ? "rle4" : "rle8").bytes;
        bytes.resize(CheckBmp(bytes)->pixelsAt);
        bytes.insert(bytes.end(), stream.begin(), stream.end());
        Put(bytes, 18, 4);
        Put(bytes, 22, 2);
        Put(bytes, 34, static_cast<uint32_t>(stream.size()));
        EXPECT_EQ(CheckBmp(bytes).refusal(), refusal) << ::testing::PrintToString(stream);
    }
}

// A media folder with a short name, so that the longest name the caption rule tries fits a path.
class BmpFilesTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        CreateDirectoryA(FOLDER, nullptr);
    }
    void TearDown() override {
        ReleaseSlotTextures();
        SetCurrentDirectoryA("C:\\");
        RemoveDirectoryA(FOLDER);
        GlTest::TearDown();
    }
    static void Write(const std::string& name, const Bytes& bytes) {
        std::ofstream(FOLDER + name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::ssize(bytes));
    }
    // The 256 x 256 texture the loader makes of the seed's file.
    static std::vector<uint8_t> Texture(const BmpSeed& seed) {
        Write("seed.bmp", seed.bytes);
        const std::optional<LoadedPicture> picture = LoadPictureFile(L"C:\\q\\seed.bmp");
        DeleteFileA((FOLDER + "seed.bmp"s).c_str());
        EXPECT_EQ(picture.has_value(), seed.drawn) << seed.name;
        if (!picture) return {};
        EXPECT_TRUE(picture->size.width == seed.width && picture->size.height == seed.height)
            << seed.name;
        int width = 0, height = 0;
        std::vector<uint8_t> texels = TexturePixels(picture->texture, &width, &height);
        texels.resize(256 * 256 * 4);
        glDeleteTextures(1, &picture->texture);
        return texels;
    }
    static constexpr const char* FOLDER = "C:\\q\\";
};

bool Near(const uint8_t* texel, SeedColour want, int tolerance) {
    return std::abs(texel[0] - want.red) <= tolerance &&
           std::abs(texel[1] - want.green) <= tolerance &&
           std::abs(texel[2] - want.blue) <= tolerance;
}

// Small pictures (scaled up whole) and large ones (rows read one by one, or compressed ones scaled
// down whole): each cell's middle texel is the cell's colour, but for cells of mixed pixels,
// which large ones average. Small ones must also match the plain 24-bit one texel for texel.
TEST_F(BmpFilesTest, EveryKindSmallOrLargeIsShownTheRightWayRound) {
    for (int scale : {3, 27}) {
        const std::vector<BmpSeed> seeds = MakeBmpSeeds(scale);
        const BmpSeed plainSeed = Seed("rgb24", scale);
        const std::vector<uint8_t> plain = Texture(plainSeed);
        for (const BmpSeed& seed : seeds) {
            // (The seeds' encoder cannot skip more than 255 pixels: no large run-length seeds.)
            if (scale > 3 && seed.name.starts_with("rle")) continue;
            const std::vector<uint8_t> texels = Texture(seed);
            if (!seed.drawn) continue;
            const int w = seed.width;
            int wrongCells = 0;
            for (int y = scale / 2; y < seed.height; y += scale) {
                for (int x = scale / 2; x < w; x += scale) {
                    const SeedColour want = seed.picture[y * w + x];
                    if (w > 256 && (seed.picture[y * w + x - 1] != want ||
                                    seed.picture[y * w + x + 1] != want))
                        continue;
                    const int u = (2 * x + 1) * 128 / w, v = (2 * y + 1) * 128 / seed.height;
                    wrongCells += !Near(&texels[(v * 256 + u) * 4], want, seed.tolerance);
                }
            }
            EXPECT_EQ(wrongCells, 0) << seed.name << " at scale " << scale;
            // The platform's smoothing widens an odd 4-bit run by a pixel where a skip follows.
            if (w > 256 || seed.picture != plainSeed.picture || seed.name.starts_with("rle4"))
                continue;
            int wrongTexels = 0;
            for (size_t i = 0; i < texels.size(); i += 4) {
                wrongTexels +=
                    !Near(&texels[i], {plain[i], plain[i + 1], plain[i + 2]}, seed.tolerance);
            }
            EXPECT_EQ(wrongTexels, 0) << seed.name;
        }
    }
}

TEST_F(BmpFilesTest, DetailFinerThanATexelIsAveragedNotPicked) {
    // Columns alternately black and white: picked pixels would give black or white texels.
    BmpSeed seed = Seed("rgb24", 27);
    const size_t at = CheckBmp(seed.bytes)->pixelsAt, rowBytes = (seed.width * 3 + 3) / 4 * 4;
    for (size_t i = at; i < seed.bytes.size(); ++i)
        seed.bytes[i] = (i - at) % rowBytes / 3 % 2 * 255;
    const std::vector<uint8_t> texels = Texture(seed);
    for (size_t i = 0; i < texels.size(); i += 4)
        ASSERT_TRUE(texels[i] > 64 && texels[i] < 192) << i / 4 << ": " << int(texels[i]);
}

// The media folder's picture, found by the show from any current directory, in the hologram's
// slot with its shape; its name becomes the caption only when shorter than 254 characters.
TEST_F(BmpFilesTest, ExternalPictureTakesTheSlotItsShapeAndACaptionThatFits) {
    saverSettings.showExternalBmps = true;
    const BmpSeed seed = Seed("rgb24");
    showState.nextIndex = 2;
    std::wcscpy(pictureCatalogue[2].caption, L"earlier.bmp");
    for (size_t length : {254, 253}) {
        const std::string name = std::string(length - 4, 'n') + ".bmp";
        Write(name, seed.bytes);
        ListLibrary(FOLDER);
        showState.holoHalfWidth = 1.0f;
        ASSERT_TRUE(LoadShowItem(pictureCatalogue[2]));
        ASSERT_EQ(AwaitLoad(FinishItemLoad), PictureDecode::Loaded);
        StopMediaLibrary();
        DeleteFileA((FOLDER + name).c_str());
        EXPECT_EQ(pictureCatalogue[2].caption,
                  length == 254 ? L"earlier.bmp" : std::wstring(name.begin(), name.end()));
        EXPECT_FLOAT_EQ(showState.holoHalfWidth, 29.0f / 14.0f);
    }
    pictureCatalogue[2].caption[0] = '\0';
    int width = 0, height = 0;
    EXPECT_EQ(TexturePixels(textureSlots[SLOT_HOLOGRAM], &width, &height), Texture(seed));
}

}  // namespace
