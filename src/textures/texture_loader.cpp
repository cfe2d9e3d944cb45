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
#include "textures/bmp_check.h"
#include "textures/media_scan.h"
#include "textures/wic_picture.h"

namespace {

// Pictures of more pixels than this are read row by row instead of whole.
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
    const FileHandle file = OpenFileToRead(fileName);
    LARGE_INTEGER size{};
    if (file == nullptr || !GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
        static_cast<uint64_t>(size.QuadPart) > limit) {
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

// A seek and a plain read: under Wine a read with its offset given costs far more.
bool ReadAt(HANDLE file, uint64_t offset, void* out, size_t bytes) {
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    DWORD read = 0;
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
           ReadFile(file, out, static_cast<DWORD>(bytes), &read, nullptr) && read == bytes;
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

// The picture of a checked, uncompressed BMP file with an info header (`head` holds the file's
// first bytes) scaled to side x side into `rgba` (top row first, opaque): each texel the
// average of the pixels it covers in two of its rows, read alone, and in up to COLUMN_SAMPLES
// columns across its width. A large picture costs two rows per texel row instead of all of
// them. Rows of 24 and 32 bits are averaged as they come; the platform turns others (colour
// tables, 16 bits, masks) into 32-bit colour first.
bool SampleBmpRows(HDC dc, HANDLE file, std::span<const uint8_t> head, const BmpLayout& layout,
                   uint8_t* rgba) {
    constexpr int side = FILE_TEXTURE_SIDE;
    BITMAPINFOHEADER info;
    std::memcpy(&info, head.data() + BMP_HEADER_AT, sizeof(info));
    const bool topDown = info.biHeight < 0;
    const bool plain =
        info.biCompression == BI_RGB && (info.biBitCount == 24 || info.biBitCount == 32);
    const uint64_t rowBytes =
        (uint64_t{static_cast<uint32_t>(layout.width)} * info.biBitCount + 31) / 32 * 4;
    // The two rows of texel row `row`, at a quarter and three quarters of the rows it covers
    // (the same row twice when it covers one), in the order they are stored, so that reads run
    // forward through the file.
    const auto readPair = [&](int row, uint8_t* out) {
        const Span span = SourceSpan(row, layout.height, side);
        for (int sample = 0; sample < 2; ++sample) {
            const int late = topDown ? sample : 1 - sample;
            const int64_t fromTop = span.first + span.count * (1 + 2 * late) / 4;
            const int64_t stored = topDown ? fromTop : layout.height - 1 - fromTop;
            if (!ReadAt(file, layout.pixelsAt + stored * rowBytes, out + late * rowBytes,
                        rowBytes)) {
                return false;
            }
        }
        return true;
    };
    const size_t pairs = plain ? 1 : side;
    std::unique_ptr<uint8_t[]> rows(new (std::nothrow) uint8_t[rowBytes * 2 * pairs]);
    if (rows == nullptr) return false;
    for (int i = 0; i < side; ++i) {
        const int row = topDown ? i : side - 1 - i;
        uint8_t* pair = rows.get() + (plain ? 0 : row * 2 * rowBytes);
        if (!readPair(row, pair)) return false;
        if (plain)
            AverageTexelRow(pair, rowBytes, info.biBitCount / 8, layout.width,
                            rgba + row * side * 4);
    }
    if (plain) return true;
    // The header with its masks and colour table, for rows stored top down in the order read.
    constexpr int count = 2 * side;
    std::vector<uint8_t> header(head.begin() + BMP_HEADER_AT, head.end());
    info.biHeight = -count;
    info.biSizeImage = 0;
    std::memcpy(header.data(), &info, sizeof(info));
    const BITMAPINFO surfaceInfo = TopDownBgra(layout.width, count);
    void* bits = nullptr;
    const BitmapHandle surface(
        CreateDIBSection(dc, &surfaceInfo, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (surface == nullptr) return false;
    const HGDIOBJ previous = SelectObject(dc, surface.get());
    // Drawn at their own size: the platform converts the colours and does not scale.
    const int drawn =
        StretchDIBits(dc, 0, 0, layout.width, count, 0, 0, layout.width, count, rows.get(),
                      reinterpret_cast<const BITMAPINFO*>(header.data()), DIB_RGB_COLORS, SRCCOPY);
    GdiFlush();
    SelectObject(dc, previous);
    if (drawn <= 0) return false;
    const size_t stride = size_t{4} * layout.width;
    for (int row = 0; row < side; ++row) {
        AverageTexelRow(static_cast<const uint8_t*>(bits) + row * 2 * stride, stride, 4,
                        layout.width, rgba + row * side * 4);
    }
    return true;
}

// A large uncompressed picture read row by row into `rgba`: nothing read beyond its first bytes
// and the rows it shows. False when it is not one (small, compressed, an old header), so the
// whole file is read instead.
bool LoadLargeBmp(HDC dc, const char* fileName, PictureSize* size, uint8_t* rgba) {
    const FileHandle file = OpenFileToRead(fileName);
    LARGE_INTEGER fileSize{};
    if (file == nullptr || !GetFileSizeEx(file.get(), &fileSize)) return false;
    std::vector<uint8_t> head(std::min<uint64_t>(fileSize.QuadPart, BMP_HEAD_BYTES));
    if (!ReadAt(file.get(), 0, head.data(), head.size())) return false;
    const BmpCheck layout = CheckBmp(head, fileSize.QuadPart);
    if (!layout || int64_t{layout->width} * layout->height <= SAMPLED_LOAD_PIXELS) return false;
    BITMAPINFOHEADER info;
    std::memcpy(&info, head.data() + BMP_HEADER_AT, sizeof(info));
    const bool rows = info.biSize >= sizeof(info) && info.biCompression != BI_RLE8 &&
                      info.biCompression != BI_RLE4;
    if (!rows || !SampleBmpRows(dc, file.get(), head, *layout, rgba)) return false;
    *size = {static_cast<double>(layout->width), static_cast<double>(layout->height)};
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

// A BMP file read at once into a new texture; nothing when it cannot be shown.
std::optional<LoadedPicture> LoadBmpFile(const std::string& path) {
    constexpr size_t bytes = FILE_TEXTURE_SIDE * FILE_TEXTURE_SIDE * 4;
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[bytes]);
    if (buffer == nullptr) return std::nullopt;
    MemoryDC dc = ScreenCompatibleDC();
    LoadedPicture picture;
    if (!LoadLargeBmp(dc.get(), path.c_str(), &picture.size, buffer.get())) {
        const FileBytes file = ReadWholeFile(path.c_str(), LARGEST_BMP_FILE);
        if (file.data == nullptr) return std::nullopt;
        const BmpCheck layout = CheckBmp({file.data.get(), file.size});
        if (!layout) return std::nullopt;
        picture.size = {static_cast<double>(layout->width), static_cast<double>(layout->height)};
        if (!DrawFilePicture(dc.get(), file.data.get(), *layout, buffer.get())) return std::nullopt;
    }
    picture.texture =
        UploadTexture(FILE_TEXTURE_SIDE, FILE_TEXTURE_SIDE, GL_RGBA, buffer.get(), false);
    return picture;
}

// The picture StartPictureFile took: a BMP file already loaded, or the name of one on the
// decoding thread.
std::optional<LoadedPicture> loadedBmp;
std::string pendingName;

bool IsBmpFile(const std::string& path) {
    return EndsWithIgnoringCase(path, std::string_view(PICTURE_PATTERNS[PICTURE_BMP]).substr(1));
}

std::string NameWithoutFolder(const std::string& path) {
    return path.substr(path.find_last_of("\\/") + 1);
}

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

bool StartPictureFile(const std::string& path) {
    loadedBmp.reset();
    pendingName = NameWithoutFolder(path);
    if (!IsBmpFile(path)) return StartWicPicture(path.c_str());
    loadedBmp = LoadBmpFile(path);
    if (loadedBmp) loadedBmp->name = pendingName;
    return loadedBmp.has_value();
}

PictureDecode FinishPictureFile(LoadedPicture& picture) {
    if (loadedBmp) {
        picture = *std::exchange(loadedBmp, std::nullopt);
        return PictureDecode::Loaded;
    }
    const PictureDecode state = FinishWicPicture(&picture.texture, &picture.size);
    if (state == PictureDecode::Loaded) picture.name = pendingName;
    return state;
}

std::optional<LoadedPicture> LoadPictureFile(const std::string& path) {
    if (!StartPictureFile(path)) return std::nullopt;
    LoadedPicture picture;
    for (;;) {
        switch (FinishPictureFile(picture)) {
            case PictureDecode::Loaded:
                return picture;
            case PictureDecode::Pending:
                Sleep(1);
                break;
            default:
                return std::nullopt;
        }
    }
}

void ReleaseSlotTextures() {
    glDeleteTextures(TEXTURE_SLOT_COUNT, textureSlots.data());
    textureSlots.fill(0);
}
