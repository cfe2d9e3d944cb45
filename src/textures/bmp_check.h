// Whether a BMP file's bytes hold a picture the platform can draw without reading outside
// them: the platform trusts the headers, so every size, offset and count in them is checked.
#pragma once
#include <cstdint>
#include <optional>
#include <span>

// The widest and tallest picture shown.
constexpr int64_t LARGEST_BMP_SIDE = 16384;
// The largest file read: the largest picture at 32 bits a pixel, with room for its headers.
constexpr uint64_t LARGEST_BMP_FILE = LARGEST_BMP_SIDE * LARGEST_BMP_SIDE * 4 + (1 << 20);
// Where the info (or core) header starts, with its colour masks and colour table after it.
constexpr size_t BMP_HEADER_AT = 14;

struct BmpLayout {
    uint64_t pixelsAt;  // where the pixels start in the file
    int width;
    int height;  // rows, whichever way they are stored
};

// The layout of a whole file's bytes, or nothing when drawing it could read outside them.
std::optional<BmpLayout> CheckBmp(std::span<const uint8_t> file);
