// Picture headers read before any decoder sees the file: size and turn from bytes the reader holds
// whole, and a reason for every file refused.
#include <gtest/gtest.h>
#include <algorithm>
#include <initializer_list>
#include <vector>
#include "support/refusals.h"
#include "textures/picture_header.h"

namespace {

using Bytes = std::vector<uint8_t>;
using enum PictureRefusal;

void Append(Bytes& out, std::initializer_list<int> bytes) {
    for (int b : bytes) out.push_back(static_cast<uint8_t>(b));
}

struct Entry {
    uint16_t tag, type;
    uint32_t count, value;
};
constexpr uint16_t SHORT = 3, LONG = 4;
constexpr uint16_t EXIF = 34665;  // names a directory

// A TIFF structure of `directories` one after another from offset 8, the first one's next page
// at `next`; big- or little-endian.
Bytes Tiff(const std::vector<std::vector<Entry>>& directories, uint32_t next = 0,
           bool big = false) {
    Bytes out;
    const auto put = [&](uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            out.push_back(static_cast<uint8_t>(value >> 8 * (big ? size - 1 - i : i)));
    };
    put(big ? 0x4D4D : 0x4949, 2), put(42, 2), put(8, 4);
    for (const std::vector<Entry>& directory : directories) {
        put(static_cast<uint32_t>(directory.size()), 2);
        for (const Entry& e : directory) {
            put(e.tag, 2), put(e.type, 2), put(e.count, 4);
            // A SHORT sits in the first two bytes of the value field.
            e.type == SHORT ? (put(e.value, 2), put(0, 2)) : put(e.value, 4);
        }
        put(&directory == &directories.front() ? next : 0, 4);
    }
    return out;
}

// Where directory `i` of a Tiff() of directories of `entries` entries each starts.
uint32_t DirectoryAt(int i, uint32_t entries) {
    return 8 + i * (6 + 12 * entries);
}

// A JPEG head: an APP0, an APP1 holding `exif` (with its "Exif" lead) and a frame header.
Bytes JpegWith(const Bytes& exif, int width, int height) {
    Bytes jpeg;
    const int length = static_cast<int>(exif.size()) + 8;
    Append(jpeg, {0xFF, 0xD8, 0xFF, 0xE0, 0, 4, 'J', 'F', 0xFF, 0xE1, length >> 8, length & 255,
                  'E', 'x', 'i', 'f', 0, 0});
    jpeg.insert(jpeg.end(), exif.begin(), exif.end());
    Append(jpeg, {0xFF, 0xC2, 0, 11, 8, height >> 8, height & 255, width >> 8, width & 255, 1, 1,
                  0x11, 0});
    return jpeg;
}

TEST(PictureHeader, JpegSizeAndTurnFromSegmentsItHoldsWhole) {
    for (bool big : {true, false}) {
        const PictureCheck header =
            ReadPictureHeader(JpegWith(Tiff({{{274, SHORT, 1, 8}}}, 0, big), 4000, 3000));
        ASSERT_TRUE(header) << header.refusal();
        EXPECT_EQ(header->orientation, 8) << big;
        EXPECT_EQ(header->width, 4000u);
        EXPECT_EQ(header->height, 3000u);
    }
    // Out of range, another tag, a directory past the end, a SHORT given as a LONG: upright.
    Bytes outside = Tiff({{{274, SHORT, 1, 6}}});
    outside[4] = 0xF0;
    for (const Bytes& exif : {Tiff({{{274, SHORT, 1, 9}}}), Tiff({{{275, SHORT, 1, 6}}}), outside,
                              Tiff({{{274, LONG, 1, 6}}})})
        EXPECT_EQ(ReadPictureHeader(JpegWith(exif, 8, 8))->orientation, 1);
    // A directory that claims more entries than the block holds: read as far as it goes.
    Bytes many = Tiff({{{274, SHORT, 1, 6}}});
    many[8] = many[9] = 0xFF;
    EXPECT_EQ(TiffOrientation(many), 6);

    // Stray bytes between two segments (a stuffed zero among them) are skipped, as decoders do.
    const Bytes jpeg = JpegWith(Tiff({{{274, SHORT, 1, 6}}}), 640, 480);
    Bytes stray = jpeg;
    stray.insert(stray.begin() + 8, {0x00, 0x12, 0xFF, 0x00, 0x34});
    ASSERT_TRUE(ReadPictureHeader(stray));
    EXPECT_EQ(ReadPictureHeader(stray)->orientation, 6);
    // No cut of a file passes: it ends at a segment's start or inside a segment.
    const std::vector<size_t> starts = {2, 8, jpeg.size() - 13};
    for (size_t cut = 0; cut < jpeg.size(); ++cut) {
        const bool atStart =
            std::ranges::any_of(starts, [&](size_t at) { return cut == at || cut == at + 1; });
        const PictureRefusal expected = cut < 3   ? UnknownFormat
                                        : atStart ? JpegCut
                                                  : JpegSegmentCut;
        EXPECT_EQ(ReadPictureHeader(Bytes(jpeg.begin(), jpeg.begin() + cut)).refusal(), expected)
            << cut;
    }
    const struct {
        Bytes bytes;
        PictureRefusal refusal;
    } cases[] = {
        {{0xFF, 0xD8, 0xFF, 0xDA, 0, 2, 0xFF, 0xC0, 0, 11, 8, 0, 8, 0, 8}, JpegNoFrame},
        {{0xFF, 0xD8, 0xFF, 0xC0, 0, 6, 8, 0, 8, 0}, JpegFrameCut},
        {JpegWith({}, 16384, 8192), None},
        {JpegWith({}, 16385, 10), SideTooLong},
        {JpegWith({}, 12000, 12000), TooManyPixels},
        {JpegWith({}, 0, 10), NoSize},
        {{'J', 'P', 'E', 'G'}, UnknownFormat},
    };
    for (const auto& [bytes, refusal] : cases)
        EXPECT_EQ(ReadPictureHeader(bytes).refusal(), refusal) << ::testing::PrintToString(bytes);
}

// A 10 x 10 screen with a global table of 4 colours or none, one extension, then an image of
// 10 x 20 pixels at 290, 0, with a local table or none.
Bytes Gif(bool global, bool local) {
    Bytes gif;
    Append(gif, {'G', 'I', 'F', '8', '9', 'a', 10, 0, 10, 0, global ? 0x81 : 0, 0, 0});
    gif.resize(gif.size() + (global ? 12 : 0));
    Append(gif,
           {0x21, 0xF9, 4, 0, 0, 0, 0, 0, 0x2C, 0x22, 1, 0, 0, 10, 0, 20, 0, local ? 0x81 : 0});
    gif.resize(gif.size() + (local ? 12 : 0));
    Append(gif, {2, 2, 0x44, 0x01, 0, 0x3B});
    return gif;
}

TEST(PictureHeader, PngAndGifSizesAndEveryRefusal) {
    Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    Append(png, {0, 0, 1, 44, 0, 0, 0, 200, 8, 6, 0, 0, 0});
    ASSERT_TRUE(ReadPictureHeader(png));
    EXPECT_EQ(ReadPictureHeader(png)->width, 300u);
    EXPECT_EQ(ReadPictureHeader(png)->height, 200u);
    // The image reaches past the screen, to 300 x 20.
    for (const Bytes& tables : {Gif(true, false), Gif(false, true), Gif(true, true)}) {
        const PictureCheck header = ReadPictureHeader(tables);
        ASSERT_TRUE(header) << header.refusal();
        EXPECT_EQ(header->width, 300u);
        EXPECT_EQ(header->height, 20u);
    }
    const Bytes gif = Gif(true, false);
    Bytes emptyImage = gif;
    emptyImage[38] = 0;
    Bytes unknownBlock = gif;
    unknownBlock[25] = 0x3B;
    const struct {
        Bytes bytes;
        PictureRefusal refusal;
    } cases[] = {
        {Bytes(png.begin(), png.begin() + 20), PngNoHeader},
        {{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 12, 'I', 'H', 'D', 'R'},
         PngNoHeader},
        // The platform's decoder reads through the missing palette of this one.
        {Gif(false, false), GifNoColourTable},
        {Bytes(gif.begin(), gif.begin() + 10), GifScreenCut},
        {Bytes(gif.begin(), gif.begin() + 30), GifCut},
        {Bytes(gif.begin(), gif.begin() + 40), GifImageCut},
        {unknownBlock, GifUnknownBlock},
        {emptyImage, NoSize},
    };
    for (const auto& [bytes, refusal] : cases)
        EXPECT_EQ(ReadPictureHeader(bytes).refusal(), refusal) << ::testing::PrintToString(bytes);
}

TEST(PictureHeader, TiffFirstPageWholeInsideAndEveryWalkBounded) {
    const std::vector<Entry> page = {{256, SHORT, 1, 300}, {257, LONG, 1, 200}, {274, SHORT, 1, 6}};
    for (bool big : {true, false}) {
        const PictureCheck header = ReadPictureHeader(Tiff({page}, 0, big));
        ASSERT_TRUE(header) << header.refusal();
        EXPECT_EQ(header->width, 300u);
        EXPECT_EQ(header->height, 200u);
        EXPECT_EQ(header->orientation, 6);
    }
    // A chain of pages that loops back to the first is walked once; only the first page is shown.
    std::vector<Entry> exif = page;
    exif.push_back({EXIF, LONG, 1, DirectoryAt(1, 4)});
    EXPECT_TRUE(ReadPictureHeader(Tiff({exif, page}, DirectoryAt(0, 4))));
    // Four directories of 200 entries, each entry naming the next directory, the first one its
    // own next page (9.6 KB): walked whole, that is 200^4 entries a page. Each directory is read
    // once, and the first one named again ends the walk.
    constexpr uint32_t N = 200;
    std::vector<std::vector<Entry>> hostile(4);
    for (int d = 0; d < 4; ++d) hostile[d].assign(N, {EXIF, LONG, 1, DirectoryAt(d + 1, N)});
    hostile[3].assign(N, {256, SHORT, 1, 300});
    EXPECT_EQ(ReadPictureHeader(Tiff(hostile, 8)).refusal(), TiffDirectoryRepeated);
    // Three directories of 1,500 entries each: more than a file's walk reads.
    std::vector<std::vector<Entry>> large(4, std::vector<Entry>(1500, {256, SHORT, 1, 300}));
    large[0] = {{EXIF, LONG, 1, 0}, {EXIF, LONG, 1, 0}, {EXIF, LONG, 1, 0}};
    for (int d = 0; d < 3; ++d) large[0][d].value = 8 + 42 + d * (6 + 12 * 1500);
    // Directories named one inside the other, five deep.
    std::vector<std::vector<Entry>> deep(5);
    for (int d = 0; d < 5; ++d) deep[d] = {{EXIF, LONG, 1, DirectoryAt(d + 1, 1)}};
    deep[4] = {{256, SHORT, 1, 300}};
    const struct {
        Bytes bytes;
        PictureRefusal refusal;
    } cases[] = {
        {Tiff(large), TiffTooManyEntries},
        {Tiff(deep), TiffTooDeep},
        {Tiff({{{256, LONG, 100, 9000}}}), TiffValueOutside},
        {Tiff({page}, 9000), TiffPageOutside},
        {Tiff({{{274, SHORT, 1, 6}}}), NoSize},
        {Tiff({{{256, LONG, 1, 20000}, {257, SHORT, 1, 10}}}), SideTooLong},
    };
    for (const auto& [bytes, refusal] : cases)
        EXPECT_EQ(ReadPictureHeader(bytes).refusal(), refusal);
    Bytes outside = Tiff({page});
    outside[4] = 0xF0;
    EXPECT_EQ(ReadPictureHeader(outside).refusal(), TiffDirectoryOutside);
}

}  // namespace
