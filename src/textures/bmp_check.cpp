#include "textures/bmp_check.h"

#include <algorithm>
#include <array>
#include <bit>

namespace {

constexpr std::array BMP_REFUSAL_NAMES{
    "None",          "HeadShort",     "NotBmp",         "HeaderSize",        "HeaderCut",
    "Planes",        "Compression",   "BitCount",       "TopDownRunLength",  "MasksCut",
    "Masks",         "ColourCount",   "Size",           "ProfileOutside",    "PixelsInTable",
    "PixelsPastEnd", "StreamPastEnd", "StreamNotWhole", "RunOutsidePicture", "StreamCut",
    "NoEndMark",     "RowsPastEnd"};
static_assert(BMP_REFUSAL_NAMES.size() == static_cast<size_t>(BmpRefusal::RowsPastEnd) + 1);

constexpr uint32_t CORE_HEADER_BYTES = 12;
constexpr uint32_t INFO_HEADER_BYTES = 40;
constexpr uint32_t COMPRESSION_RGB = 0;
constexpr uint32_t COMPRESSION_RLE8 = 1;
constexpr uint32_t COMPRESSION_RLE4 = 2;
constexpr uint32_t COMPRESSION_BITFIELDS = 3;
constexpr uint32_t COMPRESSION_ALPHABITFIELDS = 6;

struct Picture {
    int64_t width = 0;
    int64_t height = 0;  // rows, whichever way they are stored
    bool topDown = false;
    uint32_t bitCount = 0;
    uint32_t compression = COMPRESSION_RGB;
    uint32_t imageSize = 0;
    uint64_t tableEnd = 0;  // where the colour masks and colour table end
};

bool IsRunLength(uint32_t compression) {
    return compression == COMPRESSION_RLE8 || compression == COMPRESSION_RLE4;
}

BmpRefusal BitCountRefusal(uint32_t compression, uint32_t bitCount) {
    bool fits = false;
    switch (compression) {
        case COMPRESSION_RGB:
            fits = bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 ||
                   bitCount == 24 || bitCount == 32;
            break;
        case COMPRESSION_RLE8:
            fits = bitCount == 8;
            break;
        case COMPRESSION_RLE4:
            fits = bitCount == 4;
            break;
        case COMPRESSION_BITFIELDS:
        case COMPRESSION_ALPHABITFIELDS:
            fits = bitCount == 16 || bitCount == 32;
            break;
        default:
            return BmpRefusal::Compression;  // JPEG and PNG inside a BMP, and anything unknown
    }
    return fits ? BmpRefusal::None : BmpRefusal::BitCount;
}

// One run of set bits inside the pixel, sharing none with the masks before it.
bool MaskFits(uint32_t mask, uint32_t bitCount, uint32_t& used) {
    if (mask == 0 || (bitCount < 32 && mask >> bitCount != 0) || (mask & used) != 0) return false;
    used |= mask;
    const uint32_t lowest = mask >> std::countr_zero(mask);
    return (lowest & (lowest + 1)) == 0;
}

BmpRefusal MasksRefusal(const UntrustedBytes& file, const Picture& picture, uint32_t headerSize) {
    constexpr uint64_t at = BMP_HEADER_AT + INFO_HEADER_BYTES;
    const bool hasAlpha =
        picture.compression == COMPRESSION_ALPHABITFIELDS || headerSize >= INFO_HEADER_BYTES + 16;
    const std::array<uint32_t, 4> masks{file.U32(at), file.U32(at + 4), file.U32(at + 8),
                                        hasAlpha ? file.U32(at + 12) : 0};
    if (file.Failed()) return BmpRefusal::MasksCut;
    uint32_t used = 0;
    for (int i = 0; i < 3; ++i) {
        if (!MaskFits(masks[i], picture.bitCount, used)) return BmpRefusal::Masks;
    }
    return masks[3] == 0 || MaskFits(masks[3], picture.bitCount, used) ? BmpRefusal::None
                                                                       : BmpRefusal::Masks;
}

BmpRefusal ReadCoreHeader(const UntrustedBytes& file, Picture& picture) {
    picture.width = file.U16(18);
    picture.height = file.U16(20);
    picture.bitCount = file.U16(24);
    if (file.U16(22) != 1) return BmpRefusal::Planes;
    if (picture.bitCount != 1 && picture.bitCount != 4 && picture.bitCount != 8 &&
        picture.bitCount != 24) {
        return BmpRefusal::BitCount;
    }
    const uint64_t colours = picture.bitCount <= 8 ? uint64_t{1} << picture.bitCount : 0;
    picture.tableEnd = BMP_HEADER_AT + CORE_HEADER_BYTES + colours * 3;
    return BmpRefusal::None;
}

BmpRefusal ReadInfoHeader(const UntrustedBytes& file, uint32_t headerSize, Picture& picture) {
    const auto width = static_cast<int32_t>(file.U32(18));
    const auto height = static_cast<int32_t>(file.U32(22));
    picture.width = width;
    picture.topDown = height < 0;
    picture.height = height < 0 ? -int64_t{height} : height;
    picture.bitCount = file.U16(28);
    picture.compression = file.U32(30);
    picture.imageSize = file.U32(34);
    const uint32_t coloursUsed = file.U32(46);
    if (file.U16(26) != 1) return BmpRefusal::Planes;
    if (const BmpRefusal refusal = BitCountRefusal(picture.compression, picture.bitCount);
        refusal != BmpRefusal::None) {
        return refusal;
    }
    // Compressed rows are always stored bottom-up.
    if (picture.topDown && IsRunLength(picture.compression)) return BmpRefusal::TopDownRunLength;
    uint64_t tableStart = BMP_HEADER_AT + headerSize;
    if (picture.compression == COMPRESSION_BITFIELDS ||
        picture.compression == COMPRESSION_ALPHABITFIELDS) {
        // Masks follow a short header, or are part of a longer one.
        const uint32_t maskBytes = picture.compression == COMPRESSION_BITFIELDS ? 12 : 16;
        tableStart = std::max<uint64_t>(tableStart, BMP_HEADER_AT + INFO_HEADER_BYTES + maskBytes);
        if (const BmpRefusal refusal = MasksRefusal(file, picture, headerSize);
            refusal != BmpRefusal::None) {
            return refusal;
        }
    }
    uint64_t colours = coloursUsed;
    if (picture.bitCount <= 8) {
        const uint64_t most = uint64_t{1} << picture.bitCount;
        if (colours > most) return BmpRefusal::ColourCount;
        if (colours == 0) colours = most;
    }
    picture.tableEnd = tableStart + colours * 4;
    return BmpRefusal::None;
}

// A colour profile the largest header can name must lie in the file too.
bool ProfileFits(const UntrustedBytes& file, uint64_t fileSize, uint32_t headerSize) {
    constexpr uint32_t PROFILE_LINKED = 0x4C494E4B;    // 'LINK'
    constexpr uint32_t PROFILE_EMBEDDED = 0x4D424544;  // 'MBED'
    if (headerSize < 124) return true;
    const uint32_t space = file.U32(BMP_HEADER_AT + 56);
    if (space != PROFILE_LINKED && space != PROFILE_EMBEDDED) return true;
    const uint64_t at = BMP_HEADER_AT + uint64_t{file.U32(BMP_HEADER_AT + 112)};
    return at + file.U32(BMP_HEADER_AT + 116) <= fileSize;
}

// Walks a run-length stream to its end-of-picture mark: every run, skip and literal stays
// inside the stream's bytes and inside the picture.
BmpRefusal RunLengthRefusal(const UntrustedBytes& stream, const Picture& picture) {
    const bool fourBit = picture.compression == COMPRESSION_RLE4;
    int64_t x = 0;
    int64_t y = 0;
    uint64_t at = 0;
    while (stream.Has(at, 2)) {
        const uint32_t count = stream.U8(at);
        const uint32_t code = stream.U8(at + 1);
        at += 2;
        if (count > 0) {
            if (y >= picture.height || x + count > picture.width) {
                return BmpRefusal::RunOutsidePicture;
            }
            x += count;
            continue;
        }
        switch (code) {
            case 0:  // end of line
                x = 0;
                if (++y > picture.height) return BmpRefusal::RunOutsidePicture;
                break;
            case 1:  // end of picture
                return BmpRefusal::None;
            case 2:  // skip
                x += stream.U8(at);
                y += stream.U8(at + 1);
                at += 2;
                if (stream.Failed()) return BmpRefusal::StreamCut;
                if (x > picture.width || y > picture.height) return BmpRefusal::RunOutsidePicture;
                break;
            default: {  // literal pixels, padded to a 16-bit boundary
                const uint64_t bytes = fourBit ? (code + 1) / 2 : code;
                at += (bytes + 1) & ~uint64_t{1};
                if (at > stream.Size()) return BmpRefusal::StreamCut;
                if (y >= picture.height || x + code > picture.width) {
                    return BmpRefusal::RunOutsidePicture;
                }
                x += code;
            }
        }
    }
    return BmpRefusal::NoEndMark;
}

}  // namespace

const char* RefusalName(BmpRefusal refusal) {
    return BMP_REFUSAL_NAMES[static_cast<size_t>(refusal)];
}

BmpCheck CheckBmp(std::span<const uint8_t> file) {
    return CheckBmp(file, file.size());
}

BmpCheck CheckBmp(std::span<const uint8_t> head, uint64_t fileSize) {
    // Only the headers are read from `head`; what must lie in the file is measured by its size.
    if (head.size() < std::min<uint64_t>(fileSize, BMP_HEAD_BYTES)) return BmpRefusal::HeadShort;
    const UntrustedBytes file(head);
    if (!file.Starts(0, "BM")) return BmpRefusal::NotBmp;
    const uint32_t headerSize = file.U32(BMP_HEADER_AT);
    constexpr std::array<uint32_t, 6> knownSizes{
        CORE_HEADER_BYTES, INFO_HEADER_BYTES, 52, 56, 108, 124};
    if (std::find(knownSizes.begin(), knownSizes.end(), headerSize) == knownSizes.end()) {
        return BmpRefusal::HeaderSize;
    }
    if (!file.Has(BMP_HEADER_AT, headerSize)) return BmpRefusal::HeaderCut;
    Picture picture;
    if (const BmpRefusal refusal = headerSize == CORE_HEADER_BYTES
                                       ? ReadCoreHeader(file, picture)
                                       : ReadInfoHeader(file, headerSize, picture);
        refusal != BmpRefusal::None) {
        return refusal;
    }
    if (picture.width < 1 || picture.width > LARGEST_PICTURE_SIDE || picture.height < 1 ||
        picture.height > LARGEST_PICTURE_SIDE) {
        return BmpRefusal::Size;
    }
    if (!ProfileFits(file, fileSize, headerSize)) return BmpRefusal::ProfileOutside;
    const BmpLayout layout{file.U32(10), static_cast<int>(picture.width),
                           static_cast<int>(picture.height)};
    if (layout.pixelsAt < picture.tableEnd) return BmpRefusal::PixelsInTable;
    if (layout.pixelsAt > fileSize) return BmpRefusal::PixelsPastEnd;
    const uint64_t available = fileSize - layout.pixelsAt;
    if (IsRunLength(picture.compression)) {
        if (picture.imageSize > available) return BmpRefusal::StreamPastEnd;
        if (head.size() != fileSize) return BmpRefusal::StreamNotWhole;
        const uint64_t streamBytes = picture.imageSize != 0 ? picture.imageSize : available;
        const BmpRefusal refusal =
            RunLengthRefusal(file.Sub(layout.pixelsAt, streamBytes), picture);
        if (refusal != BmpRefusal::None) return refusal;
        return layout;
    }
    const uint64_t rowBytes =
        (static_cast<uint64_t>(picture.width) * picture.bitCount + 31) / 32 * 4;
    if (rowBytes * static_cast<uint64_t>(picture.height) > available) {
        return BmpRefusal::RowsPastEnd;
    }
    return layout;
}
