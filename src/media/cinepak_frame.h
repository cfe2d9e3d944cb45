// Cinepak frames, checked before the platform's decoder sees them: it trusts the sizes and the
// strips a frame gives and writes past its image when they lie.
#pragma once
#include <cstdint>
#include <span>

constexpr uint32_t CINEPAK_FOURCC = 'c' | 'v' << 8 | 'i' << 16 | 'd' << 24;

// Whether `frame` (as stored, or empty for a frame that repeats the last) fits an image of
// `width` by `height` pixels: every strip and chunk inside the frame, the strips inside the
// image, no codebook of more than 256 entries.
bool CinepakFrameValid(std::span<const unsigned char> frame, int width, int height);
