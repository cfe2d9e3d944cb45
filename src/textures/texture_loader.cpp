#include "textures/texture_loader.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>
#include "host/gdi_handles.h"
#include "render/scene.h"
#include "settings/settings.h"
#include "show/catalogue.h"
#include "show/director.h"
#include "text/overlay.h"
#include "textures/media_scan.h"

namespace {

constexpr int FILE_TEXTURE_SIDE = 256;
constexpr size_t CAPTION_NAME_LIMIT = 254;
constexpr LONG LARGEST_FILE_SIDE = 16384;

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
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header.bmiHeader.biWidth = sourceWidth;
    header.bmiHeader.biHeight = -sourceHeight;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
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

void SetResourceTextureParameters() {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

void UploadRgba(const uint8_t* buffer, int width, int height, bool buildMipmaps) {
    if (buildMipmaps && gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, width, height, GL_RGBA,
                                          GL_UNSIGNED_BYTE, buffer) == 0) {
        return;
    }
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, buffer);
}

// Converts, then makes a new texture in `name` with the resource texture parameters.
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
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glGenTextures(1, name);
    glBindTexture(GL_TEXTURE_2D, *name);
    SetResourceTextureParameters();
    UploadRgba(buffer, width, height, buildMipmaps);
}

BitmapHandle LoadBitmapResource(HMODULE module, uint16_t resourceId) {
    return BitmapHandle(LoadBitmapA(module, MAKEINTRESOURCEA(resourceId)));
}

// A cheap look at a BMP file's header: refuses files that are not bitmaps or whose header
// promises more pixels than any picture we show (the platform loader would try to map them).
bool LooksLikeShowableBmp(const char* fileName) {
    std::FILE* file = std::fopen(fileName, "rb");
    if (file == nullptr) return false;
    BITMAPFILEHEADER fileHeader{};
    BITMAPINFOHEADER infoHeader{};
    const bool complete = std::fread(&fileHeader, sizeof(fileHeader), 1, file) == 1 &&
                          std::fread(&infoHeader, sizeof(DWORD), 1, file) == 1;
    const bool core = complete && infoHeader.biSize == sizeof(BITMAPCOREHEADER);
    bool sane = false;
    if (complete && fileHeader.bfType == 0x4D42) {
        if (core) {
            sane = true;
        } else if (infoHeader.biSize >= sizeof(BITMAPINFOHEADER) &&
                   std::fread(reinterpret_cast<char*>(&infoHeader) + sizeof(DWORD),
                              sizeof(infoHeader) - sizeof(DWORD), 1, file) == 1) {
            const LONG height =
                infoHeader.biHeight < 0 ? -infoHeader.biHeight : infoHeader.biHeight;
            sane = infoHeader.biWidth > 0 && infoHeader.biWidth <= LARGEST_FILE_SIDE &&
                   height > 0 && height <= LARGEST_FILE_SIDE;
            if (sane && infoHeader.biCompression == BI_RGB) {
                // Uncompressed rows must all be in the file; a truncated file is refused.
                const uint64_t rowBytes =
                    (static_cast<uint64_t>(infoHeader.biWidth) * infoHeader.biBitCount + 31) / 32 *
                    4;
                std::fseek(file, 0, SEEK_END);
                const long fileSize = std::ftell(file);
                sane = fileSize >= 0 &&
                       fileHeader.bfOffBits + rowBytes * height <= static_cast<uint64_t>(fileSize);
            }
        }
    }
    std::fclose(file);
    return sane;
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

Rgb PixelBytes(COLORREF pixel) {
    return {GetRValue(pixel), GetGValue(pixel), GetBValue(pixel)};
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
                       int count, int alphaMode) {
    std::unique_ptr<uint8_t[]> buffer =
        AllocateTextureBuffer(static_cast<size_t>(cellWidth) * cellHeight * 4);
    if (buffer == nullptr) return;
    MemoryDC dc = ScreenCompatibleDC();
    BitmapHandle bitmap = LoadBitmapResource(module, resourceId);
    if (bitmap == nullptr) return;
    const int stripWidth = cellWidth * count;
    const std::vector<Rgb> strip = ReadPixels(dc.get(), bitmap.get(), stripWidth, cellHeight);
    const int cells = std::min(count, GLYPH_COUNT);
    std::vector<Rgb> cell(static_cast<size_t>(cellWidth) * cellHeight);
    for (int i = 0; i < cells; ++i) {
        for (int y = 0; y < cellHeight; ++y) {
            for (int x = 0; x < cellWidth; ++x) {
                cell[static_cast<size_t>(y) * cellWidth + x] =
                    strip[static_cast<size_t>(y) * stripWidth + i * cellWidth + x];
            }
        }
        ConvertAndUpload(cell, strip[0], buffer.get(), cellWidth, cellHeight, alphaMode, 0, true,
                         &glyphTextures[i]);
    }
}

bool LoadBmpFileTexture(uint32_t* name, const char* fileName, PictureSize* size) {
    constexpr size_t bytes = FILE_TEXTURE_SIDE * FILE_TEXTURE_SIDE * 4;
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[bytes]);
    if (buffer == nullptr) return false;
    MemoryDC dc = ScreenCompatibleDC();
    glGenTextures(1, name);
    std::FILE* file = std::fopen(fileName, "r");
    if (file == nullptr) return false;
    std::fclose(file);
    if (!LooksLikeShowableBmp(fileName)) return false;
    {
        BitmapHandle own(static_cast<HBITMAP>(
            LoadImageA(nullptr, fileName, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
        if (own == nullptr) return false;
        BITMAP info{};
        GetObjectA(own.get(), sizeof(info), &info);
        *size = {static_cast<double>(info.bmWidth), static_cast<double>(info.bmHeight)};
    }
    BitmapHandle scaled(static_cast<HBITMAP>(LoadImageA(
        nullptr, fileName, IMAGE_BITMAP, FILE_TEXTURE_SIDE, FILE_TEXTURE_SIDE, LR_LOADFROMFILE)));
    if (scaled == nullptr) return false;
    const std::vector<Rgb> pixels =
        ReadPixels(dc.get(), scaled.get(), FILE_TEXTURE_SIDE, FILE_TEXTURE_SIDE);
    for (size_t i = 0; i < pixels.size(); ++i) {
        buffer[i * 4] = pixels[i].red;
        buffer[i * 4 + 1] = pixels[i].green;
        buffer[i * 4 + 2] = pixels[i].blue;
        buffer[i * 4 + 3] = 255;
    }
    glBindTexture(GL_TEXTURE_2D, *name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, FILE_TEXTURE_SIDE, FILE_TEXTURE_SIDE, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, buffer.get());
    return true;
}

bool LoadExternalPicture() {
    const char* folder = saverSettings.aviPath;
    if (CountMediaFiles(folder, "*.bmp") <= 0) return false;
    char name[MEDIA_NAME_SIZE];
    if (!PickRandomMediaFile(folder, name, "*.bmp")) return false;
    SetCurrentDirectoryA(folder);
    PictureSize size{};
    if (!LoadBmpFileTexture(&textureSlots[2], name, &size)) return false;
    if (std::strlen(name) < CAPTION_NAME_LIMIT) {
        std::memcpy(pictureCatalogue[nextIndex].caption, name, std::strlen(name) + 1);
    }
    holoHalfWidth = static_cast<float>(size.width / size.height);
    return true;
}

void ReleaseSlotTextures() {
    glDeleteTextures(TEXTURE_SLOT_COUNT, textureSlots.data());
    textureSlots.fill(0);
}

void ReleaseGlyphTextures() {
    glDeleteTextures(GLYPH_COUNT, glyphTextures.data());
    glyphTextures.fill(0);
}
