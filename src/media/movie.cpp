#include "media/movie.h"

#include <GL/gl.h>
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>
#include <utility>
#include "host/saver_window.h"
#include "media/avi_structure.h"
#include "media/cinepak_frame.h"
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
LONG movieFormatSize = 0;
LONG movieSoundEnd = 0;

namespace {

// A decoder's own colour table has at most 256 colours.
constexpr size_t PACKED_COLOUR_LIMIT = 256;
// A Cinepak frame's length field has 24 bits.
constexpr LONG CINEPAK_FRAME_LIMIT = 1 << 24;

// The platform's Cinepak decoder trusts its frames' strips: checkedFrames frames from the first
// have been checked against the format's own image size.
bool cinepakFrames = false;
int checkedFrames = 0;
// Frames the platform can read without aborting: those the index holds.
int64_t readableFrames = 0;
int formatWidth = 0;
int formatHeight = 0;

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

// `indexed`: the samples of the sound that the file's index holds; none leaves the movie silent.
void OpenAudioStream(const char* fileName, int64_t indexed) {
    if (indexed <= 0) return;
    movieSoundOn =
        AVIStreamOpenFromFileA(&audioStream, fileName, streamtypeAUDIO, 0, OF_READ, nullptr) == 0;
    if (!movieSoundOn) {
        audioStream = nullptr;
        return;
    }
    const int64_t samples = std::min<int64_t>(AVIStreamLength(audioStream), indexed);
    movieSoundEnd =
        static_cast<LONG>(std::min<int64_t>(AVIStreamStart(audioStream) + samples, LONG_MAX));
}

// The video format as the platform reports it: the frames' own size must hold the stream's frame
// rectangle, and the format's size bounds what a decoded frame's header may claim.
bool VideoFormatFits(PAVISTREAM stream) {
    LONG size = 0;
    if (AVIStreamReadFormat(stream, movieFirstFrame, nullptr, &size) != 0 ||
        size < static_cast<LONG>(sizeof(BITMAPINFOHEADER))) {
        return false;
    }
    std::vector<unsigned char> format(static_cast<size_t>(size));
    if (AVIStreamReadFormat(stream, movieFirstFrame, format.data(), &size) != 0) return false;
    movieFormatSize = static_cast<LONG>(format.size());
    BITMAPINFOHEADER header;
    std::memcpy(&header, format.data(), sizeof(header));
    // The platform picks the decoder whatever the code's case.
    cinepakFrames = (header.biCompression | 0x20202020) == CINEPAK_FOURCC;
    checkedFrames = 0;
    formatWidth = header.biWidth;
    formatHeight = static_cast<int>(std::abs(int64_t{header.biHeight}));
    return movieFrameWidth <= header.biWidth &&
           movieFrameHeight <= std::abs(int64_t{header.biHeight});
}

// The decoder decodes every frame from the last key frame up to the one asked for: all of them
// are checked before it sees any.
bool FramesCheckedUpTo(int frameIndex) {
    for (; cinepakFrames && checkedFrames <= frameIndex; ++checkedFrames) {
        if (checkedFrames >= readableFrames) return false;
        const LONG at = movieFirstFrame + checkedFrames;
        LONG bytes = 0;
        if (AVIStreamRead(videoStream, at, 1, nullptr, 0, &bytes, nullptr) != 0 || bytes < 0 ||
            bytes > CINEPAK_FRAME_LIMIT) {
            return false;
        }
        std::vector<unsigned char> frame(static_cast<size_t>(bytes));
        if (bytes > 0 &&
            AVIStreamRead(videoStream, at, 1, frame.data(), bytes, &bytes, nullptr) != 0) {
            return false;
        }
        frame.resize(static_cast<size_t>(std::clamp<LONG>(bytes, 0, frame.size())));
        if (!CinepakFrameValid(frame, formatWidth, formatHeight)) return false;
    }
    return true;
}

template <typename Handle, typename Release>
void ReleaseOnce(Handle& handle, Release release) {
    if (handle != nullptr) release(std::exchange(handle, nullptr));
}

}  // namespace

int MovieFrameAt(double elapsedMs, double durationMs, int frameCount) {
    const double position = elapsedMs / durationMs * frameCount;
    // Compared as doubles: a long stall must not overflow the conversion to int.
    if (!(position >= 0.0)) return 0;
    if (position >= frameCount) return frameCount - 1;
    return static_cast<int>(position);
}

const unsigned char* PackedBitmapPixels(const BITMAPINFOHEADER* header, size_t formatSize) {
    // The header and colour table are the stream's format, or the decoder's own: a plain header
    // with at most 256 colours.
    const size_t limit =
        std::max(formatSize, sizeof(BITMAPINFOHEADER) + PACKED_COLOUR_LIMIT * sizeof(RGBQUAD));
    uint64_t colours = header->biClrUsed;
    if (colours == 0 && header->biBitCount <= 8) colours = uint64_t{1} << header->biBitCount;
    if (header->biSize == sizeof(BITMAPINFOHEADER) && header->biCompression == BI_BITFIELDS)
        colours += 3;
    const uint64_t offset = uint64_t{header->biSize} + colours * sizeof(RGBQUAD);
    if (header->biSize < sizeof(BITMAPINFOHEADER) || offset > limit) return nullptr;
    return reinterpret_cast<const unsigned char*>(header) + offset;
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

bool OpenMovieFile(const char* longName) {
    if (!aviLibraryOpen) {
        AVIFileInit();
        aviLibraryOpen = true;
    }
    // Wine's AVI library writes the file's name into a fixed-size field of each stream and runs
    // past it for names of about 58 characters or more; the short (8.3) name is always safe.
    char shortName[MAX_PATH];
    const DWORD shortLength = GetShortPathNameA(longName, shortName, sizeof(shortName));
    const char* fileName =
        shortLength > 0 && shortLength < sizeof(shortName) ? shortName : longName;
    const AviStructure structure = CheckAviFile(fileName);
    if (!structure.valid) return false;
    readableFrames = structure.videoSamples;
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
    if (movieDurationMs <= 0.0 || !VideoFormatFits(videoStream)) return false;
    if (!CreateFrameSurface()) return false;
    frameDecoder = AVIStreamGetFrameOpen(videoStream, nullptr);
    if (frameDecoder == nullptr) return false;
    if (saverSettings.playAviSound) OpenAudioStream(fileName, structure.audioSamples);
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
    if (frameDecoder == nullptr || frameDrawer == nullptr || surfaceBits == nullptr ||
        !FramesCheckedUpTo(frameIndex)) {
        return false;
    }
    const auto* header = static_cast<const BITMAPINFOHEADER*>(
        AVIStreamGetFrame(frameDecoder, movieFirstFrame + frameIndex));
    if (header == nullptr) return false;
    const unsigned char* pixels = PackedBitmapPixels(header, static_cast<size_t>(movieFormatSize));
    if (pixels == nullptr) return false;
    if (!DrawDibDraw(frameDrawer, movieDC, 0, 0, MOVIE_SURFACE_WIDTH, MOVIE_SURFACE_HEIGHT,
                     const_cast<BITMAPINFOHEADER*>(header), const_cast<unsigned char*>(pixels), 0,
                     0, movieFrameWidth, movieFrameHeight, 0)) {
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
        movieSoundOn = StartMovieSound(saverWindow, audioStream, -1, movieSoundEnd);
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
