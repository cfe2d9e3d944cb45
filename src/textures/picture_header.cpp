#include "textures/picture_header.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// Bounds of the walks: a header that needs more steps than these is not read further.
constexpr int JPEG_SEGMENT_LIMIT = 256;
constexpr int TIFF_ENTRY_LIMIT = 1024;
constexpr int GIF_BLOCK_LIMIT = 4096;
constexpr int TIFF_PAGE_LIMIT = 1024;

constexpr uint16_t TAG_WIDTH = 256;
constexpr uint16_t TAG_HEIGHT = 257;
constexpr uint16_t TAG_ORIENTATION = 274;
constexpr uint16_t TYPE_SHORT = 3;
constexpr uint16_t TYPE_LONG = 4;

// Reads integers at offsets of a byte span; every read outside it fails.
class Bytes {
public:
    Bytes(std::span<const uint8_t> bytes, bool bigEndian) : bytes_(bytes), bigEndian_(bigEndian) {}
    size_t Size() const { return bytes_.size(); }
    bool Has(uint64_t offset, uint64_t count) const {
        return offset <= bytes_.size() && count <= bytes_.size() - offset;
    }
    bool U8(uint64_t offset, uint32_t* value) const { return Read(offset, 1, value); }
    bool U16(uint64_t offset, uint32_t* value) const { return Read(offset, 2, value); }
    bool U32(uint64_t offset, uint32_t* value) const { return Read(offset, 4, value); }
    bool Starts(uint64_t offset, std::span<const uint8_t> text) const {
        return Has(offset, text.size()) &&
               std::equal(text.begin(), text.end(), bytes_.begin() + offset);
    }

private:
    bool Read(uint64_t offset, int count, uint32_t* value) const {
        if (!Has(offset, count)) return false;
        *value = 0;
        for (int i = 0; i < count; ++i) {
            const uint32_t byte = bytes_[offset + (bigEndian_ ? i : count - 1 - i)];
            *value = *value << 8 | byte;
        }
        return true;
    }
    std::span<const uint8_t> bytes_;
    bool bigEndian_;
};

template <size_t N>
constexpr std::span<const uint8_t> Text(const char (&text)[N]) {
    return {reinterpret_cast<const uint8_t*>(text), N - 1};
}

int ValidOrientation(uint32_t value) {
    return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
}

// Bytes per value of the TIFF field types 1 to 13; 0 for types no reader knows.
constexpr std::array<uint8_t, 14> TIFF_TYPE_SIZES{0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8, 4};
// Tags whose one value is the offset of another directory, which metadata readers follow.
constexpr std::array<uint32_t, 4> DIRECTORY_TAGS{330, 34665, 34853, 40965};
constexpr int DIRECTORY_DEPTH_LIMIT = 3;

// True when the directory at `at`, every value it keeps outside itself, and the directories
// it points to lie wholly inside the bytes: metadata readers trust those offsets.
bool DirectoryInside(const Bytes& bytes, uint64_t at, int depth) {
    uint32_t entries = 0;
    if (depth > DIRECTORY_DEPTH_LIMIT || at < 8 || !bytes.U16(at, &entries) ||
        entries > TIFF_ENTRY_LIMIT || !bytes.Has(at + 2, uint64_t{12} * entries + 4)) {
        return false;
    }
    for (uint32_t i = 0; i < entries; ++i) {
        const uint64_t entry = at + 2 + uint64_t{12} * i;
        uint32_t tag = 0, type = 0, count = 0, value = 0;
        bytes.U16(entry, &tag);
        bytes.U16(entry + 2, &type);
        bytes.U32(entry + 4, &count);
        bytes.U32(entry + 8, &value);
        const uint64_t size =
            uint64_t{type < TIFF_TYPE_SIZES.size() ? TIFF_TYPE_SIZES[type] : 0u} * count;
        if (size > 4 && !bytes.Has(value, size)) return false;
        const bool pointer = count == 1 && (type == TYPE_LONG || type == 13);
        if (pointer &&
            std::find(DIRECTORY_TAGS.begin(), DIRECTORY_TAGS.end(), tag) != DIRECTORY_TAGS.end() &&
            !DirectoryInside(bytes, value, depth + 1)) {
            return false;
        }
    }
    return true;
}

// Every directory of the chain from `at` (one per page) inside the bytes, up to its end.
bool ChainInside(const Bytes& bytes, uint32_t at) {
    for (int page = 0; page < TIFF_PAGE_LIMIT; ++page) {
        uint32_t entries = 0, next = 0;
        if (!DirectoryInside(bytes, at, 0)) return false;
        bytes.U16(at, &entries);
        bytes.U32(at + 2 + uint64_t{12} * entries, &next);
        if (next == 0) return true;
        at = next;
    }
    return false;
}

// The first directory of a TIFF structure: its size and orientation tags. The size is left 0
// when the directory is not wholly inside the bytes.
PictureHeader ReadTiff(std::span<const uint8_t> tiff) {
    PictureHeader header;
    const bool bigEndian = Bytes(tiff, false).Starts(0, Text("MM\0*"));
    if (!bigEndian && !Bytes(tiff, false).Starts(0, Text("II*\0"))) return header;
    header.format = PictureFormat::Tiff;
    const Bytes bytes(tiff, bigEndian);
    uint32_t directory = 0, entries = 0;
    if (!bytes.U32(4, &directory) || directory < 8 || !bytes.U16(directory, &entries)) {
        return header;
    }
    entries = std::min<uint32_t>(entries, TIFF_ENTRY_LIMIT);
    for (uint32_t i = 0; i < entries; ++i) {
        const uint64_t entry = directory + 2 + uint64_t{12} * i;
        uint32_t tag = 0, type = 0, count = 0, value = 0;
        if (!bytes.U16(entry, &tag) || !bytes.U16(entry + 2, &type) ||
            !bytes.U32(entry + 4, &count)) {
            break;
        }
        if (count != 1) continue;
        // A one-value SHORT sits in the first two bytes of the value field.
        if (type == TYPE_SHORT) {
            if (!bytes.U16(entry + 8, &value)) break;
        } else if (type == TYPE_LONG) {
            if (!bytes.U32(entry + 8, &value)) break;
        } else {
            continue;
        }
        if (tag == TAG_WIDTH) header.width = value;
        if (tag == TAG_HEIGHT) header.height = value;
        if (tag == TAG_ORIENTATION && type == TYPE_SHORT) {
            header.orientation = ValidOrientation(value);
        }
    }
    if (!ChainInside(bytes, directory)) header.width = header.height = 0;
    return header;
}

bool IsStartOfFrame(uint32_t marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Segments from the start of the file to the first frame header: the first Exif block gives
// the orientation, the frame header the size.
PictureHeader ReadJpeg(std::span<const uint8_t> file) {
    PictureHeader header;
    header.format = PictureFormat::Jpeg;
    const Bytes bytes(file, true);
    uint64_t at = 2;
    bool exifSeen = false;
    for (int segment = 0; segment < JPEG_SEGMENT_LIMIT; ++segment) {
        uint32_t prefix = 0, marker = 0, length = 0;
        if (!bytes.U8(at, &prefix) || prefix != 0xFF || !bytes.U8(at + 1, &marker)) break;
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // no length
            at += 2;
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA) break;  // end of image, start of scan
        if (!bytes.U16(at + 2, &length) || length < 2 || !bytes.Has(at + 2, length)) break;
        const uint64_t payload = at + 4;
        const uint64_t payloadSize = length - 2;
        if (marker == 0xE1 && !exifSeen && payloadSize >= 6 &&
            bytes.Starts(payload, Text("Exif\0\0"))) {
            exifSeen = true;
            header.orientation = TiffOrientation(file.subspan(payload + 6, payloadSize - 6));
        }
        if (IsStartOfFrame(marker)) {
            uint32_t height = 0, width = 0;
            if (payloadSize >= 5 && bytes.U16(payload + 1, &height) &&
                bytes.U16(payload + 3, &width)) {
                header.width = width;
                header.height = height;
            }
            break;
        }
        at += 2 + length;
    }
    return header;
}

PictureHeader ReadPng(std::span<const uint8_t> file) {
    PictureHeader header;
    header.format = PictureFormat::Png;
    const Bytes bytes(file, true);
    uint32_t length = 0;
    if (bytes.U32(8, &length) && length == 13 && bytes.Starts(12, Text("IHDR"))) {
        bytes.U32(16, &header.width);
        bytes.U32(20, &header.height);
    }
    return header;
}

// The logical screen, then blocks up to the first image, whose extent widens the size.
PictureHeader ReadGif(std::span<const uint8_t> file) {
    PictureHeader header;
    header.format = PictureFormat::Gif;
    const Bytes bytes(file, false);
    uint32_t screenWidth = 0, screenHeight = 0, flags = 0;
    if (!bytes.U16(6, &screenWidth) || !bytes.U16(8, &screenHeight) || !bytes.U8(10, &flags)) {
        return header;
    }
    uint64_t at = 13;
    if ((flags & 0x80) != 0) at += 3u << ((flags & 7) + 1);
    for (int block = 0; block < GIF_BLOCK_LIMIT; ++block) {
        uint32_t kind = 0;
        if (!bytes.U8(at, &kind)) break;
        if (kind == 0x2C) {
            uint32_t left = 0, top = 0, width = 0, height = 0;
            if (bytes.U16(at + 1, &left) && bytes.U16(at + 3, &top) && bytes.U16(at + 5, &width) &&
                bytes.U16(at + 7, &height) && width > 0 && height > 0) {
                header.width = std::max(screenWidth, left + width);
                header.height = std::max(screenHeight, top + height);
            }
            break;
        }
        if (kind != 0x21) break;
        // An extension: its label, then sub-blocks each led by its size, up to an empty one.
        at += 2;
        uint32_t size = 0;
        while (++block < GIF_BLOCK_LIMIT && bytes.U8(at, &size) && size != 0) at += 1 + size;
        ++at;
    }
    return header;
}

}  // namespace

int TiffOrientation(std::span<const uint8_t> tiff) {
    return ReadTiff(tiff).orientation;
}

PictureHeader ReadPictureHeader(std::span<const uint8_t> file) {
    const Bytes bytes(file, true);
    if (bytes.Starts(0, Text("\xFF\xD8\xFF"))) return ReadJpeg(file);
    if (bytes.Starts(0, Text("\x89PNG\r\n\x1A\n"))) return ReadPng(file);
    if (bytes.Starts(0, Text("GIF87a")) || bytes.Starts(0, Text("GIF89a"))) return ReadGif(file);
    return ReadTiff(file);
}

bool IsDecodable(const PictureHeader& header) {
    return header.format != PictureFormat::Unknown && header.width > 0 && header.height > 0 &&
           header.width <= LARGEST_PICTURE_SIDE && header.height <= LARGEST_PICTURE_SIDE &&
           uint64_t{header.width} * header.height <= LARGEST_PICTURE_PIXELS;
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
