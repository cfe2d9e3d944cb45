#include "textures/wic_picture.h"

#include <wrl/client.h>
#include <array>
#include <memory>
#include <vector>
#include "host/handles.h"
#include "textures/picture_header.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr int SIDE = FILE_TEXTURE_SIDE;
constexpr UINT STRIDE = SIDE * 4;
// The codec's own scaling, which the platform's scaler uses when it has it; the compiler's
// headers do not declare it.
constexpr GUID IID_SOURCE_TRANSFORM = {
    0x3B16811B, 0x6A43, 0x4EC9, {0xB7, 0x13, 0x3D, 0x5A, 0x0C, 0x13, 0xB9, 0x40}};

struct UnmapView {
    void operator()(const void* view) const { UnmapViewOfFile(view); }
};
using FileView = std::unique_ptr<const void, UnmapView>;

// The header of an open file, read from a read-only view of it; an empty or unreadable file has
// none.
PictureHeader ReadHeaderOf(HANDLE file) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || size.QuadPart <= 0) return {};
    const FileHandle mapping(CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (mapping == nullptr) return {};
    const FileView view(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0));
    if (view == nullptr) return {};
    return ReadPictureHeader(
               {static_cast<const uint8_t*>(view.get()), static_cast<size_t>(size.QuadPart)})
        .value_or({});
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

// The bits of one of the frame's pixels as it decodes; a format the component cannot describe
// counts as the widest it knows.
uint64_t BitsPerPixel(IWICImagingFactory* wic, IWICBitmapFrameDecode* frame) {
    constexpr UINT WIDEST = 128;
    WICPixelFormatGUID format{};
    ComPtr<IWICComponentInfo> component;
    ComPtr<IWICPixelFormatInfo> info;
    UINT bits = 0;
    if (FAILED(frame->GetPixelFormat(&format)) ||
        FAILED(wic->CreateComponentInfo(format, &component)) || FAILED(component.As(&info)) ||
        FAILED(info->GetBitsPerPixel(&bits)) || bits == 0) {
        return WIDEST;
    }
    return bits;
}

// Whether the platform's JPEG codec decodes at a smaller scale, learnt once from a small JPEG
// the platform's own encoder makes. A codec that cannot holds the whole picture from the moment
// its frame is opened (Wine's do), so a picture too large for that must be refused before.
bool JpegScalesWhileDecoding(IWICImagingFactory* wic) {
    static const bool scales = [wic] {
        constexpr UINT SMALL = 16;
        std::array<BYTE, SMALL * SMALL * 3> pixels{};
        WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
        LARGE_INTEGER start{};
        ComPtr<IStream> stream;
        ComPtr<IWICBitmapEncoder> encoder;
        ComPtr<IWICBitmapFrameEncode> written;
        ComPtr<IWICBitmapDecoder> decoder;
        ComPtr<IWICBitmapFrameDecode> frame;
        ComPtr<IUnknown> transform;
        return SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)) &&
               SUCCEEDED(wic->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, &encoder)) &&
               SUCCEEDED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) &&
               SUCCEEDED(encoder->CreateNewFrame(&written, nullptr)) &&
               SUCCEEDED(written->Initialize(nullptr)) &&
               SUCCEEDED(written->SetSize(SMALL, SMALL)) &&
               SUCCEEDED(written->SetPixelFormat(&format)) &&
               SUCCEEDED(written->WritePixels(SMALL, SMALL * 3, pixels.size(), pixels.data())) &&
               SUCCEEDED(written->Commit()) && SUCCEEDED(encoder->Commit()) &&
               SUCCEEDED(stream->Seek(start, STREAM_SEEK_SET, nullptr)) &&
               SUCCEEDED(wic->CreateDecoderFromStream(stream.Get(), nullptr,
                                                      WICDecodeMetadataCacheOnDemand, &decoder)) &&
               SUCCEEDED(decoder->GetFrame(0, &frame)) &&
               SUCCEEDED(frame->QueryInterface(IID_SOURCE_TRANSFORM, &transform));
    }();
    return scales;
}

// Frame 0 of the open file scaled by the imaging component's own scaler (which pulls only the
// source rows it samples, and decodes at a smaller scale where the codec can) and converted to
// 32-bit BGRA into `bgra`; its stored size and orientation.
bool DecodeScaled(IWICImagingFactory* wic, HANDLE file, const PictureHeader& header,
                  std::vector<uint32_t>& bgra, UINT* width, UINT* height, int* orientation) {
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IUnknown> transform;
    ComPtr<IWICBitmapScaler> scaler;
    ComPtr<IWICFormatConverter> converter;
    if (FAILED(wic->CreateDecoderFromFileHandle(reinterpret_cast<ULONG_PTR>(file), nullptr,
                                                WICDecodeMetadataCacheOnDemand, &decoder)) ||
        FAILED(decoder->GetFrame(0, &frame)) || FAILED(frame->GetSize(width, height))) {
        return false;
    }
    // The decoder's own idea of the size must pass the same limits as the header's.
    const PictureHeader decoded{header.format, *width, *height, 1};
    const bool scalesWhileDecoding =
        SUCCEEDED(frame->QueryInterface(IID_SOURCE_TRANSFORM, &transform));
    if (!IsDecodable(decoded) ||
        (!scalesWhileDecoding && uint64_t{*width} * *height * BitsPerPixel(wic, frame.Get()) / 8 >
                                     LARGEST_WHOLE_DECODE_BYTES)) {
        return false;
    }
    *orientation = MetadataOrientation(frame.Get(), header.format);
    if (*orientation == 0) *orientation = header.orientation;
    bgra.resize(SIDE * SIDE);
    return SUCCEEDED(wic->CreateBitmapScaler(&scaler)) &&
           SUCCEEDED(scaler->Initialize(frame.Get(), SIDE, SIDE, WICBitmapInterpolationModeFant)) &&
           SUCCEEDED(wic->CreateFormatConverter(&converter)) &&
           SUCCEEDED(converter->Initialize(scaler.Get(), GUID_WICPixelFormat32bppBGRA,
                                           WICBitmapDitherTypeNone, nullptr, 0.0,
                                           WICBitmapPaletteTypeCustom)) &&
           SUCCEEDED(converter->CopyPixels(nullptr, STRIDE, STRIDE * SIDE,
                                           reinterpret_cast<BYTE*>(bgra.data())));
}

// A 32-bit BGRA pixel (blue in the low byte) as RGBA bytes in memory order, its colour weighed by
// its alpha and made opaque.
uint32_t OpaqueRgbaOverBlack(uint32_t bgra) {
    const uint32_t alpha = bgra >> 24;
    const auto channel = [&](int shift) { return ((bgra >> shift) & 0xFF) * alpha / 255; };
    return channel(16) | channel(8) << 8 | channel(0) << 16 | 0xFF000000u;
}

}  // namespace

bool DecodeWicFile(IWICImagingFactory* factory, const std::wstring& path, uint32_t* rgba,
                   PictureSize* size) {
    const FileHandle file = OpenFileToRead(path);
    if (file == nullptr) return false;
    const PictureHeader header = ReadHeaderOf(file.get());
    std::vector<uint32_t> stored;
    UINT width = 0, height = 0;
    int orientation = 1;
    // Four bytes a pixel: the widest of the usual decoded formats (the frame's own is checked
    // once it is open).
    const bool tooLargeWhole =
        uint64_t{header.width} * header.height * 4 > LARGEST_WHOLE_DECODE_BYTES &&
        (header.format != PictureFormat::Jpeg || !JpegScalesWhileDecoding(factory));
    if (!IsDecodable(header) || tooLargeWhole ||
        !DecodeScaled(factory, file.get(), header, stored, &width, &height, &orientation)) {
        return false;
    }
    OrientSquare(stored, {rgba, SIDE * SIDE}, SIDE, orientation);
    // See-through parts are shown over black: the hologram shows every picture opaque, as it
    // does a BMP file.
    for (int i = 0; i < SIDE * SIDE; ++i) rgba[i] = OpaqueRgbaOverBlack(rgba[i]);
    const bool turned = OrientationSwapsSides(orientation);
    *size = {static_cast<double>(turned ? height : width),
             static_cast<double>(turned ? width : height)};
    return true;
}
