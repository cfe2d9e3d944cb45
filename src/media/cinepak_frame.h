// Cinepak frames, checked before the platform's decoder sees them: it trusts the sizes and the
// strips a frame gives and writes past its image when they lie.
#pragma once
#include <cstdint>
#include <span>
#include "textures/untrusted_bytes.h"

constexpr uint32_t CINEPAK_FOURCC = 'c' | 'v' << 8 | 'i' << 16 | 'd' << 24;

enum class CinepakRefusal {
    None,
    HeaderCut,
    Length,     // a frame length shorter than its header or longer than the frame
    FrameSize,  // wider or taller than the picture
    TooManyStrips,
    StripCut,
    StripShape,  // a strip upside down, back to front or wider than the picture
    StripsTooTall,
    ChunkCut,
    CodebookTooLarge,
};
using CinepakCheck = Checked<CinepakRefusal>;
const char* RefusalName(CinepakRefusal refusal);

// Whether `frame` (as stored, or empty for a frame that repeats the last) fits an image of
// `width` by `height` pixels: every strip and chunk inside the frame, the strips inside the
// image, no codebook of more than 256 entries.
CinepakCheck CheckCinepakFrame(std::span<const unsigned char> frame, int width, int height);
