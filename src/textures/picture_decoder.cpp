#include "textures/picture_decoder.h"

#include <windows.h>
#include <wincodec.h>
#include <wrl/client.h>
#include <memory>
#include <mutex>
#include <utility>
#include "textures/bmp_picture.h"
#include "textures/fault_guard.h"
#include "textures/file_threads.h"
#include "textures/media_library.h"
#include "textures/wic_picture.h"

using Microsoft::WRL::ComPtr;

namespace {

// What the show's thread and one decoding thread share. The thread holds a reference of its
// own, so that it can be let go in the middle of a decode and free the mailbox at its end.
struct Mailbox {
    std::mutex lock;
    HANDLE wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    // Guarded by `lock`: the newest request (id 0 when none), the newest result, and whether
    // the thread was told to end or has ended.
    uint64_t requestId = 0;
    std::wstring requestPath;
    uint64_t resultId = 0;
    bool decoded = false;
    DecodedPicture result;
    bool quit = false;
    bool ended = false;
    // The decoding thread's own: the request it is working on.
    uint64_t workingId = 0;
    ~Mailbox() { CloseHandle(wake); }
};

// The show thread's own.
std::shared_ptr<Mailbox> mailbox;
uint64_t pendingId = 0;
uint64_t lastId = 0;

bool DecodeFile(IWICImagingFactory* wic, const std::wstring& path, DecodedPicture& out) {
    out.pixels.resize(FILE_TEXTURE_SIDE * FILE_TEXTURE_SIDE);
    if (PictureKindOf(path) == PICTURE_BMP)
        return DrawBmpFile(path, reinterpret_cast<uint8_t*>(out.pixels.data()), &out.size);
    return wic != nullptr && DecodeWicFile(wic, path, out.pixels.data(), &out.size);
}

void Post(Mailbox& box, uint64_t id, bool decoded, DecodedPicture&& picture) {
    const std::lock_guard<std::mutex> hold(box.lock);
    box.resultId = id;
    box.decoded = decoded;
    box.result = std::move(picture);
}

// A codec that faulted took the thread with it: its picture failed, and the next one starts a
// thread of its own. What the thread held is left behind.
void OnCodecFault(void* context) {
    auto& box = *static_cast<Mailbox*>(context);
    Post(box, box.workingId, false, {});
    const std::lock_guard<std::mutex> hold(box.lock);
    box.ended = true;
    FileThreadEnded();
}

void Decode(Mailbox& box) {
    ContainFaults(OnCodecFault, &box);
    // Only our own start of COM is balanced.
    const bool comStarted = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    {
        ComPtr<IWICImagingFactory> factory;
        CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                         IID_PPV_ARGS(&factory));
        for (;;) {
            WaitForSingleObject(box.wake, INFINITE);
            std::wstring path;
            {
                const std::lock_guard<std::mutex> hold(box.lock);
                if (box.quit) break;
                box.workingId = std::exchange(box.requestId, 0);
                path = std::move(box.requestPath);
            }
            if (box.workingId == 0) continue;
            DecodedPicture picture;
            const bool decoded = DecodeFile(factory.Get(), path, picture);
            Post(box, box.workingId, decoded, std::move(picture));
        }
    }
    StopContainingFaults();
    if (comStarted) CoUninitialize();
}

bool StartThread() {
    auto box = std::make_shared<Mailbox>();
    if (!StartFileThread([box] { Decode(*box); })) return false;
    mailbox = std::move(box);
    return true;
}

}  // namespace

bool StartPictureDecode(const std::wstring& path) {
    bool ended = mailbox == nullptr;
    if (!ended) {
        const std::lock_guard<std::mutex> hold(mailbox->lock);
        ended = mailbox->ended;
    }
    if (ended && !StartThread()) return false;
    {
        const std::lock_guard<std::mutex> hold(mailbox->lock);
        pendingId = ++lastId;
        mailbox->requestId = pendingId;
        mailbox->requestPath = path;
    }
    SetEvent(mailbox->wake);
    return true;
}

PictureDecode FinishPictureDecode(DecodedPicture& picture) {
    if (pendingId == 0 || mailbox == nullptr) return PictureDecode::Idle;
    bool decoded = false;
    {
        const std::lock_guard<std::mutex> hold(mailbox->lock);
        if (mailbox->resultId != pendingId) return PictureDecode::Pending;
        decoded = mailbox->decoded;
        picture = std::move(mailbox->result);
    }
    pendingId = 0;
    return decoded ? PictureDecode::Loaded : PictureDecode::Failed;
}

void ReleasePictureDecoder() {
    if (mailbox != nullptr) {
        {
            const std::lock_guard<std::mutex> hold(mailbox->lock);
            mailbox->quit = true;
        }
        SetEvent(mailbox->wake);
    }
    mailbox.reset();
    pendingId = 0;
}
