#include "media/movie.h"

#include <GL/gl.h>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>
#include <utility>
#include "host/saver_window.h"
#include "media/sound.h"
#include "render/frame_clock.h"
#include "render/scene.h"
#include "settings/settings.h"
#include "show/director.h"
#include "show/hologram.h"
#include "textures/media_scan.h"

HDC movieDC = nullptr;
HDRAWDIB frameDrawer = nullptr;
PAVISTREAM videoStream = nullptr;
PAVISTREAM audioStream = nullptr;
PGETFRAME frameDecoder = nullptr;
HBITMAP frameSurface = nullptr;
unsigned char* surfaceBits = nullptr;
int movieFrameWidth = 0;
int movieFrameHeight = 0;
int movieFrameCount = 0;
double movieDurationMs = 0.0;
double movieElapsedMs = 0.0;
int movieFrameIndex = 0;
int movieTextureFrame = -1;
bool movieSoundOn = false;
LONG movieFirstFrame = 0;
HGDIOBJ movieDCBitmap = nullptr;
bool aviLibraryOpen = false;

namespace {

bool CreateFrameSurface() {
    // Kept for the whole run once made; the surfaces of all movies are selected into it.
    if (movieDC == nullptr) movieDC = CreateCompatibleDC(nullptr);
    if (movieDC == nullptr) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = MOVIE_SURFACE_WIDTH;
    info.bmiHeader.biHeight = MOVIE_SURFACE_HEIGHT;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    frameSurface = CreateDIBSection(movieDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (frameSurface == nullptr) return false;
    surfaceBits = static_cast<unsigned char*>(bits);
    movieDCBitmap = SelectObject(movieDC, frameSurface);
    return true;
}

void OpenAudioStream(const char* fileName) {
    movieSoundOn =
        AVIStreamOpenFromFileA(&audioStream, fileName, streamtypeAUDIO, 0, OF_READ, nullptr) == 0;
    if (!movieSoundOn) audioStream = nullptr;
}

constexpr int CHUNK_DEPTH_LIMIT = 8;
constexpr int CHUNK_COUNT_LIMIT = 10000;

// Walks the chunks from `offset` to `end`, descending into lists other than the frame data;
// false at a size of 2 GiB or more, or when there are more chunks than any movie's headers have.
bool ChunksValid(std::ifstream& file, uint64_t offset, uint64_t end, int depth, int& visited) {
    while (offset + 8 <= end) {
        if (++visited > CHUNK_COUNT_LIMIT) return false;
        char bytes[12] = {};
        file.clear();
        file.seekg(static_cast<std::streamoff>(offset));
        file.read(bytes, sizeof(bytes));
        // A truncated file just ends; the library copes with that.
        if (file.gcount() < 8) return true;
        uint32_t size = 0;
        std::memcpy(&size, bytes + 4, sizeof(size));
        if (size >= 0x80000000u) return false;
        const bool list = std::memcmp(bytes, "RIFF", 4) == 0 || std::memcmp(bytes, "LIST", 4) == 0;
        if (list && file.gcount() == 12 && std::memcmp(bytes + 8, "movi", 4) != 0 &&
            depth < CHUNK_DEPTH_LIMIT &&
            !ChunksValid(file, offset + 12, offset + 8 + size, depth + 1, visited)) {
            return false;
        }
        offset += 8 + uint64_t{size} + (size & 1);
    }
    return true;
}

// The decoded frames' own size; the stream's frame rectangle must lie within it.
bool FrameRectangleFits(PAVISTREAM stream) {
    LONG size = 0;
    if (AVIStreamReadFormat(stream, movieFirstFrame, nullptr, &size) != 0 ||
        size < static_cast<LONG>(sizeof(BITMAPINFOHEADER))) {
        return false;
    }
    std::vector<unsigned char> format(static_cast<size_t>(size));
    if (AVIStreamReadFormat(stream, movieFirstFrame, format.data(), &size) != 0) return false;
    BITMAPINFOHEADER header;
    std::memcpy(&header, format.data(), sizeof(header));
    return movieFrameWidth <= header.biWidth &&
           movieFrameHeight <= std::abs(int64_t{header.biHeight});
}

template <typename Handle, typename Release>
void ReleaseOnce(Handle& handle, Release release) {
    if (handle != nullptr) release(std::exchange(handle, nullptr));
}

}  // namespace

bool AviChunkSizesValid(const char* fileName) {
    std::ifstream file(fileName, std::ios::binary);
    if (!file) return false;
    int visited = 0;
    return ChunksValid(file, 0, UINT64_MAX, 0, visited);
}

int MovieFrameAt(double elapsedMs, double durationMs, int frameCount) {
    const double position = elapsedMs / durationMs * frameCount;
    // Compared as doubles: a long stall must not overflow the conversion to int.
    if (!(position >= 0.0)) return 0;
    if (position >= frameCount) return frameCount - 1;
    return static_cast<int>(position);
}

const unsigned char* PackedBitmapPixels(const BITMAPINFOHEADER* header) {
    size_t colours = header->biClrUsed;
    if (colours == 0 && header->biBitCount <= 8) colours = size_t{1} << header->biBitCount;
    size_t masks = 0;
    if (header->biSize == sizeof(BITMAPINFOHEADER) && header->biCompression == BI_BITFIELDS)
        masks = 3;
    return reinterpret_cast<const unsigned char*>(header) + header->biSize +
           (colours + masks) * sizeof(RGBQUAD);
}

void SwapRedBlue(unsigned char* pixels) {
    for (int i = 0; i < MOVIE_SURFACE_PIXELS; ++i) std::swap(pixels[i * 3], pixels[i * 3 + 2]);
}

bool OpenRandomMovie() {
    // A movie left open would otherwise lose its handles here.
    CloseMovieAndSound();
    movieSoundOn = false;
    movieElapsedMs = 0.0;
    frameDrawer = DrawDibOpen();
    char name[MEDIA_NAME_SIZE];
    if (!PickRandomMediaFile(saverSettings.aviPath, name, "*.avi")) return false;
    if (!SetCurrentDirectoryA(saverSettings.aviPath)) return false;
    if (!OpenMovieFile(name)) return false;
    glGenTextures(1, &textureSlots[MOVIE_TEXTURE_SLOT]);
    glBindTexture(GL_TEXTURE_2D, textureSlots[MOVIE_TEXTURE_SLOT]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, MOVIE_SURFACE_WIDTH, MOVIE_SURFACE_HEIGHT, 0, GL_RGB,
                 GL_UNSIGNED_BYTE, surfaceBits);
    movieTextureFrame = -1;
    holoHalfWidth = static_cast<float>(movieFrameWidth) / static_cast<float>(movieFrameHeight);
    return true;
}

bool OpenMovieFile(const char* fileName) {
    if (!aviLibraryOpen) {
        AVIFileInit();
        aviLibraryOpen = true;
    }
    if (!AviChunkSizesValid(fileName)) return false;
    if (AVIStreamOpenFromFileA(&videoStream, fileName, streamtypeVIDEO, 0, OF_READ, nullptr) != 0) {
        videoStream = nullptr;
        return false;
    }
    AVISTREAMINFOA info{};
    if (AVIStreamInfoA(videoStream, &info, sizeof(info)) != 0) return false;
    movieFrameWidth = info.rcFrame.right - info.rcFrame.left;
    movieFrameHeight = info.rcFrame.bottom - info.rcFrame.top;
    movieFirstFrame = AVIStreamStart(videoStream);
    movieFrameCount = AVIStreamLength(videoStream);
    // Nothing in the file is trusted: an empty frame, no frames or no time base leave no frame
    // to show and no proportions for the hologram (and the library divides by the time base).
    if (info.dwScale == 0 || info.dwRate == 0) return false;
    if (movieFrameWidth <= 0 || movieFrameHeight <= 0 || movieFrameCount <= 0 ||
        movieFirstFrame < 0 || int64_t{movieFirstFrame} + movieFrameCount > LONG_MAX) {
        return false;
    }
    movieDurationMs = AVIStreamSampleToTime(videoStream, movieFirstFrame + movieFrameCount);
    if (movieDurationMs <= 0.0 || !FrameRectangleFits(videoStream)) return false;
    if (!CreateFrameSurface()) return false;
    frameDecoder = AVIStreamGetFrameOpen(videoStream, nullptr);
    if (frameDecoder == nullptr) return false;
    if (saverSettings.playAviSound) OpenAudioStream(fileName);
    return true;
}

void AdvanceMovie(int slot) {
    movieElapsedMs += frameDelta * 1000.0;
    movieFrameIndex = MovieFrameAt(movieElapsedMs, movieDurationMs, movieFrameCount);
    // Frames come faster than the movie's own: most of them show the frame already uploaded.
    if (movieFrameIndex == movieTextureFrame) return;
    glBindTexture(GL_TEXTURE_2D, textureSlots[slot]);
    if (!DecodeMovieFrame(movieFrameIndex)) {
        CloseMovieAndSound();
        movieActive = false;
        holdUntil = frameTime;
        return;
    }
    movieTextureFrame = movieFrameIndex;
}

bool DecodeMovieFrame(int frameIndex) {
    if (frameDecoder == nullptr || frameDrawer == nullptr || surfaceBits == nullptr) return false;
    const auto* header = static_cast<const BITMAPINFOHEADER*>(
        AVIStreamGetFrame(frameDecoder, movieFirstFrame + frameIndex));
    if (header == nullptr) return false;
    if (!DrawDibDraw(frameDrawer, movieDC, 0, 0, MOVIE_SURFACE_WIDTH, MOVIE_SURFACE_HEIGHT,
                     const_cast<BITMAPINFOHEADER*>(header),
                     const_cast<unsigned char*>(PackedBitmapPixels(header)), 0, 0, movieFrameWidth,
                     movieFrameHeight, 0)) {
        return false;
    }
    GdiFlush();
    SwapRedBlue(surfaceBits);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, MOVIE_SURFACE_WIDTH, MOVIE_SURFACE_HEIGHT, GL_RGB,
                    GL_UNSIGNED_BYTE, surfaceBits);
    return true;
}

void RestartMovie() {
    movieFrameIndex = 0;
    if (movieSoundOn) StopMovieSound();
    movieElapsedMs = 0.0;
    if (movieSoundOn) {
        movieSoundOn = StartMovieSound(saverWindow, audioStream, -1, -1);
        if (!movieSoundOn) StopMovieSound();
    }
}

void CloseMovie() {
    if (frameSurface != nullptr) {
        // A bitmap still selected into a context cannot be deleted.
        SelectObject(movieDC, std::exchange(movieDCBitmap, nullptr));
        DeleteObject(std::exchange(frameSurface, nullptr));
        surfaceBits = nullptr;
    }
    ReleaseOnce(frameDrawer, DrawDibClose);
    ReleaseOnce(frameDecoder, AVIStreamGetFrameClose);
    ReleaseOnce(videoStream, AVIStreamRelease);
    ReleaseOnce(audioStream, AVIStreamRelease);
    movieSoundOn = false;
    if (std::exchange(aviLibraryOpen, false)) AVIFileExit();
}

void CloseMovieAndSound() {
    CloseMovie();
    StopMovieSound();
}
