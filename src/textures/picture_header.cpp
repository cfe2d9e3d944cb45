#include "textures/picture_header.h"

#include <algorithm>
#include <array>
#include <optional>
#include <set>
#include <string_view>

using namespace std::string_view_literals;

namespace {

constexpr std::array PICTURE_REFUSAL_NAMES{"None",
                                           "UnknownFormat",
                                           "JpegCut",
                                           "JpegSegmentCut",
                                           "JpegNoFrame",
                                           "JpegFrameCut",
                                           "PngNoHeader",
                                           "GifScreenCut",
                                           "GifUnknownBlock",
                                           "GifCut",
                                           "GifImageCut",
                                           "GifNoColourTable",
                                           "TiffDirectoryOutside",
                                           "TiffValueOutside",
                                           "TiffDirectoryRepeated",
                                           "TiffTooDeep",
                                           "TiffTooManyEntries",
                                           "TiffPageOutside",
                                           "NoSize",
                                           "SideTooLong",
                                           "TooManyPixels"};
static_assert(PICTURE_REFUSAL_NAMES.size() ==
              static_cast<size_t>(PictureRefusal::TooManyPixels) + 1);

// Bounds of the TIFF walks: entries read of the first directory for its size and orientation;
// directories and their entries together checked per file; pages followed.
constexpr uint32_t TIFF_ENTRY_LIMIT = 1024;
constexpr int TIFF_WALK_BUDGET = 4096;
constexpr int TIFF_PAGE_LIMIT = 1024;

constexpr uint16_t TAG_WIDTH = 256;
constexpr uint16_t TAG_HEIGHT = 257;
constexpr uint16_t TAG_ORIENTATION = 274;
constexpr uint16_t TYPE_SHORT = 3;
constexpr uint16_t TYPE_LONG = 4;
constexpr uint16_t TYPE_IFD = 13;

int ValidOrientation(uint32_t value) {
    return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
}

PictureRefusal SizeRefusal(const PictureHeader& header) {
    if (header.width == 0 || header.height == 0) return PictureRefusal::NoSize;
    if (header.width > LARGEST_PICTURE_SIDE || header.height > LARGEST_PICTURE_SIDE) {
        return PictureRefusal::SideTooLong;
    }
    return uint64_t{header.width} * header.height > LARGEST_PICTURE_PIXELS
               ? PictureRefusal::TooManyPixels
               : PictureRefusal::None;
}

PictureCheck SizeChecked(const PictureHeader& header) {
    const PictureRefusal refusal = SizeRefusal(header);
    if (refusal != PictureRefusal::None) return refusal;
    return header;
}

// Bytes per value of the TIFF field types 1 to 13; 0 for types no reader knows.
constexpr std::array<uint8_t, 14> TIFF_TYPE_SIZES{0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8, 4};
// Tags whose one value is the offset of another directory, which metadata readers follow.
constexpr std::array<uint32_t, 4> DIRECTORY_TAGS{330, 34665, 34853, 40965};
constexpr int DIRECTORY_DEPTH_LIMIT = 3;

// The first page's directories, each checked once: metadata readers trust their offsets and
// follow every directory they name, so one named twice is refused, and the work stays within
// TIFF_WALK_BUDGET whatever the file holds.
struct TiffWalk {
    UntrustedBytes bytes;
    std::set<uint64_t> seen{};
    int budget = TIFF_WALK_BUDGET;
};

// The directory at `at`, every value it keeps outside itself, and the directories it names,
// wholly inside the bytes.
PictureRefusal DirectoryRefusal(TiffWalk& walk, uint64_t at, int depth) {
    if (depth > DIRECTORY_DEPTH_LIMIT) return PictureRefusal::TiffTooDeep;
    if (!walk.seen.insert(at).second) return PictureRefusal::TiffDirectoryRepeated;
    const UntrustedBytes& bytes = walk.bytes;
    const uint32_t entries = bytes.Has(at, 2) ? bytes.U16(at) : 0;
    if (at < 8 || !bytes.Has(at, 2 + uint64_t{12} * entries + 4)) {
        return PictureRefusal::TiffDirectoryOutside;
    }
    walk.budget -= 1 + static_cast<int>(entries);
    if (walk.budget < 0) return PictureRefusal::TiffTooManyEntries;
    for (uint32_t i = 0; i < entries; ++i) {
        const uint64_t entry = at + 2 + uint64_t{12} * i;
        const uint32_t tag = bytes.U16(entry);
        const uint32_t type = bytes.U16(entry + 2);
        const uint32_t count = bytes.U32(entry + 4);
        const uint32_t value = bytes.U32(entry + 8);
        const uint64_t size =
            uint64_t{type < TIFF_TYPE_SIZES.size() ? TIFF_TYPE_SIZES[type] : 0u} * count;
        if (size > 4 && !bytes.Has(value, size)) return PictureRefusal::TiffValueOutside;
        const bool pointer = count == 1 && (type == TYPE_LONG || type == TYPE_IFD);
        if (pointer &&
            std::find(DIRECTORY_TAGS.begin(), DIRECTORY_TAGS.end(), tag) != DIRECTORY_TAGS.end()) {
            const PictureRefusal refusal = DirectoryRefusal(walk, value, depth + 1);
            if (refusal != PictureRefusal::None) return refusal;
        }
    }
    return PictureRefusal::None;
}

// The offset of the next page's directory, named after the entries of the one at `at`.
uint64_t NextPage(const UntrustedBytes& bytes, uint64_t at) {
    return bytes.U32(at + 2 + uint64_t{12} * bytes.U16(at));
}

// The first page is checked whole. Only the first page is shown, so of the later ones each
// directory must only lie inside the bytes; the chain ends at a directory already seen (a
// chain that loops back) or after TIFF_PAGE_LIMIT pages.
PictureRefusal TiffRefusal(const UntrustedBytes& bytes) {
    TiffWalk walk{bytes};
    const uint64_t first = bytes.U32(4);
    const PictureRefusal refusal = DirectoryRefusal(walk, first, 0);
    if (refusal != PictureRefusal::None) return refusal;
    uint64_t page = NextPage(bytes, first);
    for (int pages = 1; page != 0 && pages < TIFF_PAGE_LIMIT; ++pages) {
        if (!walk.seen.insert(page).second) break;
        if (page < 8 || !bytes.Has(page, 2) ||
            !bytes.Has(page, 2 + uint64_t{12} * bytes.U16(page) + 4)) {
            return PictureRefusal::TiffPageOutside;
        }
        page = NextPage(bytes, page);
    }
    return PictureRefusal::None;
}

// The size and orientation tags of a TIFF structure's first directory, from the entries that
// lie inside the bytes.
PictureHeader FirstDirectory(const UntrustedBytes& tiff) {
    PictureHeader header{PictureFormat::Tiff};
    const uint32_t directory = tiff.U32(4);
    const uint32_t entries = std::min(tiff.U16(directory), TIFF_ENTRY_LIMIT);
    if (directory < 8 || tiff.Failed()) return header;
    for (uint32_t i = 0; i < entries; ++i) {
        const uint64_t entry = directory + 2 + uint64_t{12} * i;
        const uint32_t tag = tiff.U16(entry);
        const uint32_t type = tiff.U16(entry + 2);
        const uint32_t count = tiff.U32(entry + 4);
        // A one-value SHORT sits in the first two bytes of the value field.
        const uint32_t value = type == TYPE_SHORT ? tiff.U16(entry + 8) : tiff.U32(entry + 8);
        if (tiff.Failed()) break;
        if (count != 1 || (type != TYPE_SHORT && type != TYPE_LONG)) continue;
        if (tag == TAG_WIDTH) header.width = value;
        if (tag == TAG_HEIGHT) header.height = value;
        if (tag == TAG_ORIENTATION && type == TYPE_SHORT) {
            header.orientation = ValidOrientation(value);
        }
    }
    return header;
}

// The byte order a TIFF structure's first bytes name; nothing when they name none.
std::optional<ByteOrder> TiffOrder(std::span<const uint8_t> bytes) {
    const UntrustedBytes file(bytes);
    if (file.Starts(0, "MM\0*"sv)) return ByteOrder::Big;
    if (file.Starts(0, "II*\0"sv)) return ByteOrder::Little;
    return {};
}

PictureCheck ReadTiff(std::span<const uint8_t> file) {
    const std::optional<ByteOrder> order = TiffOrder(file);
    if (!order) return PictureRefusal::UnknownFormat;
    const PictureRefusal refusal = TiffRefusal(UntrustedBytes(file, *order));
    if (refusal != PictureRefusal::None) return refusal;
    return SizeChecked(FirstDirectory(UntrustedBytes(file, *order)));
}

bool IsStartOfFrame(uint32_t marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Segments from the start of the file to the first frame header: the first Exif block gives
// the orientation, the frame header the size. Each step moves forward, so the walk is bounded
// by the file's size.
PictureCheck ReadJpeg(const UntrustedBytes& bytes) {
    PictureHeader header{PictureFormat::Jpeg};
    uint64_t at = 2;
    bool exifSeen = false;
    for (;;) {
        // Decoders skip stray bytes before a marker, and fill bytes (0xFF) before its code.
        while (bytes.Has(at, 1) && bytes.U8(at) != 0xFF) ++at;
        while (bytes.Has(at + 1, 1) && bytes.U8(at + 1) == 0xFF) ++at;
        if (!bytes.Has(at, 2)) return PictureRefusal::JpegCut;
        const uint32_t marker = bytes.U8(at + 1);
        // A stuffed zero is no marker; the others here have no length.
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += 2;
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA) return PictureRefusal::JpegNoFrame;
        const uint32_t length = bytes.Has(at + 2, 2) ? bytes.U16(at + 2) : 0;
        if (length < 2 || !bytes.Has(at + 2, length)) return PictureRefusal::JpegSegmentCut;
        const uint64_t payload = at + 4;
        const uint64_t payloadSize = length - 2;
        if (marker == 0xE1 && !exifSeen && payloadSize >= 6 &&
            bytes.Starts(payload, "Exif\0\0"sv)) {
            exifSeen = true;
            header.orientation = TiffOrientation(bytes.Sub(payload + 6, payloadSize - 6).Span());
        }
        if (IsStartOfFrame(marker)) {
            if (payloadSize < 5) return PictureRefusal::JpegFrameCut;
            header.height = bytes.U16(payload + 1);
            header.width = bytes.U16(payload + 3);
            return SizeChecked(header);
        }
        at += 2 + length;
    }
}

PictureCheck ReadPng(const UntrustedBytes& bytes) {
    PictureHeader header{PictureFormat::Png};
    if (bytes.U32(8) != 13 || !bytes.Starts(12, "IHDR"sv)) return PictureRefusal::PngNoHeader;
    header.width = bytes.U32(16);
    header.height = bytes.U32(20);
    if (bytes.Failed()) return PictureRefusal::PngNoHeader;
    return SizeChecked(header);
}

// The logical screen, then blocks up to the first image, whose extent widens the size. Each
// block moves forward, so the walk is bounded by the file's size.
PictureCheck ReadGif(const UntrustedBytes& bytes) {
    PictureHeader header{PictureFormat::Gif};
    const uint32_t screenWidth = bytes.U16(6);
    const uint32_t screenHeight = bytes.U16(8);
    const uint32_t flags = bytes.U8(10);
    if (bytes.Failed()) return PictureRefusal::GifScreenCut;
    const bool globalTable = (flags & 0x80) != 0;
    uint64_t at = 13;
    if (globalTable) at += 3u << ((flags & 7) + 1);
    for (;;) {
        const uint32_t kind = bytes.U8(at);
        if (bytes.Failed()) return PictureRefusal::GifCut;
        if (kind == 0x2C) {
            const uint32_t left = bytes.U16(at + 1);
            const uint32_t top = bytes.U16(at + 3);
            const uint32_t width = bytes.U16(at + 5);
            const uint32_t height = bytes.U16(at + 7);
            const uint32_t imageFlags = bytes.U8(at + 9);
            if (bytes.Failed()) return PictureRefusal::GifImageCut;
            // The platform's decoder reads through a missing palette.
            if (!globalTable && (imageFlags & 0x80) == 0) return PictureRefusal::GifNoColourTable;
            if (width > 0 && height > 0) {
                header.width = std::max(screenWidth, left + width);
                header.height = std::max(screenHeight, top + height);
            }
            return SizeChecked(header);
        }
        if (kind != 0x21) return PictureRefusal::GifUnknownBlock;
        // An extension: its label, then sub-blocks each led by its size, up to an empty one.
        at += 2;
        for (uint32_t size = 0; (size = bytes.U8(at)) != 0;) at += 1 + size;
        ++at;
    }
}

}  // namespace

const char* RefusalName(PictureRefusal refusal) {
    return PICTURE_REFUSAL_NAMES[static_cast<size_t>(refusal)];
}

int TiffOrientation(std::span<const uint8_t> tiff) {
    const std::optional<ByteOrder> order = TiffOrder(tiff);
    return order ? FirstDirectory(UntrustedBytes(tiff, *order)).orientation : 1;
}

PictureCheck ReadPictureHeader(std::span<const uint8_t> file) {
    const UntrustedBytes bytes(file, ByteOrder::Big);
    if (bytes.Starts(0, "\xFF\xD8\xFF"sv)) return ReadJpeg(bytes);
    if (bytes.Starts(0, "\x89PNG\r\n\x1A\n"sv)) return ReadPng(bytes);
    if (bytes.Starts(0, "GIF87a"sv) || bytes.Starts(0, "GIF89a"sv)) {
        return ReadGif(UntrustedBytes(file, ByteOrder::Little));
    }
    return ReadTiff(file);
}

bool IsDecodable(const PictureHeader& header) {
    return header.format != PictureFormat::Unknown && SizeRefusal(header) == PictureRefusal::None;
}

bool OrientationSwapsSides(int orientation) {
    return orientation >= 5 && orientation <= 8;
}

void OrientSquare(std::span<const uint32_t> stored, std::span<uint32_t> out, int side,
                  int orientation) {
    const int last = side - 1;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            // The stored pixel that the upright picture shows at (x, y).
            int sx = x, sy = y;
            switch (orientation) {
                case 2:
                    sx = last - x;
                    break;
                case 3:
                    sx = last - x;
                    sy = last - y;
                    break;
                case 4:
                    sy = last - y;
                    break;
                case 5:
                    sx = y;
                    sy = x;
                    break;
                case 6:
                    sx = y;
                    sy = last - x;
                    break;
                case 7:
                    sx = last - y;
                    sy = last - x;
                    break;
                case 8:
                    sx = last - y;
                    sy = x;
                    break;
                default:
                    break;
            }
            out[static_cast<size_t>(y) * side + x] = stored[static_cast<size_t>(sy) * side + sx];
        }
    }
}
