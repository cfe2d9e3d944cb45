#include "textures/bmp_picture.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <span>
#include <vector>
#include "host/handles.h"
#include "textures/bmp_check.h"

namespace {

// Pictures of more pixels than this are read row by row instead of whole.
constexpr int64_t SAMPLED_LOAD_PIXELS = 4 * FILE_TEXTURE_SIDE * FILE_TEXTURE_SIDE;
// Columns averaged into a texel at most, per row.
constexpr int64_t COLUMN_SAMPLES = 8;

struct FreePages {
    void operator()(uint8_t* pages) const { VirtualFree(pages, 0, MEM_RELEASE); }
};

struct FileBytes {
    std::unique_ptr<uint8_t, FreePages> data;
    size_t size = 0;
};

// The whole file (`size` bytes) in pages of its own, as a mapped file would be (a read past its
// end faults rather than reading other data); nothing when it cannot be read.
FileBytes ReadWholeFile(HANDLE file, uint64_t size) {
    FileBytes bytes;
    bytes.size = static_cast<size_t>(size);
    bytes.data.reset(static_cast<uint8_t*>(VirtualAlloc(nullptr, std::max<size_t>(bytes.size, 1),
                                                        MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)));
    const LARGE_INTEGER start{};
    if (bytes.data == nullptr || !SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return {};
    for (size_t done = 0; done < bytes.size;) {
        DWORD read = 0;
        const auto want = static_cast<DWORD>(std::min<size_t>(bytes.size - done, 1 << 30));
        if (!ReadFile(file, bytes.data.get() + done, want, &read, nullptr) || read == 0) {
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

// Whether the rows of a checked picture can be read one by one: uncompressed, with an info
// header.
bool StoredInRows(std::span<const uint8_t> head) {
    BITMAPINFOHEADER info;
    std::memcpy(&info, head.data() + BMP_HEADER_AT, sizeof(info));
    return info.biSize >= sizeof(info) && info.biCompression != BI_RLE8 &&
           info.biCompression != BI_RLE4;
}

}  // namespace

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

bool DrawBmpFile(const std::wstring& path, uint8_t* rgba, PictureSize* size) {
    const FileHandle file = OpenFileToRead(path);
    LARGE_INTEGER fileSize{};
    if (file == nullptr || !GetFileSizeEx(file.get(), &fileSize) || fileSize.QuadPart < 0) {
        return false;
    }
    const MemoryDC dc(CreateCompatibleDC(nullptr));
    std::vector<uint8_t> head(std::min<uint64_t>(fileSize.QuadPart, BMP_HEAD_BYTES));
    if (dc == nullptr || !ReadAt(file.get(), 0, head.data(), head.size())) return false;
    const BmpCheck large = CheckBmp(head, fileSize.QuadPart);
    if (large && int64_t{large->width} * large->height > SAMPLED_LOAD_PIXELS &&
        StoredInRows(head) && SampleBmpRows(dc.get(), file.get(), head, *large, rgba)) {
        *size = {static_cast<double>(large->width), static_cast<double>(large->height)};
        return true;
    }
    if (static_cast<uint64_t>(fileSize.QuadPart) > LARGEST_BMP_FILE) return false;
    const FileBytes whole = ReadWholeFile(file.get(), fileSize.QuadPart);
    if (whole.data == nullptr) return false;
    const BmpCheck layout = CheckBmp({whole.data.get(), whole.size});
    if (!layout) return false;
    *size = {static_cast<double>(layout->width), static_cast<double>(layout->height)};
    return DrawFilePicture(dc.get(), whole.data.get(), *layout, rgba);
}
