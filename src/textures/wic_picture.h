// JPEG, PNG, GIF and TIFF files decoded through the platform's imaging component into a picture
// texture's pixels, on whatever thread calls (the decoding thread), with COM started there.
#pragma once
#include <wincodec.h>
#include <cstdint>
#include <string>
#include "textures/picture_decoder.h"

// The most bytes a picture may take decoded whole: a codec that cannot scale while it decodes
// holds the whole picture in memory (Wine's twice over, while it scales), so a larger one is
// shown only where the codec can scale. Keeps the decode under 200 MB.
constexpr uint64_t LARGEST_WHOLE_DECODE_BYTES = uint64_t{96} << 20;

// The file at `path` checked by its header, decoded, scaled and turned upright by its
// orientation into `rgba` (FILE_TEXTURE_SIDE square, top row first, opaque over black), with
// its own upright size; false when it is refused or cannot be decoded. Each pixel's bytes are
// red, green, blue, alpha in memory order.
bool DecodeWicFile(IWICImagingFactory* factory, const std::wstring& path, uint32_t* rgba,
                   PictureSize* size);
