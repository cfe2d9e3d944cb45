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
// Enough of a file's first bytes for its largest header, colour masks and colour table.
constexpr size_t BMP_HEAD_BYTES = 4096;

struct BmpLayout {
    uint64_t pixelsAt;  // where the pixels start in the file
    int width;
    int height;  // rows, whichever way they are stored
};

// The layout of a whole file's bytes, or nothing when drawing it could read outside them.
std::optional<BmpLayout> CheckBmp(std::span<const uint8_t> file);
// The same check from the file's first bytes (`head`, at least BMP_HEAD_BYTES of them, or the
// whole file) and its size, for a picture whose rows are then read one by one; a run-length
// picture, whose stream must be walked, passes only when `head` is the whole file.
std::optional<BmpLayout> CheckBmp(std::span<const uint8_t> head, uint64_t fileSize);
