// Textures made from bitmap resources and BMP files.
#pragma once
#include <windows.h>
#include <cstdint>

constexpr int ALPHA_OPAQUE = 0;
constexpr int ALPHA_COLOUR_KEY = 1;
constexpr int ALPHA_FROM_RED = 2;
// Every picture file becomes a texture of this side, whatever its own size.
constexpr int FILE_TEXTURE_SIDE = 256;

struct PictureSize {
    double width;
    double height;
};

// A picture handed to the decoding thread: nothing asked, still decoding, or done either way.
enum class PictureDecode { Idle, Pending, Loaded, Failed };

struct Rgb {
    uint8_t red, green, blue;
    bool operator==(const Rgb&) const = default;
};

// The channels of a source pixel rearranged by a colour scheme (unknown schemes keep them).
Rgb ApplyColourScheme(Rgb source, int scheme);
// A COLORREF-style pixel (red in the low byte) as bytes.
Rgb PixelBytes(COLORREF pixel);
// Alpha of a pixel by an alpha rule; the colour bytes may become white (ALPHA_FROM_RED).
uint8_t PixelAlpha(Rgb& colour, Rgb key, int alphaMode);

PictureSize LoadResourceTexture(uint16_t resourceId, int slot, HMODULE module, int alphaMode,
                                bool buildMipmaps);
void LoadSchemeTexture(uint16_t resourceId, int slot, HMODULE module, int width, int height,
                       int alphaMode, bool buildMipmaps, int scheme);
void LoadGlyphTextures(uint16_t resourceId, HMODULE module, int cellHeight, int cellWidth,
                       int count, int alphaMode);
bool LoadBmpFileTexture(uint32_t* name, const char* fileName, PictureSize* size);
// Loads a BMP file at once; hands a picture of another kind to the decoding thread, which
// FinishExternalPicture then completes.
bool LoadExternalPicture();
// For the picture LoadExternalPicture handed on: Pending while it decodes; then, once, Loaded
// into slot 2 with its caption and holoHalfWidth as for a BMP file, or Failed. Idle when
// nothing is pending.
PictureDecode FinishExternalPicture();
void ReleaseSlotTextures();
void ReleaseGlyphTextures();
