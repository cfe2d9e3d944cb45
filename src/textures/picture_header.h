// What a picture file's own header says, read with strictly bounded parsers before any decoder
// sees the file: its format, its stored size and the Exif orientation of JPEG and TIFF photos.
#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include "textures/untrusted_bytes.h"

// The picture kinds by their names' endings, in the order the show picks them: every BMP file
// of the media folder comes before every JPEG file, and so on. BMP files are drawn by the
// platform's own BMP reader, the others decoded by its imaging component.
constexpr std::array<std::wstring_view, 7> PICTURE_EXTENSIONS{L".bmp", L".jpg", L".jpeg", L".png",
                                                              L".gif", L".tif", L".tiff"};
constexpr int PICTURE_BMP = 0;

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

// The most pixels the show decodes: decoders hold the whole picture in memory.
constexpr uint64_t LARGEST_PICTURE_PIXELS = uint64_t{1} << 27;

enum class PictureRefusal {
    None,
    UnknownFormat,
    JpegCut,         // the bytes end before a frame header
    JpegSegmentCut,  // a segment shorter than its length field or longer than the bytes
    JpegNoFrame,     // a scan or the picture's end comes before any frame header
    JpegFrameCut,
    PngNoHeader,
    GifScreenCut,
    GifUnknownBlock,
    GifCut,  // the bytes end before the first image
    GifImageCut,
    GifNoColourTable,      // the first image has neither a global nor a local colour table
    TiffDirectoryOutside,  // a directory of the first page not wholly inside the bytes
    TiffValueOutside,
    TiffDirectoryRepeated,  // a directory the first page's directories have already named
    TiffTooDeep,
    TiffTooManyEntries,
    TiffPageOutside,  // a later page's directory not wholly inside the bytes
    NoSize,
    SideTooLong,
    TooManyPixels,
};
using PictureCheck = Checked<PictureRefusal, PictureHeader>;
const char* RefusalName(PictureRefusal refusal);

// The header of a picture the show can decode: a known format, its structure inside the bytes
// and its size given and within the limits.
PictureCheck ReadPictureHeader(std::span<const uint8_t> file);
// The orientation tag of a TIFF structure's first directory (a TIFF file, or the Exif block of
// a JPEG), read as far as its entries lie inside the bytes.
int TiffOrientation(std::span<const uint8_t> tiff);
// True when the header names a known format whose size is given and within the limits.
bool IsDecodable(const PictureHeader& header);

// Orientations 5 to 8 store the picture turned a quarter: its upright width is the stored height.
bool OrientationSwapsSides(int orientation);
// The stored square picture (side x side pixels, row 0 at the top) made upright into out.
void OrientSquare(std::span<const uint32_t> stored, std::span<uint32_t> out, int side,
                  int orientation);
