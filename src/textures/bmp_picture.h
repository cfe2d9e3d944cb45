// BMP files drawn by the platform into a picture texture's pixels, on whatever thread calls.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include "textures/picture_decoder.h"

// The header of a 32-bit picture, top row first, 4 bytes a pixel (blue, green, red, unused).
BITMAPINFO TopDownBgra(int width, int height);
// The BMP file at `path` scaled into `rgba` (FILE_TEXTURE_SIDE square, top row first, opaque),
// with its own size; false when its headers do not hold or the platform cannot draw it. A large
// uncompressed picture is read two rows per texel row; any other whole, checked first.
bool DrawBmpFile(const std::wstring& path, uint8_t* rgba, PictureSize* size);
