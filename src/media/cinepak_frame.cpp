#include "media/cinepak_frame.h"

#include <array>
#include <cstddef>

namespace {

constexpr std::array CINEPAK_REFUSAL_NAMES{
    "None",     "HeaderCut",  "Length",        "FrameSize", "TooManyStrips",
    "StripCut", "StripShape", "StripsTooTall", "ChunkCut",  "CodebookTooLarge"};
static_assert(CINEPAK_REFUSAL_NAMES.size() ==
              static_cast<size_t>(CinepakRefusal::CodebookTooLarge) + 1);

constexpr size_t FRAME_HEADER_SIZE = 10;
constexpr size_t STRIP_HEADER_SIZE = 12;
constexpr size_t CHUNK_HEADER_SIZE = 4;
constexpr unsigned STRIP_LIMIT = 32;
constexpr size_t CODEBOOK_ENTRIES = 256;
// Chunks 0x2000 to 0x27ff are codebooks: bit 0x100 marks an update of the entries its flag
// words select, bit 0x400 entries of grey only.
constexpr unsigned CODEBOOK_MASK = 0xf800;
constexpr unsigned CODEBOOK_ID = 0x2000;
constexpr unsigned CODEBOOK_UPDATE = 0x0100;
constexpr unsigned CODEBOOK_GREY = 0x0400;
constexpr size_t COLOUR_ENTRY_SIZE = 6;
constexpr size_t GREY_ENTRY_SIZE = 4;
constexpr size_t FLAG_WORD_BITS = 32;

// The image is coded in blocks of 4 by 4 pixels.
unsigned WholeBlocks(int pixels) {
    return static_cast<unsigned>(pixels + 3) / 4 * 4;
}

bool CodebookFits(unsigned id, size_t size) {
    const size_t entry = (id & CODEBOOK_GREY) != 0 ? GREY_ENTRY_SIZE : COLOUR_ENTRY_SIZE;
    const size_t flags = (id & CODEBOOK_UPDATE) != 0 ? CODEBOOK_ENTRIES / FLAG_WORD_BITS * 4 : 0;
    return size - CHUNK_HEADER_SIZE <= flags + CODEBOOK_ENTRIES * entry;
}

CinepakRefusal ChunksRefusal(const UntrustedBytes& strip) {
    for (size_t at = STRIP_HEADER_SIZE; at < strip.Size();) {
        if (!strip.Has(at, CHUNK_HEADER_SIZE)) return CinepakRefusal::ChunkCut;
        const unsigned id = strip.U16(at);
        const size_t size = strip.U16(at + 2);
        if (size < CHUNK_HEADER_SIZE || !strip.Has(at, size)) return CinepakRefusal::ChunkCut;
        if ((id & CODEBOOK_MASK) == CODEBOOK_ID && !CodebookFits(id, size)) {
            return CinepakRefusal::CodebookTooLarge;
        }
        at += size;
    }
    return CinepakRefusal::None;
}

}  // namespace

const char* RefusalName(CinepakRefusal refusal) {
    return CINEPAK_REFUSAL_NAMES[static_cast<size_t>(refusal)];
}

CinepakCheck CheckCinepakFrame(std::span<const unsigned char> bytes, int width, int height) {
    if (bytes.empty()) return CinepakRefusal::None;
    const UntrustedBytes frame(bytes, ByteOrder::Big);
    if (!frame.Has(0, FRAME_HEADER_SIZE)) return CinepakRefusal::HeaderCut;
    const size_t length = size_t{frame.U8(1)} << 16 | frame.U16(2);
    if (length < FRAME_HEADER_SIZE || length > frame.Size()) return CinepakRefusal::Length;
    if (frame.U16(4) > WholeBlocks(width) || frame.U16(6) > WholeBlocks(height)) {
        return CinepakRefusal::FrameSize;
    }
    const unsigned strips = frame.U16(8);
    if (strips > STRIP_LIMIT) return CinepakRefusal::TooManyStrips;
    // Each strip's rows follow the last strip's, whether its top is given from the image's top
    // or from its own.
    const UntrustedBytes stored = frame.Sub(0, length);
    unsigned rows = 0;
    size_t at = FRAME_HEADER_SIZE;
    for (unsigned strip = 0; strip < strips; ++strip) {
        if (!stored.Has(at, STRIP_HEADER_SIZE)) return CinepakRefusal::StripCut;
        const size_t size = stored.U16(at + 2);
        if (size < STRIP_HEADER_SIZE || !stored.Has(at, size)) return CinepakRefusal::StripCut;
        const unsigned top = stored.U16(at + 4);
        const unsigned left = stored.U16(at + 6);
        const unsigned bottom = stored.U16(at + 8);
        const unsigned right = stored.U16(at + 10);
        if (bottom < top || right < left || right > WholeBlocks(width)) {
            return CinepakRefusal::StripShape;
        }
        rows += bottom - top;
        if (rows > WholeBlocks(height)) return CinepakRefusal::StripsTooTall;
        if (const CinepakRefusal refusal = ChunksRefusal(stored.Sub(at, size));
            refusal != CinepakRefusal::None) {
            return refusal;
        }
        at += size;
    }
    return CinepakRefusal::None;
}
