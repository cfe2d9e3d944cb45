// Reduction of images to 8-bit palettes. Neutral pixels (equal channels) only ever map to
// neutral palette entries, so channel swaps leave them alone; a key colour stays exact.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "raster.h"

struct Rgb8 {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb8&) const = default;
    bool Neutral() const { return r == g && g == b; }
};

struct Indexed {
    int width = 0, height = 0;
    std::vector<Rgb8> palette;
    std::vector<uint8_t> pixels;  // top row first
};

struct RgbImage {
    int width = 0, height = 0;
    std::vector<Rgb8> pixels;  // top row first
};

// Composites the image over a ground colour.
RgbImage Flatten(const ImageF& image, Color ground);

// Pixels flagged in keyMask become palette entry 0, the key, which no other entry equals.
Indexed Quantise(const RgbImage& image, const std::vector<bool>& keyMask = {},
                 std::optional<Rgb8> key = std::nullopt);

// A subject on a key-coloured ground: pixels under the alpha threshold become the key, the
// rest are composited over the key colour.
Indexed Keyed(const ImageF& image, Rgb8 key, float threshold = 0.3f);
