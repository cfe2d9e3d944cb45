#include "textures/bmp_check.h"

#include <algorithm>
#include <bit>

namespace {

constexpr uint32_t CORE_HEADER_BYTES = 12;
constexpr uint32_t INFO_HEADER_BYTES = 40;
constexpr uint32_t COMPRESSION_RGB = 0;
constexpr uint32_t COMPRESSION_RLE8 = 1;
constexpr uint32_t COMPRESSION_RLE4 = 2;
constexpr uint32_t COMPRESSION_BITFIELDS = 3;
constexpr uint32_t COMPRESSION_ALPHABITFIELDS = 6;

uint32_t Read16(std::span<const uint8_t> bytes, uint64_t at) {
    return bytes[at] | bytes[at + 1] << 8;
}

uint32_t Read32(std::span<const uint8_t> bytes, uint64_t at) {
    return Read16(bytes, at) | Read16(bytes, at + 2) << 16;
}

struct Picture {
    int64_t width = 0;
    int64_t height = 0;  // rows, whichever way they are stored
    bool topDown = false;
    uint32_t bitCount = 0;
    uint32_t compression = COMPRESSION_RGB;
    uint32_t imageSize = 0;
    uint64_t tableEnd = 0;  // where the colour masks and colour table end
};

bool BitCountFits(uint32_t compression, uint32_t bitCount) {
    switch (compression) {
        case COMPRESSION_RGB:
            return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 ||
                   bitCount == 24 || bitCount == 32;
        case COMPRESSION_RLE8:
            return bitCount == 8;
        case COMPRESSION_RLE4:
            return bitCount == 4;
        case COMPRESSION_BITFIELDS:
        case COMPRESSION_ALPHABITFIELDS:
            return bitCount == 16 || bitCount == 32;
        default:
            return false;  // JPEG and PNG inside a BMP, and anything unknown
    }
}

// One run of set bits inside the pixel, sharing none with the masks before it.
bool MaskFits(uint32_t mask, uint32_t bitCount, uint32_t& used) {
    if (mask == 0 || (bitCount < 32 && mask >> bitCount != 0) || (mask & used) != 0) return false;
    used |= mask;
    const uint32_t lowest = mask >> std::countr_zero(mask);
    return (lowest & (lowest + 1)) == 0;
}

bool MasksFit(std::span<const uint8_t> file, const Picture& picture, uint32_t headerSize) {
    const uint64_t at = BMP_HEADER_AT + INFO_HEADER_BYTES;
    uint32_t used = 0;
    for (int i = 0; i < 3; ++i) {
        if (!MaskFits(Read32(file, at + 4 * i), picture.bitCount, used)) return false;
    }
    const bool hasAlpha =
        picture.compression == COMPRESSION_ALPHABITFIELDS || headerSize >= INFO_HEADER_BYTES + 16;
    const uint32_t alpha = hasAlpha ? Read32(file, at + 12) : 0;
    return alpha == 0 || MaskFits(alpha, picture.bitCount, used);
}

bool ReadCoreHeader(std::span<const uint8_t> file, Picture& picture) {
    picture.width = Read16(file, 18);
    picture.height = Read16(file, 20);
    picture.bitCount = Read16(file, 24);
    if (Read16(file, 22) != 1) return false;
    if (picture.bitCount != 1 && picture.bitCount != 4 && picture.bitCount != 8 &&
        picture.bitCount != 24) {
        return false;
    }
    const uint64_t colours = picture.bitCount <= 8 ? uint64_t{1} << picture.bitCount : 0;
    picture.tableEnd = BMP_HEADER_AT + CORE_HEADER_BYTES + colours * 3;
    return true;
}

bool ReadInfoHeader(std::span<const uint8_t> file, uint32_t headerSize, Picture& picture) {
    const auto width = static_cast<int32_t>(Read32(file, 18));
    const auto height = static_cast<int32_t>(Read32(file, 22));
    picture.width = width;
    picture.topDown = height < 0;
    picture.height = height < 0 ? -int64_t{height} : height;
    picture.bitCount = Read16(file, 28);
    picture.compression = Read32(file, 30);
    picture.imageSize = Read32(file, 34);
    const uint32_t coloursUsed = Read32(file, 46);
    if (Read16(file, 26) != 1 || !BitCountFits(picture.compression, picture.bitCount)) {
        return false;
    }
    // Compressed rows are always stored bottom-up.
    if (picture.topDown &&
        (picture.compression == COMPRESSION_RLE8 || picture.compression == COMPRESSION_RLE4)) {
        return false;
    }
    uint64_t tableStart = BMP_HEADER_AT + headerSize;
    if (picture.compression == COMPRESSION_BITFIELDS ||
        picture.compression == COMPRESSION_ALPHABITFIELDS) {
        // Masks follow a short header, or are part of a longer one.
        const uint32_t maskBytes = picture.compression == COMPRESSION_BITFIELDS ? 12 : 16;
        tableStart = std::max<uint64_t>(tableStart, BMP_HEADER_AT + INFO_HEADER_BYTES + maskBytes);
        if (tableStart > file.size() || !MasksFit(file, picture, headerSize)) return false;
    }
    uint64_t colours = coloursUsed;
    if (picture.bitCount <= 8) {
        const uint64_t most = uint64_t{1} << picture.bitCount;
        if (colours > most) return false;
        if (colours == 0) colours = most;
    }
    picture.tableEnd = tableStart + colours * 4;
    return true;
}

// A colour profile the largest header can name must lie in the file too.
bool ProfileFits(std::span<const uint8_t> file, uint64_t fileSize, uint32_t headerSize) {
    constexpr uint32_t PROFILE_LINKED = 0x4C494E4B;    // 'LINK'
    constexpr uint32_t PROFILE_EMBEDDED = 0x4D424544;  // 'MBED'
    if (headerSize < 124) return true;
    const uint32_t space = Read32(file, BMP_HEADER_AT + 56);
    if (space != PROFILE_LINKED && space != PROFILE_EMBEDDED) return true;
    const uint64_t at = BMP_HEADER_AT + uint64_t{Read32(file, BMP_HEADER_AT + 112)};
    return at + Read32(file, BMP_HEADER_AT + 116) <= fileSize;
}

// Walks a run-length stream to its end-of-picture mark: every run, skip and literal stays
// inside the stream's bytes and inside the picture.
bool RunLengthStreamFits(std::span<const uint8_t> stream, const Picture& picture) {
    const bool fourBit = picture.compression == COMPRESSION_RLE4;
    int64_t x = 0;
    int64_t y = 0;
    size_t at = 0;
    while (at + 2 <= stream.size()) {
        const uint32_t count = stream[at];
        const uint32_t code = stream[at + 1];
        at += 2;
        if (count > 0) {
            if (y >= picture.height || x + count > picture.width) return false;
            x += count;
            continue;
        }
        switch (code) {
            case 0:  // end of line
                x = 0;
                if (++y > picture.height) return false;
                break;
            case 1:  // end of picture
                return true;
            case 2:  // skip
                if (at + 2 > stream.size()) return false;
                x += stream[at];
                y += stream[at + 1];
                at += 2;
                if (x > picture.width || y > picture.height) return false;
                break;
            default: {  // literal pixels, padded to a 16-bit boundary
                const size_t bytes = fourBit ? (code + 1) / 2 : code;
                at += (bytes + 1) & ~size_t{1};
                if (at > stream.size() || y >= picture.height || x + code > picture.width) {
                    return false;
                }
                x += code;
            }
        }
    }
    return false;
}

}  // namespace

std::optional<BmpLayout> CheckBmp(std::span<const uint8_t> file) {
    return CheckBmp(file, file.size());
}

std::optional<BmpLayout> CheckBmp(std::span<const uint8_t> file, uint64_t fileSize) {
    // Only the headers are read from `file`; what must lie in the file is measured by its size.
    if (file.size() < std::min<uint64_t>(fileSize, BMP_HEAD_BYTES) ||
        file.size() < BMP_HEADER_AT + 4 || file[0] != 'B' || file[1] != 'M') {
        return {};
    }
    const uint32_t headerSize = Read32(file, BMP_HEADER_AT);
    constexpr uint32_t knownSizes[] = {CORE_HEADER_BYTES, INFO_HEADER_BYTES, 52, 56, 108, 124};
    if (std::find(std::begin(knownSizes), std::end(knownSizes), headerSize) ==
            std::end(knownSizes) ||
        BMP_HEADER_AT + headerSize > file.size()) {
        return {};
    }
    Picture picture;
    if (headerSize == CORE_HEADER_BYTES ? !ReadCoreHeader(file, picture)
                                        : !ReadInfoHeader(file, headerSize, picture)) {
        return {};
    }
    if (picture.width < 1 || picture.width > LARGEST_BMP_SIDE || picture.height < 1 ||
        picture.height > LARGEST_BMP_SIDE || !ProfileFits(file, fileSize, headerSize)) {
        return {};
    }
    const BmpLayout layout{Read32(file, 10), static_cast<int>(picture.width),
                           static_cast<int>(picture.height)};
    if (layout.pixelsAt < picture.tableEnd || layout.pixelsAt > fileSize) return {};
    const uint64_t available = fileSize - layout.pixelsAt;
    if (picture.compression == COMPRESSION_RLE8 || picture.compression == COMPRESSION_RLE4) {
        if (picture.imageSize > available || file.size() != fileSize) return {};
        const uint64_t streamBytes = picture.imageSize != 0 ? picture.imageSize : available;
        if (!RunLengthStreamFits(file.subspan(layout.pixelsAt, streamBytes), picture)) return {};
        return layout;
    }
    const uint64_t rowBytes =
        (static_cast<uint64_t>(picture.width) * picture.bitCount + 31) / 32 * 4;
    if (rowBytes * static_cast<uint64_t>(picture.height) > available) return {};
    return layout;
}
