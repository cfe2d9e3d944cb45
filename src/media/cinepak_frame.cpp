#include "media/cinepak_frame.h"

#include <cstddef>

namespace {

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

unsigned Be16(const unsigned char* bytes) {
    return static_cast<unsigned>(bytes[0] << 8 | bytes[1]);
}

// The image is coded in blocks of 4 by 4 pixels.
unsigned WholeBlocks(int pixels) {
    return static_cast<unsigned>(pixels + 3) / 4 * 4;
}

bool CodebookFits(unsigned id, size_t size) {
    const size_t entry = (id & CODEBOOK_GREY) != 0 ? GREY_ENTRY_SIZE : COLOUR_ENTRY_SIZE;
    const size_t flags = (id & CODEBOOK_UPDATE) != 0 ? CODEBOOK_ENTRIES / FLAG_WORD_BITS * 4 : 0;
    return size - CHUNK_HEADER_SIZE <= flags + CODEBOOK_ENTRIES * entry;
}

bool StripChunksFit(std::span<const unsigned char> strip) {
    for (size_t at = STRIP_HEADER_SIZE; at < strip.size();) {
        if (strip.size() - at < CHUNK_HEADER_SIZE) return false;
        const unsigned id = Be16(&strip[at]);
        const size_t size = Be16(&strip[at + 2]);
        if (size < CHUNK_HEADER_SIZE || size > strip.size() - at) return false;
        if ((id & CODEBOOK_MASK) == CODEBOOK_ID && !CodebookFits(id, size)) return false;
        at += size;
    }
    return true;
}

}  // namespace

bool CinepakFrameValid(std::span<const unsigned char> frame, int width, int height) {
    if (frame.empty()) return true;
    if (frame.size() < FRAME_HEADER_SIZE) return false;
    const size_t length = size_t{frame[1]} << 16 | size_t{frame[2]} << 8 | frame[3];
    const unsigned strips = Be16(&frame[8]);
    if (length < FRAME_HEADER_SIZE || length > frame.size() ||
        Be16(&frame[4]) > WholeBlocks(width) || Be16(&frame[6]) > WholeBlocks(height) ||
        strips > STRIP_LIMIT) {
        return false;
    }
    // Each strip's rows follow the last strip's, whether its top is given from the image's top
    // or from its own.
    unsigned rows = 0;
    size_t at = FRAME_HEADER_SIZE;
    for (unsigned strip = 0; strip < strips; ++strip) {
        if (length - at < STRIP_HEADER_SIZE) return false;
        const size_t size = Be16(&frame[at + 2]);
        const unsigned top = Be16(&frame[at + 4]);
        const unsigned left = Be16(&frame[at + 6]);
        const unsigned bottom = Be16(&frame[at + 8]);
        const unsigned right = Be16(&frame[at + 10]);
        if (size < STRIP_HEADER_SIZE || size > length - at || bottom < top || right < left ||
            right > WholeBlocks(width)) {
            return false;
        }
        rows += bottom - top;
        if (rows > WholeBlocks(height) || !StripChunksFit(frame.subspan(at, size))) return false;
        at += size;
    }
    return true;
}
