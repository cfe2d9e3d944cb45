#include "textures/texture_loader.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
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
// Pictures of more pixels than this load row by row (the platform's load reads them whole).
constexpr int64_t SAMPLED_LOAD_PIXELS = 4 * FILE_TEXTURE_SIDE * FILE_TEXTURE_SIDE;
// Columns averaged into a texel at most, per row.
constexpr int64_t COLUMN_SAMPLES = 8;

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

BitmapHandle LoadBitmapResource(HMODULE module, uint16_t resourceId) {
    return BitmapHandle(LoadBitmapA(module, MAKEINTRESOURCEA(resourceId)));
}

// What the loader needs from a BMP file's headers.
struct BmpFacts {
    int width = 0;
    int height = 0;
    bool topDown = false;
    // Uncompressed rows at fixed places in the file: each can be read without the others.
    bool rowsAddressable = false;
    uint64_t pixelsAt = 0;
    uint64_t rowBytes = 0;
    int depth = 0;
    // 24 or 32 bits of blue, green and red a pixel, no colour table or masks.
    bool plainColour = false;
    // The info header with its colour masks and colour table, as the platform's drawing takes.
    std::vector<uint8_t> info;
};

struct CloseFile {
    void operator()(HANDLE file) const { CloseHandle(file); }
};
using FileHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, CloseFile>;

FileHandle OpenForReading(const char* fileName) {
    HANDLE file = CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return FileHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

uint64_t FileSize(HANDLE file) {
    LARGE_INTEGER size{};
    return GetFileSizeEx(file, &size) && size.QuadPart > 0 ? static_cast<uint64_t>(size.QuadPart)
                                                           : 0;
}

// A seek and a plain read: under Wine a read with its offset given costs far more.
bool ReadAt(HANDLE file, uint64_t offset, void* out, size_t bytes) {
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    DWORD read = 0;
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
           ReadFile(file, out, static_cast<DWORD>(bytes), &read, nullptr) && read == bytes;
}

// A cheap look at a BMP file's headers: nothing for files that are not bitmaps or whose header
// promises more pixels than any picture we show (the platform loader would try to map them).
std::optional<BmpFacts> ReadBmpFacts(HANDLE file) {
    BITMAPFILEHEADER fileHeader{};
    BITMAPINFOHEADER infoHeader{};
    if (!ReadAt(file, 0, &fileHeader, sizeof(fileHeader)) || fileHeader.bfType != 0x4D42 ||
        !ReadAt(file, sizeof(fileHeader), &infoHeader, sizeof(DWORD))) {
        return std::nullopt;
    }
    BmpFacts bmp;
    if (infoHeader.biSize == sizeof(BITMAPCOREHEADER)) {
        BITMAPCOREHEADER core{};
        if (!ReadAt(file, sizeof(fileHeader), &core, sizeof(core))) return std::nullopt;
        bmp.width = core.bcWidth;
        bmp.height = core.bcHeight;
        return bmp;
    }
    if (infoHeader.biSize < sizeof(BITMAPINFOHEADER) ||
        !ReadAt(file, sizeof(fileHeader), &infoHeader, sizeof(infoHeader))) {
        return std::nullopt;
    }
    const LONG height = infoHeader.biHeight < 0 ? -infoHeader.biHeight : infoHeader.biHeight;
    if (infoHeader.biWidth <= 0 || infoHeader.biWidth > LARGEST_FILE_SIDE || height <= 0 ||
        height > LARGEST_FILE_SIDE) {
        return std::nullopt;
    }
    bmp.width = infoHeader.biWidth;
    bmp.height = height;
    bmp.topDown = infoHeader.biHeight < 0;
    bmp.pixelsAt = fileHeader.bfOffBits;
    bmp.rowBytes =
        (static_cast<uint64_t>(infoHeader.biWidth) * infoHeader.biBitCount + 31) / 32 * 4;
    const bool uncompressed =
        infoHeader.biCompression == BI_RGB || infoHeader.biCompression == BI_BITFIELDS;
    // Uncompressed rows must all be in the file; a truncated file is refused.
    const bool allRows = bmp.pixelsAt + bmp.rowBytes * height <= FileSize(file);
    if (infoHeader.biCompression == BI_RGB && !allRows) return std::nullopt;
    const uint16_t depth = infoHeader.biBitCount;
    const bool plainDepth =
        depth == 1 || depth == 4 || depth == 8 || depth == 16 || depth == 24 || depth == 32;
    const uint64_t colours = infoHeader.biClrUsed != 0 ? infoHeader.biClrUsed
                             : depth <= 8              ? uint64_t{1} << depth
                                                       : 0;
    const uint64_t masks =
        infoHeader.biCompression == BI_BITFIELDS && infoHeader.biSize == sizeof(infoHeader) ? 3 : 0;
    const uint64_t infoBytes = infoHeader.biSize + (masks + colours) * sizeof(RGBQUAD);
    if (!uncompressed || !allRows || !plainDepth || infoHeader.biPlanes != 1 || colours > 256 ||
        infoHeader.biSize > sizeof(BITMAPV5HEADER) ||
        sizeof(fileHeader) + infoBytes > bmp.pixelsAt) {
        return bmp;
    }
    bmp.info.resize(infoBytes);
    if (!ReadAt(file, sizeof(fileHeader), bmp.info.data(), bmp.info.size())) return std::nullopt;
    bmp.rowsAddressable = true;
    bmp.depth = depth;
    bmp.plainColour = infoHeader.biCompression == BI_RGB && (depth == 24 || depth == 32);
    return bmp;
}

// The source pixels [first, first + count) that destination pixel `index` covers when `from`
// pixels are scaled to `to`.
struct Span {
    int64_t first;
    int64_t count;
};

Span SourceSpan(int index, int64_t from, int to) {
    const int64_t first = index * from / to;
    const int64_t end = ((index + 1) * from + to - 1) / to;
    return {first, end - first};
}

// One texel row: each texel the average of the pixels it covers in two rows, `rowStride` bytes
// apart, of pixels whose blue, green and red bytes come first; of a wide span, COLUMN_SAMPLES
// columns spread evenly across it.
void AverageTexelRow(const uint8_t* rows, size_t rowStride, int pixelBytes, int width,
                     uint8_t* rgba) {
    constexpr int side = FILE_TEXTURE_SIDE;
    for (int column = 0; column < side; ++column) {
        const Span span = SourceSpan(column, width, side);
        const int64_t columns = std::min<int64_t>(span.count, COLUMN_SAMPLES);
        uint32_t sum[3] = {0, 0, 0};
        for (int sample = 0; sample < 2; ++sample) {
            for (int64_t k = 0; k < columns; ++k) {
                const int64_t x = span.first + (2 * k + 1) * span.count / (2 * columns);
                const uint8_t* p = rows + sample * rowStride + x * pixelBytes;
                sum[0] += p[2];
                sum[1] += p[1];
                sum[2] += p[0];
            }
        }
        const uint32_t pixels = static_cast<uint32_t>(columns) * 2;
        uint8_t* out = rgba + column * 4;
        for (int c = 0; c < 3; ++c) out[c] = static_cast<uint8_t>((sum[c] + pixels / 2) / pixels);
        out[3] = 255;
    }
}

// The picture of an uncompressed BMP file scaled to side x side into `rgba` (top row first,
// opaque): each texel the average of the pixels it covers in two of its rows, read alone, and
// in up to COLUMN_SAMPLES columns across its width. A large picture costs two rows per texel
// row instead of all of them. Rows of 24 and 32 bits are averaged as they come; the platform
// turns others (colour tables, 16 bits, masks) into 32-bit colour first.
bool SampleBmpRows(HDC dc, HANDLE file, const BmpFacts& bmp, uint8_t* rgba) {
    constexpr int side = FILE_TEXTURE_SIDE;
    // The two rows of texel row `row`, at a quarter and three quarters of the rows it covers
    // (the same row twice when it covers one).
    const auto readPair = [&](int row, uint8_t* out) {
        const Span span = SourceSpan(row, bmp.height, side);
        for (int sample = 0; sample < 2; ++sample) {
            // In the order they are stored, so that reads run forward through the file.
            const int late = bmp.topDown ? sample : 1 - sample;
            const int64_t fromTop = span.first + span.count * (1 + 2 * late) / 4;
            const int64_t stored = bmp.topDown ? fromTop : bmp.height - 1 - fromTop;
            if (!ReadAt(file, bmp.pixelsAt + stored * bmp.rowBytes, out + late * bmp.rowBytes,
                        bmp.rowBytes)) {
                return false;
            }
        }
        return true;
    };
    const size_t pairs = bmp.plainColour ? 1 : side;
    std::unique_ptr<uint8_t[]> rows(new (std::nothrow) uint8_t[bmp.rowBytes * 2 * pairs]);
    if (rows == nullptr) return false;
    for (int i = 0; i < side; ++i) {
        const int row = bmp.topDown ? i : side - 1 - i;
        uint8_t* pair = rows.get() + (bmp.plainColour ? 0 : row * 2 * bmp.rowBytes);
        if (!readPair(row, pair)) return false;
        if (bmp.plainColour) {
            AverageTexelRow(pair, bmp.rowBytes, bmp.depth / 8, bmp.width, rgba + row * side * 4);
        }
    }
    if (bmp.plainColour) return true;
    constexpr int count = 2 * side;
    std::vector<uint8_t> info = bmp.info;
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    header->biHeight = -count;
    header->biSizeImage = 0;
    const BITMAPINFO surfaceInfo = TopDownBgra(bmp.width, count);
    void* bits = nullptr;
    const BitmapHandle surface(
        CreateDIBSection(dc, &surfaceInfo, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (surface == nullptr) return false;
    const HGDIOBJ previous = SelectObject(dc, surface.get());
    // Drawn at their own size: the platform converts the colours and does not scale.
    const int drawn =
        StretchDIBits(dc, 0, 0, bmp.width, count, 0, 0, bmp.width, count, rows.get(),
                      reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS, SRCCOPY);
    GdiFlush();
    SelectObject(dc, previous);
    if (drawn <= 0) return false;
    const size_t stride = size_t{4} * bmp.width;
    for (int row = 0; row < side; ++row) {
        AverageTexelRow(static_cast<const uint8_t*>(bits) + row * 2 * stride, stride, 4, bmp.width,
                        rgba + row * side * 4);
    }
    return true;
}

// The same picture through the platform's scaled load of the whole file, for the files whose
// rows cannot be read one by one (run-length coded, old headers).
bool LoadScaledBmp(HDC dc, const char* fileName, uint8_t* rgba) {
    BitmapHandle scaled(static_cast<HBITMAP>(LoadImageA(
        nullptr, fileName, IMAGE_BITMAP, FILE_TEXTURE_SIDE, FILE_TEXTURE_SIDE, LR_LOADFROMFILE)));
    if (scaled == nullptr) return false;
    const std::vector<Rgb> pixels =
        ReadPixels(dc, scaled.get(), FILE_TEXTURE_SIDE, FILE_TEXTURE_SIDE);
    for (size_t i = 0; i < pixels.size(); ++i) {
        rgba[i * 4] = pixels[i].red;
        rgba[i * 4 + 1] = pixels[i].green;
        rgba[i * 4 + 2] = pixels[i].blue;
        rgba[i * 4 + 3] = 255;
    }
    return true;
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
    const FileHandle file = OpenForReading(fileName);
    if (file == nullptr) return false;
    const std::optional<BmpFacts> bmp = ReadBmpFacts(file.get());
    if (!bmp) return false;
    // Small pictures are cheap to load whole; large ones are read row by row.
    const bool large = int64_t{bmp->width} * bmp->height > SAMPLED_LOAD_PIXELS;
    const bool drawn = large && bmp->rowsAddressable
                           ? SampleBmpRows(dc.get(), file.get(), *bmp, buffer.get())
                           : LoadScaledBmp(dc.get(), fileName, buffer.get());
    if (!drawn) return false;
    *size = {static_cast<double>(bmp->width), static_cast<double>(bmp->height)};
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
