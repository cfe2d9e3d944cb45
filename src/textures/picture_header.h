// What a picture file's own header says, read with strictly bounded parsers before any decoder
// sees the file: its format, its stored size and the Exif orientation of JPEG and TIFF photos.
#pragma once
#include <cstdint>
#include <span>

enum class PictureFormat { Unknown, Jpeg, Png, Gif, Tiff };

struct PictureHeader {
    PictureFormat format = PictureFormat::Unknown;
    // The stored size of the first picture (for a GIF, the larger of its screen and its first
    // image); 0 when the header does not say.
    uint32_t width = 0;
    uint32_t height = 0;
    // Exif orientation 1 to 8 (JPEG and TIFF); 1 when absent or out of range.
    int orientation = 1;
};

// The largest picture the show decodes: decoders hold the whole picture in memory.
constexpr uint32_t LARGEST_PICTURE_SIDE = 16384;
constexpr uint64_t LARGEST_PICTURE_PIXELS = uint64_t{1} << 27;

PictureHeader ReadPictureHeader(std::span<const uint8_t> file);
// The orientation tag of a TIFF structure (a TIFF file, or the Exif block of a JPEG).
int TiffOrientation(std::span<const uint8_t> tiff);
// True when the header names a known format whose size is given and within the limits above.
bool IsDecodable(const PictureHeader& header);

// Orientations 5 to 8 store the picture turned a quarter: its upright width is the stored height.
bool OrientationSwapsSides(int orientation);
// The stored square picture (side x side pixels, row 0 at the top) made upright into out.
void OrientSquare(std::span<const uint32_t> stored, std::span<uint32_t> out, int side,
                  int orientation);
