// The decoding thread: every picture file is read, checked and decoded there, never on the
// thread that draws the show and answers input, so a large picture, a slow disk or a share
// that went away delays a picture but never a frame or a close.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>

// Every picture file becomes a texture of this side, whatever its own size.
constexpr int FILE_TEXTURE_SIDE = 256;

struct PictureSize {
    double width;
    double height;
};

// A picture handed to the decoding thread: nothing asked, still decoding, or done either way.
enum class PictureDecode { Idle, Pending, Loaded, Failed };

struct DecodedPicture {
    // FILE_TEXTURE_SIDE square, top row first, opaque; red, green, blue, alpha in memory order.
    std::vector<uint32_t> pixels;
    // The picture's own upright size.
    PictureSize size{};
};

// Calls `finish` (a Finish... of a load started) until it is no longer Pending: for tools and
// tests, which may wait.
template <typename Finish>
PictureDecode AwaitLoad(Finish finish) {
    PictureDecode state;
    while ((state = finish()) == PictureDecode::Pending) Sleep(1);
    return state;
}

// Hands the file to the decoding thread, started when there is none; a decode still pending is
// forgotten. False only when no thread can be started.
bool StartPictureDecode(const std::wstring& path);
// Pending while the file decodes; then, once, Loaded with `picture` filled, or Failed. Idle
// when nothing is pending.
PictureDecode FinishPictureDecode(DecodedPicture& picture);
// Lets the decoding thread go without waiting for a decode under way: it ends, and frees what
// it holds, once that decode is over.
void ReleasePictureDecoder();
