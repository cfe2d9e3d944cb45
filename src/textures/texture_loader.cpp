#include "textures/texture_loader.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <optional>
#include <vector>
#include "host/gdi_handles.h"
#include "render/scene.h"
#include "settings/settings.h"
#include "show/catalogue.h"
#include "show/director.h"
#include "text/overlay.h"
#include "textures/bmp_check.h"
#include "textures/media_scan.h"
#include "textures/wic_picture.h"

namespace {

constexpr size_t CAPTION_NAME_LIMIT = 254;

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

// The header of a 32-bit picture, top row first, 4 bytes a pixel (blue, green, red, unused).
BITMAPINFO TopDownBgra(int width, int height) {
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header.bmiHeader.biWidth = width;
    header.bmiHeader.biHeight = -height;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    return header;
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

struct CloseFile {
    void operator()(HANDLE file) const { CloseHandle(file); }
};
using FileHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, CloseFile>;

struct FreePages {
    void operator()(uint8_t* pages) const { VirtualFree(pages, 0, MEM_RELEASE); }
};

struct FileBytes {
    std::unique_ptr<uint8_t, FreePages> data;
    size_t size = 0;
};

// The whole file in pages of its own, as a mapped file would be (a read past its end faults
// rather than reading other data); nothing when it cannot be read or is larger than `limit`.
FileBytes ReadWholeFile(const char* fileName, uint64_t limit) {
    const FileHandle file(CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (file.get() == INVALID_HANDLE_VALUE || !GetFileSizeEx(file.get(), &size) ||
        size.QuadPart < 0 || static_cast<uint64_t>(size.QuadPart) > limit) {
        return {};
    }
    FileBytes bytes;
    bytes.size = static_cast<size_t>(size.QuadPart);
    bytes.data.reset(static_cast<uint8_t*>(VirtualAlloc(nullptr, std::max<size_t>(bytes.size, 1),
                                                        MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)));
    if (bytes.data == nullptr) return {};
    for (size_t done = 0; done < bytes.size;) {
        DWORD read = 0;
        const auto want = static_cast<DWORD>(std::min<size_t>(bytes.size - done, 1 << 30));
        if (!ReadFile(file.get(), bytes.data.get() + done, want, &read, nullptr) || read == 0) {
            return {};
        }
        done += read;
    }
    return bytes;
}

// The picture of a checked BMP file drawn by the platform, scaled and smoothed, into `rgba`
// (256 x 256, top row first, opaque); false when the platform cannot draw it.
bool DrawFilePicture(HDC dc, const uint8_t* file, const BmpLayout& layout, uint8_t* rgba) {
    const BITMAPINFO surfaceInfo = TopDownBgra(FILE_TEXTURE_SIDE, FILE_TEXTURE_SIDE);
    void* bits = nullptr;
    const BitmapHandle surface(
        CreateDIBSection(dc, &surfaceInfo, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (surface == nullptr) return false;
    const HGDIOBJ previous = SelectObject(dc, surface.get());
    // Pixels a run-length picture skips stay black.
    PatBlt(dc, 0, 0, FILE_TEXTURE_SIDE, FILE_TEXTURE_SIDE, BLACKNESS);
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    const int rows = StretchDIBits(dc, 0, 0, FILE_TEXTURE_SIDE, FILE_TEXTURE_SIDE, 0, 0,
                                   layout.width, layout.height, file + layout.pixelsAt,
                                   reinterpret_cast<const BITMAPINFO*>(file + BMP_HEADER_AT),
                                   DIB_RGB_COLORS, SRCCOPY);
    GdiFlush();
    SelectObject(dc, previous);
    if (rows <= 0) return false;
    const auto* bgra = static_cast<const uint8_t*>(bits);
    for (size_t i = 0; i < FILE_TEXTURE_SIDE * FILE_TEXTURE_SIDE * 4; i += 4) {
        rgba[i] = bgra[i + 2];
        rgba[i + 1] = bgra[i + 1];
        rgba[i + 2] = bgra[i];
        rgba[i + 3] = 255;
    }
    return true;
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
    const FileBytes file = ReadWholeFile(fileName, LARGEST_BMP_FILE);
    if (file.data == nullptr) return false;
    const std::optional<BmpLayout> layout = CheckBmp({file.data.get(), file.size});
    if (!layout) return false;
    *size = {static_cast<double>(layout->width), static_cast<double>(layout->height)};
    if (!DrawFilePicture(dc.get(), file.data.get(), *layout, buffer.get())) return false;
    glBindTexture(GL_TEXTURE_2D, *name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, FILE_TEXTURE_SIDE, FILE_TEXTURE_SIDE, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, buffer.get());
    return true;
}

namespace {

// The name of the picture on the decoding thread, for its caption.
std::string pendingName;

void TakeExternalPicture(const char* name, PictureSize size) {
    if (std::strlen(name) < CAPTION_NAME_LIMIT) {
        std::memcpy(pictureCatalogue[nextIndex].caption, name, std::strlen(name) + 1);
    }
    holoHalfWidth = static_cast<float>(size.width / size.height);
}

}  // namespace

bool LoadExternalPicture() {
    const char* folder = saverSettings.aviPath;
    if (CountPictureFiles(folder) <= 0) return false;
    char name[MEDIA_NAME_SIZE];
    const int kind = PickRandomPicture(folder, name);
    if (kind < 0) return false;
    SetCurrentDirectoryA(folder);
    if (kind != PICTURE_BMP) {
        pendingName = name;
        return StartWicPicture((std::string(folder) + name).c_str());
    }
    PictureSize size{};
    if (!LoadBmpFileTexture(&textureSlots[2], name, &size)) return false;
    TakeExternalPicture(name, size);
    return true;
}

PictureDecode FinishExternalPicture() {
    PictureSize size{};
    const PictureDecode state = FinishWicPicture(&textureSlots[2], &size);
    if (state == PictureDecode::Loaded) TakeExternalPicture(pendingName.c_str(), size);
    return state;
}

void ReleaseSlotTextures() {
    glDeleteTextures(TEXTURE_SLOT_COUNT, textureSlots.data());
    textureSlots.fill(0);
}

void ReleaseGlyphTextures() {
    glDeleteTextures(GLYPH_COUNT, glyphTextures.data());
    glyphTextures.fill(0);
}
