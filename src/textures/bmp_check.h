// Whether a BMP file's bytes hold a picture the platform can draw without reading outside
// them: the platform trusts the headers, so every size, offset and count in them is checked.
#pragma once
#include <cstdint>
#include <span>
#include "textures/untrusted_bytes.h"

// The largest file read: the largest picture at 32 bits a pixel, with room for its headers.
constexpr uint64_t LARGEST_BMP_FILE =
    uint64_t{LARGEST_PICTURE_SIDE} * LARGEST_PICTURE_SIDE * 4 + (1 << 20);
// Where the info (or core) header starts, with its colour masks and colour table after it.
constexpr size_t BMP_HEADER_AT = 14;
// Enough of a file's first bytes for its largest header, colour masks and colour table.
constexpr size_t BMP_HEAD_BYTES = 4096;

struct BmpLayout {
    uint64_t pixelsAt = 0;  // where the pixels start in the file
    int width = 0;
    int height = 0;  // rows, whichever way they are stored
};

enum class BmpRefusal {
    None,
    HeadShort,  // fewer first bytes than the check needs
    NotBmp,
    HeaderSize,  // a header of a size no loader knows
    HeaderCut,
    Planes,
    Compression,  // unknown, or a JPEG or PNG inside
    BitCount,     // not one the header or the compression allows
    TopDownRunLength,
    MasksCut,
    Masks,  // a colour mask empty, split, outside the pixel or over another
    ColourCount,
    Size,  // width or height outside 1 to LARGEST_PICTURE_SIDE
    ProfileOutside,
    PixelsInTable,  // the pixels start inside the headers or the colour table
    PixelsPastEnd,
    StreamPastEnd,      // a run-length stream longer than the file
    StreamNotWhole,     // a run-length stream checked from the file's first bytes only
    RunOutsidePicture,  // a run, literal, skip or line end outside the picture
    StreamCut,          // an instruction cut short by the stream's end
    NoEndMark,
    RowsPastEnd,  // the rows, each padded to 4 bytes, reach past the file
};
using BmpCheck = Checked<BmpRefusal, BmpLayout>;
const char* RefusalName(BmpRefusal refusal);

// The layout of a whole file's bytes, or why drawing it could read outside them.
BmpCheck CheckBmp(std::span<const uint8_t> file);
// The same check from the file's first bytes (`head`, at least BMP_HEAD_BYTES of them, or the
// whole file) and its size, for a picture whose rows are then read one by one; a run-length
// picture, whose stream must be walked, passes only when `head` is the whole file.
BmpCheck CheckBmp(std::span<const uint8_t> head, uint64_t fileSize);
