#include "bmp_seeds.h"

#include <array>
#include <bit>

namespace {

constexpr uint32_t RGB = 0, RLE8 = 1, RLE4 = 2, BITFIELDS = 3, ALPHABITFIELDS = 6;

constexpr std::array<SeedColour, 12> PALETTE = {{{0, 0, 0},
                                                 {255, 0, 0},
                                                 {0, 255, 0},
                                                 {0, 0, 255},
                                                 {255, 255, 0},
                                                 {0, 255, 255},
                                                 {255, 0, 255},
                                                 {255, 255, 255},
                                                 {128, 64, 0},
                                                 {0, 128, 192},
                                                 {192, 192, 64},
                                                 {64, 0, 128}}};
// The two colours of 1-bit pictures: black, and this for every other colour.
constexpr SeedColour ONE_BIT_INK = {255, 160, 0};

// On a grid of 29 x 14 cells of `scale` pixels: a four-colour band along the top, a broken
// edge on the left, a diagonal, a speckled stripe at the lower right and one black row, on
// black: runs, literals and black stretches to skip. The stripe repeats one pixel and two of
// another colour, so it has no run of three pixels at any scale.
int PictureIndex(int x, int y, int scale) {
    const int column = x / scale;
    const int row = y / scale;
    if (row == 8) return 0;
    if (row < 3) return 1 + column * 4 / 29;
    if (column < 3 && row % 4 != 1) return 5 + row % 3;
    if (column >= 12 && column < 27 && row >= 10 && row < 13) {
        return 9 + (x / 3 + row + (x % 3 == 0 ? 1 : 0)) % 3;
    }
    if (column - 3 == (13 - row) * 2) return 8;
    return 0;
}

struct Format {
    const char* name;
    uint32_t headerSize;
    uint32_t bitCount;
    uint32_t compression = RGB;
    bool topDown = false;
    uint32_t coloursUsed = 0;  // 0: a full table for palette pictures
    std::array<uint32_t, 4> masks = {};
    uint32_t gap = 0;  // bytes between the colour table and the pixels
};

constexpr uint32_t R565 = 0xF800, G565 = 0x07E0, B565 = 0x001F;
constexpr uint32_t R555 = 0x7C00, G555 = 0x03E0, B555 = 0x001F;
constexpr uint32_t R8 = 0xFF0000, G8 = 0xFF00, B8 = 0xFF, A8 = 0xFF000000;

const std::array<Format, 28> FORMATS = {{
    {"core1", 12, 1},
    {"core4", 12, 4},
    {"core8", 12, 8},
    {"core24", 12, 24},
    {"rgb1", 40, 1},
    {"rgb4", 40, 4, RGB, false, 12},
    {"rgb8", 40, 8, RGB, false, 12},
    {"rgb8-full", 40, 8},
    {"rgb16", 40, 16},
    {"rgb24", 40, 24},
    {"rgb32", 40, 32},
    {"rgb24-topdown", 40, 24, RGB, true},
    {"rgb1-topdown-v4", 108, 1, RGB, true},
    {"rgb4-v4", 108, 4},
    {"rgb8-topdown-v5", 124, 8, RGB, true, 12},
    {"rgb24-gap-v5", 124, 24, RGB, false, 0, {}, 22},
    {"rle8", 40, 8, RLE8, false, 12},
    {"rle4", 40, 4, RLE4},
    {"rle8-v5", 124, 8, RLE8},
    {"rle4-v4", 108, 4, RLE4, false, 12},
    {"bitfields16-565", 40, 16, BITFIELDS, false, 0, {R565, G565, B565}},
    {"bitfields16-555-v4", 108, 16, BITFIELDS, false, 0, {R555, G555, B555}},
    {"bitfields32", 40, 32, BITFIELDS, false, 0, {R8, G8, B8}},
    {"bitfields32-rgba-v2", 52, 32, BITFIELDS, false, 0, {B8, G8, R8}},
    {"bitfields16-555-v3", 56, 16, BITFIELDS, false, 0, {R555, G555, B555}},
    {"bitfields32-topdown-v5", 124, 32, BITFIELDS, true, 0, {R8 << 8, G8 << 8, B8 << 8}},
    {"alphabitfields32", 40, 32, ALPHABITFIELDS, false, 0, {R8, G8, B8, A8}},
    {"alphabitfields16", 40, 16, ALPHABITFIELDS, false, 0, {0x0F00, 0x00F0, 0x000F, 0xF000}},
}};

void Put16(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    bytes[at] = static_cast<uint8_t>(value);
    bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

void Put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    Put16(bytes, at, value);
    Put16(bytes, at + 2, value >> 16);
}

// A channel scaled into a mask, and what a reader makes of it again.
uint32_t IntoMask(uint8_t channel, uint32_t mask) {
    if (mask == 0) return 0;
    const uint32_t most = mask >> std::countr_zero(mask);
    return (channel * most + 127) / 255 << std::countr_zero(mask);
}

class Encoder {
public:
    Encoder(const std::vector<uint8_t>& indices, int width, int height, bool fourBit)
        : indices_(indices), width_(width), height_(height), fourBit_(fourBit) {}

    // Bottom row first: runs of one colour, literal stretches, skips over black (within a row
    // and on into the next), line ends and the end mark.
    std::vector<uint8_t> Encode() {
        for (int row = 0, x = 0; row < height_;) {
            const int coloured = FirstColoured(row, x);
            if (coloured == width_) {
                const int next = row + 1 < height_ ? FirstColoured(row + 1, 0) : width_;
                if (next < width_ && next >= x) {
                    Put(0, 2, next - x, 1);
                    x = next;
                } else {
                    Put(0, 0);
                    x = 0;
                }
                ++row;
            } else if (coloured - x >= 4) {
                Put(0, 2, coloured - x, 0);
                x = coloured;
            } else {
                x = EncodeStretch(row, x);
            }
        }
        Put(0, 1);
        return out_;
    }

private:
    uint8_t At(int row, int x) const { return indices_[(height_ - 1 - row) * width_ + x]; }
    int FirstColoured(int row, int x) const {
        while (x < width_ && At(row, x) == 0) ++x;
        return x;
    }
    int RunLength(int row, int x) const {
        int run = 1;
        while (x + run < width_ && run < 255 && At(row, x + run) == At(row, x)) ++run;
        return run;
    }
    void Put(int a, int b) {
        out_.push_back(static_cast<uint8_t>(a));
        out_.push_back(static_cast<uint8_t>(b));
    }
    void Put(int a, int b, int c, int d) {
        Put(a, b);
        Put(c, d);
    }
    uint8_t Twice(uint8_t index) const { return fourBit_ ? index << 4 | index : index; }

    // One run, or a literal stretch up to the next run or black stretch; the next x.
    int EncodeStretch(int row, int x) {
        const int run = RunLength(row, x);
        int literal = 0;
        while (x + literal < width_ && literal < 255 && RunLength(row, x + literal) < 3 &&
               FirstColoured(row, x + literal) - (x + literal) < 4) {
            ++literal;
        }
        if (run >= 3 || literal < 3) {
            const int count = run >= 3 ? run : 1;
            Put(count, Twice(At(row, x)));
            return x + count;
        }
        Put(0, literal);
        const size_t start = out_.size();
        for (int i = 0; i < literal; ++i) {
            if (!fourBit_) {
                out_.push_back(At(row, x + i));
            } else if (i % 2 == 0) {
                out_.push_back(static_cast<uint8_t>(At(row, x + i) << 4));
            } else {
                out_.back() |= At(row, x + i);
            }
        }
        if ((out_.size() - start) % 2 != 0) out_.push_back(0);
        return x + literal;
    }

    const std::vector<uint8_t>& indices_;
    const int width_;
    const int height_;
    bool fourBit_;
    std::vector<uint8_t> out_;
};

std::vector<uint8_t> PackRows(const Format& format, const BmpSeed& seed,
                              const std::vector<uint8_t>& indices) {
    const int width = seed.width;
    const int height = seed.height;
    const size_t rowBytes = (width * format.bitCount + 31) / 32 * 4;
    std::vector<uint8_t> rows(rowBytes * height);
    std::array<uint32_t, 4> masks = format.masks;
    if (format.compression == RGB && format.bitCount == 16) masks = {R555, G555, B555};
    if (format.compression == RGB && format.bitCount == 32) masks = {R8, G8, B8};
    for (int y = 0; y < height; ++y) {
        uint8_t* row = &rows[(format.topDown ? y : height - 1 - y) * rowBytes];
        for (int x = 0; x < width; ++x) {
            const uint8_t index = indices[y * width + x];
            const SeedColour c = seed.picture[y * width + x];
            switch (format.bitCount) {
                case 1:
                case 4:
                case 8: {
                    const uint32_t bit = x * format.bitCount;
                    row[bit / 8] |= index << (8 - format.bitCount - bit % 8);
                    break;
                }
                case 24:
                    row[x * 3] = c.blue;
                    row[x * 3 + 1] = c.green;
                    row[x * 3 + 2] = c.red;
                    break;
                default: {
                    const uint32_t value = IntoMask(c.red, masks[0]) | IntoMask(c.green, masks[1]) |
                                           IntoMask(c.blue, masks[2]) | masks[3];
                    for (uint32_t i = 0; i < format.bitCount / 8; ++i) {
                        row[x * format.bitCount / 8 + i] = static_cast<uint8_t>(value >> 8 * i);
                    }
                }
            }
        }
    }
    return rows;
}

BmpSeed MakeSeed(const Format& format, int scale) {
    const bool oneBit = format.bitCount == 1;
    const int width = 29 * scale;
    const int height = 14 * scale;
    std::vector<uint8_t> indices(width * height);
    BmpSeed seed{format.name,
                 {},
                 width,
                 height,
                 std::vector<SeedColour>(width * height),
                 format.bitCount == 16 ? 8 : 0,
                 format.compression != ALPHABITFIELDS};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int index = PictureIndex(x, y, scale);
            indices[y * width + x] = static_cast<uint8_t>(oneBit ? index != 0 : index);
            seed.picture[y * width + x] = oneBit && index != 0 ? ONE_BIT_INK : PALETTE[index];
        }
    }
    const bool core = format.headerSize == 12;
    size_t tableEntries = 0;
    if (format.bitCount <= 8) {
        tableEntries = format.coloursUsed != 0 ? format.coloursUsed : size_t{1} << format.bitCount;
    }
    size_t masksAfterHeader = 0;
    if (format.headerSize == 40 && format.compression == BITFIELDS) masksAfterHeader = 12;
    if (format.headerSize == 40 && format.compression == ALPHABITFIELDS) masksAfterHeader = 16;
    const size_t tableAt = 14 + format.headerSize + masksAfterHeader;
    const size_t pixelsAt = tableAt + tableEntries * (core ? 3 : 4) + format.gap;
    std::vector<uint8_t> pixels;
    if (format.compression == RLE8 || format.compression == RLE4) {
        pixels = Encoder(indices, width, height, format.compression == RLE4).Encode();
    } else {
        pixels = PackRows(format, seed, indices);
    }
    std::vector<uint8_t>& bytes = seed.bytes;
    bytes.assign(pixelsAt, 0);
    bytes.insert(bytes.end(), pixels.begin(), pixels.end());
    bytes[0] = 'B';
    bytes[1] = 'M';
    Put32(bytes, 2, static_cast<uint32_t>(bytes.size()));
    Put32(bytes, 10, static_cast<uint32_t>(pixelsAt));
    Put32(bytes, 14, format.headerSize);
    if (core) {
        Put16(bytes, 18, width);
        Put16(bytes, 20, height);
        Put16(bytes, 22, 1);
        Put16(bytes, 24, format.bitCount);
    } else {
        Put32(bytes, 18, width);
        Put32(bytes, 22, format.topDown ? -height : height);
        Put16(bytes, 26, 1);
        Put16(bytes, 28, format.bitCount);
        Put32(bytes, 30, format.compression);
        Put32(bytes, 34, static_cast<uint32_t>(pixels.size()));
        Put32(bytes, 38, 2835);
        Put32(bytes, 42, 2835);
        Put32(bytes, 46, format.coloursUsed);
        for (int i = 0; i < 4; ++i) {
            if (54 + 4 * static_cast<size_t>(i) < tableAt)
                Put32(bytes, 54 + 4 * i, format.masks[i]);
        }
        if (format.headerSize >= 108) Put32(bytes, 70, 0x73524742);  // 'sRGB'
        if (format.headerSize >= 124) Put32(bytes, 122, 4);          // pictures
    }
    for (size_t i = 0; i < tableEntries; ++i) {
        SeedColour c = i < PALETTE.size() ? PALETTE[i] : SeedColour{90, 90, 90};
        if (oneBit && i == 1) c = ONE_BIT_INK;
        uint8_t* entry = &bytes[tableAt + i * (core ? 3 : 4)];
        entry[0] = c.blue;
        entry[1] = c.green;
        entry[2] = c.red;
    }
    return seed;
}

}  // namespace

std::vector<BmpSeed> MakeBmpSeeds(int scale) {
    std::vector<BmpSeed> seeds;
    for (const Format& format : FORMATS) seeds.push_back(MakeSeed(format, scale));
    return seeds;
}
