#include "textures/wic_picture.h"

#include <GL/gl.h>
#include <wincodec.h>
#include <wrl/client.h>
#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>
#include "host/handles.h"
#include "textures/picture_header.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr int SIDE = FILE_TEXTURE_SIDE;
constexpr UINT STRIDE = SIDE * 4;

// What the rendering thread asks of the decoding thread, and what it gets back. Every field
// is guarded by `mailbox`; the pixel buffers change hands by swapping, so both threads reuse
// theirs from picture to picture.
struct Request {
    uint64_t id = 0;
    std::string path;
    PictureHeader header;
};
struct Result {
    uint64_t id = 0;
    bool decoded = false;
    UINT width = 0, height = 0;
    int orientation = 1;
    std::vector<uint32_t> pixels;  // FILE_TEXTURE_SIDE square, BGRA as stored in the file
};

CRITICAL_SECTION mailbox;
HANDLE decoder = nullptr;  // the decoding thread
HANDLE workWaiting = nullptr;
bool quitting = false;
Request request;         // the newest request; id 0 when there is none
Result result;           // the newest result; id 0 when there is none
uint64_t pendingId = 0;  // the request the rendering thread waits for, 0 when none
uint64_t lastId = 0;
// The rendering thread's own: a decoded picture as stored, and upright.
std::vector<uint32_t> storedPixels;
std::vector<uint32_t> uprightPixels;

struct UnmapView {
    void operator()(const void* view) const { UnmapViewOfFile(view); }
};
using FileView = std::unique_ptr<const void, UnmapView>;

// The file's header, read from a read-only view of the file; an empty or unreadable file has
// none.
PictureHeader ReadHeaderOf(const char* fileName) {
    const FileHandle file = OpenFileToRead(fileName);
    LARGE_INTEGER size{};
    if (file == nullptr || !GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0) return {};
    const FileHandle mapping(CreateFileMappingA(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
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

// Frame 0 scaled by the imaging component's own scaler (which pulls only the source rows it
// samples) and converted to 32-bit BGRA into out.pixels; its stored size and orientation.
bool DecodeScaled(IWICImagingFactory* wic, const Request& job, Result& out) {
    const PictureHeader& header = job.header;
    UINT* width = &out.width;
    UINT* height = &out.height;
    int* orientation = &out.orientation;
    std::array<wchar_t, MAX_PATH> wideName{};
    if (MultiByteToWideChar(CP_ACP, 0, job.path.c_str(), -1, wideName.data(), MAX_PATH) == 0) {
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
    out.pixels.resize(SIDE * SIDE);
    return SUCCEEDED(wic->CreateBitmapScaler(&scaler)) &&
           SUCCEEDED(scaler->Initialize(frame.Get(), SIDE, SIDE, WICBitmapInterpolationModeFant)) &&
           SUCCEEDED(wic->CreateFormatConverter(&converter)) &&
           SUCCEEDED(converter->Initialize(scaler.Get(), GUID_WICPixelFormat32bppBGRA,
                                           WICBitmapDitherTypeNone, nullptr, 0.0,
                                           WICBitmapPaletteTypeCustom)) &&
           SUCCEEDED(converter->CopyPixels(nullptr, STRIDE, STRIDE * SIDE,
                                           reinterpret_cast<BYTE*>(out.pixels.data())));
}

// A 32-bit BGRA pixel (blue in the low byte) as RGBA bytes in memory order, its colour weighed by
// its alpha and made opaque.
uint32_t OpaqueRgbaOverBlack(uint32_t bgra) {
    const uint32_t alpha = bgra >> 24;
    const auto channel = [&](int shift) { return ((bgra >> shift) & 0xFF) * alpha / 255; };
    return channel(16) | channel(8) << 8 | channel(0) << 16 | 0xFF000000u;
}

// The decoding thread: COM and the imaging factory live on it from its start to its end; it
// decodes the newest request, one at a time, until told to quit.
DWORD WINAPI DecodingThread(void*) {
    // Only our own start of COM is balanced.
    const bool comStarted = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    {
        ComPtr<IWICImagingFactory> factory;
        CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                         IID_PPV_ARGS(&factory));
        Result work;
        for (;;) {
            WaitForSingleObject(workWaiting, INFINITE);
            EnterCriticalSection(&mailbox);
            const bool quit = quitting;
            const Request job = request;
            request.id = 0;
            LeaveCriticalSection(&mailbox);
            if (quit) break;
            if (job.id == 0) continue;
            work.id = job.id;
            work.decoded = factory != nullptr && DecodeScaled(factory.Get(), job, work);
            EnterCriticalSection(&mailbox);
            std::swap(result, work);
            LeaveCriticalSection(&mailbox);
        }
    }
    if (comStarted) CoUninitialize();
    return 0;
}

}  // namespace

bool StartWicPicture(const char* path) {
    const PictureHeader header = ReadHeaderOf(path);
    if (!IsDecodable(header)) return false;
    if (decoder == nullptr) {
        InitializeCriticalSection(&mailbox);
        quitting = false;
        workWaiting = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        decoder = CreateThread(nullptr, 0, DecodingThread, nullptr, 0, nullptr);
        if (decoder == nullptr) {
            CloseHandle(workWaiting);
            DeleteCriticalSection(&mailbox);
            return false;
        }
    }
    EnterCriticalSection(&mailbox);
    pendingId = ++lastId;
    request.id = pendingId;
    request.path = path;
    request.header = header;
    LeaveCriticalSection(&mailbox);
    SetEvent(workWaiting);
    return true;
}

PictureDecode FinishWicPicture(uint32_t* name, PictureSize* size) {
    if (pendingId == 0) return PictureDecode::Idle;
    EnterCriticalSection(&mailbox);
    const bool ready = result.id == pendingId;
    // The decoding thread gets this thread's previous buffer back with its next result.
    if (ready) storedPixels.swap(result.pixels);
    const Result done{result.id,     result.decoded,     result.width,
                      result.height, result.orientation, {}};
    LeaveCriticalSection(&mailbox);
    if (!ready) return PictureDecode::Pending;
    pendingId = 0;
    if (!done.decoded) return PictureDecode::Failed;
    uprightPixels.resize(SIDE * SIDE);
    OrientSquare(storedPixels, uprightPixels, SIDE, done.orientation);
    // See-through parts are shown over black: the hologram shows every picture opaque, as it
    // does a BMP file.
    for (uint32_t& pixel : uprightPixels) pixel = OpaqueRgbaOverBlack(pixel);
    *name = UploadTexture(SIDE, SIDE, GL_RGBA, uprightPixels.data(), false);
    const bool turned = OrientationSwapsSides(done.orientation);
    *size = {static_cast<double>(turned ? done.height : done.width),
             static_cast<double>(turned ? done.width : done.height)};
    return PictureDecode::Loaded;
}

void ReleaseWicPictures() {
    if (decoder == nullptr) return;
    EnterCriticalSection(&mailbox);
    quitting = true;
    LeaveCriticalSection(&mailbox);
    SetEvent(workWaiting);
    WaitForSingleObject(decoder, INFINITE);
    CloseHandle(decoder);
    CloseHandle(workWaiting);
    DeleteCriticalSection(&mailbox);
    decoder = nullptr;
    workWaiting = nullptr;
    request = {};
    result = {};
    pendingId = 0;
    storedPixels = {};
    uprightPixels = {};
}
