// Textures made from bitmap resources and from the picture files of the media folder.
#pragma once
#include <windows.h>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include "textures/picture_decoder.h"

constexpr int ALPHA_OPAQUE = 0;
constexpr int ALPHA_COLOUR_KEY = 1;
constexpr int ALPHA_FROM_RED = 2;
// A picture or movie file made into a texture: the texture, the picture's own upright size
// and the file's name without its folder.
struct LoadedPicture {
    uint32_t texture = 0;
    PictureSize size{};
    std::wstring name;
};

struct Rgb {
    uint8_t red, green, blue;
    bool operator==(const Rgb&) const = default;
};

// The channels of a source pixel rearranged by a colour scheme (unknown schemes keep them).
Rgb ApplyColourScheme(Rgb source, int scheme);
// Alpha of a pixel by an alpha rule; the colour bytes may become white (ALPHA_FROM_RED).
uint8_t PixelAlpha(Rgb& colour, Rgb key, int alphaMode);

// A new texture, bound, with linear filters, from width x height pixels of `format` (GL_RGBA
// or GL_RGB bytes, rows 4-byte aligned); clamped at its edges or repeating; with mipmaps where
// asked and the platform can make them.
uint32_t UploadTexture(int width, int height, unsigned int format, const void* pixels, bool clamp,
                       bool mipmaps = false);

PictureSize LoadResourceTexture(uint16_t resourceId, int slot, HMODULE module, int alphaMode,
                                bool buildMipmaps);
void LoadSchemeTexture(uint16_t resourceId, int slot, HMODULE module, int width, int height,
                       int alphaMode, bool buildMipmaps, int scheme);
// One texture per cell of a strip of cells side by side, into `names`.
void LoadGlyphTextures(uint16_t resourceId, HMODULE module, int cellHeight, int cellWidth,
                       std::span<uint32_t> names, int alphaMode);

// The one way into a picture file of any kind the show takes: the file goes to the decoding
// thread; a load still pending is forgotten. False, with nothing started, when there can be no
// decoding thread.
bool StartPictureFile(const std::wstring& path);
// For the picture StartPictureFile took: Pending while it decodes; then, once, Loaded with
// `picture` filled, or Failed. Idle when nothing is pending.
PictureDecode FinishPictureFile(LoadedPicture& picture);
// Both in one, waiting for the decoding thread.
std::optional<LoadedPicture> LoadPictureFile(const std::wstring& path);
void ReleaseSlotTextures();
