#include "textures/wic_picture.h"

#include <GL/gl.h>
#include <wincodec.h>
#include <wrl/client.h>
#include <array>
#include <memory>
#include <vector>
#include "textures/picture_header.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr int SIDE = FILE_TEXTURE_SIDE;
constexpr UINT STRIDE = SIDE * 4;

// COM and the factory live from the first picture to the scene's end, on the thread that
// loads textures (the one that owns the rendering context).
bool comStarted = false;
ComPtr<IWICImagingFactory> factory;
// One picture's pixels as the converter writes them, and upright; reused from item to item.
std::vector<uint32_t> storedPixels;
std::vector<uint32_t> uprightPixels;

IWICImagingFactory* Factory() {
    if (factory != nullptr) return factory.Get();
    if (!comStarted) {
        // A thread already in another apartment keeps it; only our own start is balanced.
        comStarted = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    }
    CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                     IID_PPV_ARGS(&factory));
    return factory.Get();
}

struct CloseFile {
    void operator()(HANDLE file) const { CloseHandle(file); }
};
using FileHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, CloseFile>;

struct UnmapView {
    void operator()(const void* view) const { UnmapViewOfFile(view); }
};
using FileView = std::unique_ptr<const void, UnmapView>;

// The file's header, read from a read-only view of the file; an empty or unreadable file has
// none.
PictureHeader ReadHeaderOf(const char* fileName) {
    FileHandle file(CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        file.release();
        return {};
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0) return {};
    FileHandle mapping(CreateFileMappingA(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (mapping == nullptr) return {};
    FileView view(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0));
    if (view == nullptr) return {};
    return ReadPictureHeader(
        {static_cast<const uint8_t*>(view.get()), static_cast<size_t>(size.QuadPart)});
}

// The orientation the imaging component reads from the frame's metadata, or 0 when it gives
// none (some implementations return nothing for a tag that is there).
int MetadataOrientation(IWICBitmapFrameDecode* frame, PictureFormat format) {
    const wchar_t* query = format == PictureFormat::Jpeg   ? L"/app1/ifd/{ushort=274}"
                           : format == PictureFormat::Tiff ? L"/ifd/{ushort=274}"
                                                           : nullptr;
    ComPtr<IWICMetadataQueryReader> reader;
    if (query == nullptr || FAILED(frame->GetMetadataQueryReader(&reader))) return 0;
    PROPVARIANT value;
    PropVariantInit(&value);
    int orientation = 0;
    if (SUCCEEDED(reader->GetMetadataByName(query, &value)) && value.vt == VT_UI2 &&
        value.uiVal >= 1 && value.uiVal <= 8) {
        orientation = value.uiVal;
    }
    PropVariantClear(&value);
    return orientation;
}

// Frame 0 scaled by the imaging component's own scaler (which pulls only the source rows it
// samples) and converted to 32-bit BGRA into storedPixels; its stored size and orientation.
bool DecodeScaled(const char* fileName, const PictureHeader& header, UINT* width, UINT* height,
                  int* orientation) {
    IWICImagingFactory* wic = Factory();
    if (wic == nullptr) return false;
    std::array<wchar_t, MAX_PATH> wideName{};
    if (MultiByteToWideChar(CP_ACP, 0, fileName, -1, wideName.data(), MAX_PATH) == 0) {
        return false;
    }
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICBitmapScaler> scaler;
    ComPtr<IWICFormatConverter> converter;
    if (FAILED(wic->CreateDecoderFromFilename(wideName.data(), nullptr, GENERIC_READ,
                                              WICDecodeMetadataCacheOnDemand, &decoder)) ||
        FAILED(decoder->GetFrame(0, &frame)) || FAILED(frame->GetSize(width, height))) {
        return false;
    }
    // The decoder's own idea of the size must pass the same limits as the header's.
    const PictureHeader decoded{header.format, *width, *height, 1};
    if (!IsDecodable(decoded)) return false;
    *orientation = MetadataOrientation(frame.Get(), header.format);
    if (*orientation == 0) *orientation = header.orientation;
    storedPixels.resize(SIDE * SIDE);
    return SUCCEEDED(wic->CreateBitmapScaler(&scaler)) &&
           SUCCEEDED(scaler->Initialize(frame.Get(), SIDE, SIDE, WICBitmapInterpolationModeFant)) &&
           SUCCEEDED(wic->CreateFormatConverter(&converter)) &&
           SUCCEEDED(converter->Initialize(scaler.Get(), GUID_WICPixelFormat32bppBGRA,
                                           WICBitmapDitherTypeNone, nullptr, 0.0,
                                           WICBitmapPaletteTypeCustom)) &&
           SUCCEEDED(converter->CopyPixels(nullptr, STRIDE, STRIDE * SIDE,
                                           reinterpret_cast<BYTE*>(storedPixels.data())));
}

// A 32-bit BGRA pixel (blue in the low byte) as RGBA bytes in memory order, its colour weighed by
// its alpha and made opaque.
uint32_t OpaqueRgbaOverBlack(uint32_t bgra) {
    const uint32_t alpha = bgra >> 24;
    const auto channel = [&](int shift) { return ((bgra >> shift) & 0xFF) * alpha / 255; };
    return channel(16) | channel(8) << 8 | channel(0) << 16 | 0xFF000000u;
}

}  // namespace

bool LoadWicPictureTexture(uint32_t* name, const char* fileName, PictureSize* size) {
    const PictureHeader header = ReadHeaderOf(fileName);
    if (!IsDecodable(header)) return false;
    UINT width = 0, height = 0;
    int orientation = 1;
    if (!DecodeScaled(fileName, header, &width, &height, &orientation)) return false;
    uprightPixels.resize(SIDE * SIDE);
    OrientSquare(storedPixels, uprightPixels, SIDE, orientation);
    // See-through parts are shown over black: the hologram shows every picture opaque, as it
    // does a BMP file.
    for (uint32_t& pixel : uprightPixels) pixel = OpaqueRgbaOverBlack(pixel);
    glGenTextures(1, name);
    glBindTexture(GL_TEXTURE_2D, *name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, SIDE, SIDE, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 uprightPixels.data());
    const bool turned = OrientationSwapsSides(orientation);
    *size = {static_cast<double>(turned ? height : width),
             static_cast<double>(turned ? width : height)};
    return true;
}

void ReleaseWicPictures() {
    storedPixels = {};
    uprightPixels = {};
    factory.Reset();
    if (comStarted) CoUninitialize();
    comStarted = false;
}
