#include "textures/texture_loader.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>
#include "host/handles.h"
#include "render/gl_names.h"
#include "textures/bmp_picture.h"

namespace {

MemoryDC ScreenCompatibleDC() {
    return MemoryDC(CreateCompatibleDC(nullptr));
}

// A pixel buffer that reports its own allocation failure the way the scene build expects.
std::unique_ptr<uint8_t[]> AllocateTextureBuffer(size_t bytes) {
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[bytes]);
    if (buffer == nullptr) {
        MessageBoxA(nullptr, "Error alocating texture memory!!", "Error", MB_ICONSTOP);
        PostQuitMessage(0);
    }
    return buffer;
}

// The bitmap's pixels, top row first, as (red, green, blue); the same colours a pixel-by-pixel
// read through a device context gives, in one call. Pixels outside the bitmap read as white.
std::vector<Rgb> ReadPixels(HDC dc, HBITMAP bitmap, int width, int height) {
    BITMAP info{};
    GetObjectA(bitmap, sizeof(info), &info);
    const int sourceWidth = info.bmWidth;
    const int sourceHeight = info.bmHeight;
    std::vector<uint32_t> bgra(static_cast<size_t>(sourceWidth) * sourceHeight);
    BITMAPINFO header = TopDownBgra(sourceWidth, sourceHeight);
    GetDIBits(dc, bitmap, 0, sourceHeight, bgra.data(), &header, DIB_RGB_COLORS);
    std::vector<Rgb> pixels(static_cast<size_t>(width) * height, Rgb{255, 255, 255});
    for (int y = 0; y < std::min(height, sourceHeight); ++y) {
        for (int x = 0; x < std::min(width, sourceWidth); ++x) {
            const uint32_t p = bgra[static_cast<size_t>(y) * sourceWidth + x];
            pixels[static_cast<size_t>(y) * width + x] =
                Rgb{static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8),
                    static_cast<uint8_t>(p)};
        }
    }
    return pixels;
}

// Converts, then makes a new clamped texture in `name`.
void ConvertAndUpload(const std::vector<Rgb>& pixels, Rgb sourceKey, uint8_t* buffer, int width,
                      int height, int alphaMode, int scheme, bool buildMipmaps, uint32_t* name) {
    const Rgb key = ApplyColourScheme(sourceKey, scheme);
    for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) {
        Rgb colour = ApplyColourScheme(pixels[i], scheme);
        const uint8_t alpha = PixelAlpha(colour, key, alphaMode);
        buffer[i * 4] = colour.red;
        buffer[i * 4 + 1] = colour.green;
        buffer[i * 4 + 2] = colour.blue;
        buffer[i * 4 + 3] = alpha;
    }
    *name = UploadTexture(width, height, GL_RGBA, buffer, true, buildMipmaps);
}

BitmapHandle LoadBitmapResource(HMODULE module, uint16_t resourceId) {
    return BitmapHandle(LoadBitmapA(module, MAKEINTRESOURCEA(resourceId)));
}

}  // namespace

Rgb ApplyColourScheme(Rgb s, int scheme) {
    switch (scheme) {
        case 1:
            return {s.blue, s.green, s.red};
        case 2:
            return {s.red, s.blue, s.green};
        case 3:
            return {s.blue, s.red, s.blue};
        case 4:
            return {s.blue, s.blue, s.red};
        case 5:
            return {s.red, s.blue, s.blue};
        default:
            return s;
    }
}

uint8_t PixelAlpha(Rgb& colour, Rgb key, int alphaMode) {
    switch (alphaMode) {
        case ALPHA_COLOUR_KEY:
            return colour == key ? 0 : 255;
        case ALPHA_FROM_RED: {
            const uint8_t alpha = colour.red;
            colour = Rgb{255, 255, 255};
            return alpha;
        }
        default:
            return 255;
    }
}

PictureSize LoadResourceTexture(uint16_t resourceId, int slot, HMODULE module, int alphaMode,
                                bool buildMipmaps) {
    MemoryDC dc = ScreenCompatibleDC();
    BitmapHandle bitmap = LoadBitmapResource(module, resourceId);
    if (bitmap == nullptr) return {0.0, 0.0};
    BITMAP info{};
    GetObjectA(bitmap.get(), sizeof(info), &info);
    const int width = info.bmWidth;
    const int height = info.bmHeight;
    std::unique_ptr<uint8_t[]> buffer =
        AllocateTextureBuffer(static_cast<size_t>(width) * height * 4);
    if (buffer == nullptr) return {0.0, 0.0};
    const std::vector<Rgb> pixels = ReadPixels(dc.get(), bitmap.get(), width, height);
    ConvertAndUpload(pixels, pixels[0], buffer.get(), width, height, alphaMode, 0, buildMipmaps,
                     &textureSlots[slot]);
    return {static_cast<double>(width), static_cast<double>(height)};
}

void LoadSchemeTexture(uint16_t resourceId, int slot, HMODULE module, int width, int height,
                       int alphaMode, bool buildMipmaps, int scheme) {
    std::unique_ptr<uint8_t[]> buffer =
        AllocateTextureBuffer(static_cast<size_t>(width) * height * 4);
    if (buffer == nullptr) return;
    MemoryDC dc = ScreenCompatibleDC();
    BitmapHandle bitmap = LoadBitmapResource(module, resourceId);
    if (bitmap == nullptr) return;
    const std::vector<Rgb> pixels = ReadPixels(dc.get(), bitmap.get(), width, height);
    ConvertAndUpload(pixels, pixels[0], buffer.get(), width, height, alphaMode, scheme,
                     buildMipmaps, &textureSlots[slot]);
}

void LoadGlyphTextures(uint16_t resourceId, HMODULE module, int cellHeight, int cellWidth,
                       std::span<uint32_t> names, int alphaMode) {
    const int count = static_cast<int>(names.size());
    std::unique_ptr<uint8_t[]> buffer =
        AllocateTextureBuffer(static_cast<size_t>(cellWidth) * cellHeight * 4);
    if (buffer == nullptr) return;
    MemoryDC dc = ScreenCompatibleDC();
    BitmapHandle bitmap = LoadBitmapResource(module, resourceId);
    if (bitmap == nullptr) return;
    const int stripWidth = cellWidth * count;
    const std::vector<Rgb> strip = ReadPixels(dc.get(), bitmap.get(), stripWidth, cellHeight);
    std::vector<Rgb> cell(static_cast<size_t>(cellWidth) * cellHeight);
    for (int i = 0; i < count; ++i) {
        for (int y = 0; y < cellHeight; ++y) {
            for (int x = 0; x < cellWidth; ++x) {
                cell[static_cast<size_t>(y) * cellWidth + x] =
                    strip[static_cast<size_t>(y) * stripWidth + i * cellWidth + x];
            }
        }
        ConvertAndUpload(cell, strip[0], buffer.get(), cellWidth, cellHeight, alphaMode, 0, true,
                         &names[i]);
    }
}

namespace {

// The file name of the picture on the decoding thread, for its caption.
std::wstring pendingName;

}  // namespace

uint32_t UploadTexture(int width, int height, unsigned int format, const void* pixels, bool clamp,
                       bool mipmaps) {
    uint32_t name = 0;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    if (clamp) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    if (!mipmaps || gluBuild2DMipmaps(GL_TEXTURE_2D, static_cast<GLint>(format), width, height,
                                      format, GL_UNSIGNED_BYTE, pixels) != 0) {
        glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), width, height, 0, format,
                     GL_UNSIGNED_BYTE, pixels);
    }
    return name;
}

bool StartPictureFile(const std::wstring& path) {
    pendingName = path.substr(path.find_last_of(L"\\/") + 1);
    return StartPictureDecode(path);
}

PictureDecode FinishPictureFile(LoadedPicture& picture) {
    DecodedPicture decoded;
    const PictureDecode state = FinishPictureDecode(decoded);
    if (state != PictureDecode::Loaded) return state;
    picture.texture =
        UploadTexture(FILE_TEXTURE_SIDE, FILE_TEXTURE_SIDE, GL_RGBA, decoded.pixels.data(), false);
    picture.size = decoded.size;
    picture.name = pendingName;
    return state;
}

std::optional<LoadedPicture> LoadPictureFile(const std::wstring& path) {
    if (!StartPictureFile(path)) return std::nullopt;
    LoadedPicture picture;
    if (AwaitLoad([&] { return FinishPictureFile(picture); }) != PictureDecode::Loaded)
        return std::nullopt;
    return picture;
}

void ReleaseSlotTextures() {
    glDeleteTextures(TEXTURE_SLOT_COUNT, textureSlots.data());
    textureSlots.fill(0);
}
