#include "media/movie.h"

#include <GL/gl.h>
#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>
#include <utility>
#include "host/handles.h"
#include "textures/file_threads.h"
#include "media/avi_structure.h"
#include "media/cinepak_frame.h"
#include "media/sound.h"
#include "render/frame_clock.h"

MoviePlayer moviePlayer;

// A movie file on its way to the platform: the file thread fills in its structure, then marks
// it done.
struct MovieCheck {
    std::wstring path;
    bool withSound = false;
    AviCheck structure = AviRefusal::NotAvi;
    std::atomic<bool> done{false};
};

namespace {

// A decoder's own colour table has at most 256 colours.
constexpr size_t PACKED_COLOUR_LIMIT = 256;
// A Cinepak frame's length field has 24 bits.
constexpr LONG CINEPAK_FRAME_LIMIT = 1 << 24;

// Makes the folder the current directory; one too long for that is entered by its short form
// where the volume keeps one.
bool EnterFolder(const std::wstring& folder) {
    if (SetCurrentDirectoryW(folder.c_str())) return true;
    wchar_t shortForm[MAX_PATH];
    const DWORD length = GetShortPathNameW(LongPathForm(folder).c_str(), shortForm, MAX_PATH);
    return length > 0 && length < MAX_PATH && SetCurrentDirectoryW(shortForm);
}

}  // namespace

AviCheck CheckMovieFile(const std::wstring& path) {
    const FileHandle file = OpenFileToRead(path);
    LARGE_INTEGER size{};
    if (file == nullptr || !GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) {
        return AviRefusal::NotAvi;
    }
    return CheckAviStructure(static_cast<uint64_t>(size.QuadPart),
                             [&](uint64_t offset, void* out, size_t count) {
                                 return ReadAt(file.get(), offset, out, count);
                             });
}

namespace {

bool CreateFrameSurface() {
    if (moviePlayer.movieDC == nullptr) moviePlayer.movieDC = CreateCompatibleDC(nullptr);
    if (moviePlayer.movieDC == nullptr) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = MOVIE_SURFACE_WIDTH;
    info.bmiHeader.biHeight = MOVIE_SURFACE_HEIGHT;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    moviePlayer.frameSurface =
        CreateDIBSection(moviePlayer.movieDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (moviePlayer.frameSurface == nullptr) return false;
    moviePlayer.surfaceBits = static_cast<unsigned char*>(bits);
    moviePlayer.movieDCBitmap = SelectObject(moviePlayer.movieDC, moviePlayer.frameSurface);
    return true;
}

// `indexed`: the samples of the sound that the file's index holds; none leaves the movie silent.
void OpenAudioStream(const wchar_t* fileName, int64_t indexed) {
    if (indexed <= 0) return;
    moviePlayer.movieSoundOn = AVIStreamOpenFromFileW(&moviePlayer.audioStream, fileName,
                                                      streamtypeAUDIO, 0, OF_READ, nullptr) == 0;
    if (!moviePlayer.movieSoundOn) {
        moviePlayer.audioStream = nullptr;
        return;
    }
    const int64_t samples = std::min<int64_t>(AVIStreamLength(moviePlayer.audioStream), indexed);
    moviePlayer.movieSoundEnd = static_cast<LONG>(
        std::min<int64_t>(AVIStreamStart(moviePlayer.audioStream) + samples, LONG_MAX));
}

// The video format as the platform reports it: the frames' own size must hold the stream's frame
// rectangle, and the format's size bounds what a decoded frame's header may claim.
bool VideoFormatFits(PAVISTREAM stream) {
    LONG size = 0;
    if (AVIStreamReadFormat(stream, moviePlayer.movieFirstFrame, nullptr, &size) != 0 ||
        size < static_cast<LONG>(sizeof(BITMAPINFOHEADER))) {
        return false;
    }
    std::vector<unsigned char> format(static_cast<size_t>(size));
    if (AVIStreamReadFormat(stream, moviePlayer.movieFirstFrame, format.data(), &size) != 0)
        return false;
    moviePlayer.movieFormatSize = static_cast<LONG>(format.size());
    BITMAPINFOHEADER header;
    std::memcpy(&header, format.data(), sizeof(header));
    // The platform picks the decoder whatever the code's case.
    moviePlayer.cinepakFrames = (header.biCompression | 0x20202020) == CINEPAK_FOURCC;
    moviePlayer.checkedFrames = 0;
    moviePlayer.formatWidth = header.biWidth;
    moviePlayer.formatHeight = static_cast<int>(std::abs(int64_t{header.biHeight}));
    return moviePlayer.movieFrameWidth <= header.biWidth &&
           moviePlayer.movieFrameHeight <= std::abs(int64_t{header.biHeight});
}

// The decoder decodes every frame from the last key frame up to the one asked for: all of them
// are checked before it sees any.
bool FramesCheckedUpTo(int frameIndex) {
    for (; moviePlayer.cinepakFrames && moviePlayer.checkedFrames <= frameIndex;
         ++moviePlayer.checkedFrames) {
        if (moviePlayer.checkedFrames >= moviePlayer.readableFrames) return false;
        const LONG at = moviePlayer.movieFirstFrame + moviePlayer.checkedFrames;
        LONG bytes = 0;
        if (AVIStreamRead(moviePlayer.videoStream, at, 1, nullptr, 0, &bytes, nullptr) != 0 ||
            bytes < 0 || bytes > CINEPAK_FRAME_LIMIT) {
            return false;
        }
        std::vector<unsigned char> frame(static_cast<size_t>(bytes));
        if (bytes > 0 && AVIStreamRead(moviePlayer.videoStream, at, 1, frame.data(), bytes, &bytes,
                                       nullptr) != 0) {
            return false;
        }
        frame.resize(static_cast<size_t>(std::clamp<LONG>(bytes, 0, frame.size())));
        if (!CheckCinepakFrame(frame, moviePlayer.formatWidth, moviePlayer.formatHeight))
            return false;
    }
    return true;
}

template <typename Handle, typename Release>
void ReleaseOnce(Handle& handle, Release release) {
    if (handle != nullptr) release(std::exchange(handle, nullptr));
}

// The movie's own open on the show's thread, once its structure is known.
std::optional<LoadedPicture> OpenCheckedMovie(const std::wstring& path, bool withSound,
                                              const AviStructure& structure) {
    // A movie left open would otherwise lose its handles here.
    CloseMovieAndSound();
    moviePlayer.movieSoundOn = false;
    moviePlayer.movieElapsedMs = 0.0;
    moviePlayer.frameDrawer = DrawDibOpen();
    // Opened by its own name from its folder: see OpenMovieFile.
    const size_t split = path.find_last_of(L"\\/") + 1;
    const std::wstring name = path.substr(split);
    if (!EnterFolder(path.substr(0, split)) || !OpenMovieFile(name.c_str(), withSound, structure)) {
        return std::nullopt;
    }
    LoadedPicture movie;
    movie.texture = UploadTexture(MOVIE_SURFACE_WIDTH, MOVIE_SURFACE_HEIGHT, GL_RGB,
                                  moviePlayer.surfaceBits, true);
    moviePlayer.movieTextureFrame = -1;
    movie.size = {static_cast<double>(moviePlayer.movieFrameWidth),
                  static_cast<double>(moviePlayer.movieFrameHeight)};
    movie.name = name;
    return movie;
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

bool StartMovie(const std::wstring& path, bool withSound) {
    auto check = std::make_shared<MovieCheck>();
    check->path = path;
    check->withSound = withSound;
    if (!StartFileThread([check] {
            check->structure = CheckMovieFile(check->path);
            check->done = true;
        })) {
        return false;
    }
    moviePlayer.pendingCheck = std::move(check);
    return true;
}

PictureDecode FinishMovie(LoadedPicture& movie) {
    const std::shared_ptr<MovieCheck> check = moviePlayer.pendingCheck;
    if (check == nullptr) return PictureDecode::Idle;
    if (!check->done) return PictureDecode::Pending;
    moviePlayer.pendingCheck.reset();
    const std::optional<LoadedPicture> opened =
        check->structure ? OpenCheckedMovie(check->path, check->withSound, *check->structure)
                         : std::nullopt;
    if (!opened) {
        CloseMovieAndSound();
        return PictureDecode::Failed;
    }
    movie = *opened;
    return PictureDecode::Loaded;
}

std::optional<LoadedPicture> OpenMovie(const std::wstring& path, bool withSound) {
    if (!StartMovie(path, withSound)) return std::nullopt;
    LoadedPicture movie;
    if (AwaitLoad([&] { return FinishMovie(movie); }) != PictureDecode::Loaded) return std::nullopt;
    return movie;
}

bool OpenMovieFile(const wchar_t* longName, bool withSound, const AviStructure& structure) {
    if (!moviePlayer.aviLibraryOpen) {
        AVIFileInit();
        moviePlayer.aviLibraryOpen = true;
    }
    // Wine's AVI library writes the file's name into a fixed-size field of each stream and runs
    // past it for names of about 58 characters or more; the short (8.3) name, where the volume
    // keeps one, is always safe.
    wchar_t shortName[MAX_PATH];
    const DWORD shortLength = GetShortPathNameW(longName, shortName, MAX_PATH);
    const wchar_t* fileName = shortLength > 0 && shortLength < MAX_PATH ? shortName : longName;
    moviePlayer.readableFrames = structure.videoSamples;
    if (AVIStreamOpenFromFileW(&moviePlayer.videoStream, fileName, streamtypeVIDEO, 0, OF_READ,
                               nullptr) != 0) {
        moviePlayer.videoStream = nullptr;
        return false;
    }
    AVISTREAMINFOA info{};
    if (AVIStreamInfoA(moviePlayer.videoStream, &info, sizeof(info)) != 0) return false;
    moviePlayer.movieFrameWidth = info.rcFrame.right - info.rcFrame.left;
    moviePlayer.movieFrameHeight = info.rcFrame.bottom - info.rcFrame.top;
    moviePlayer.movieFirstFrame = AVIStreamStart(moviePlayer.videoStream);
    moviePlayer.movieFrameCount = AVIStreamLength(moviePlayer.videoStream);
    // Nothing in the file is trusted: an empty frame, no frames or no time base leave no frame
    // to show and no proportions for the hologram (and the library divides by the time base).
    if (info.dwScale == 0 || info.dwRate == 0) return false;
    if (moviePlayer.movieFrameWidth <= 0 || moviePlayer.movieFrameHeight <= 0 ||
        moviePlayer.movieFrameCount <= 0 || moviePlayer.movieFirstFrame < 0 ||
        int64_t{moviePlayer.movieFirstFrame} + moviePlayer.movieFrameCount > LONG_MAX) {
        return false;
    }
    moviePlayer.movieDurationMs = AVIStreamSampleToTime(
        moviePlayer.videoStream, moviePlayer.movieFirstFrame + moviePlayer.movieFrameCount);
    if (moviePlayer.movieDurationMs <= 0.0 || !VideoFormatFits(moviePlayer.videoStream))
        return false;
    if (!CreateFrameSurface()) return false;
    moviePlayer.frameDecoder = AVIStreamGetFrameOpen(moviePlayer.videoStream, nullptr);
    if (moviePlayer.frameDecoder == nullptr) return false;
    if (withSound) OpenAudioStream(fileName, structure.audioSamples);
    return true;
}

bool AdvanceMovie(uint32_t texture) {
    moviePlayer.movieElapsedMs += frameClock.frameDelta * 1000.0;
    moviePlayer.movieFrameIndex = MovieFrameAt(
        moviePlayer.movieElapsedMs, moviePlayer.movieDurationMs, moviePlayer.movieFrameCount);
    // Frames come faster than the movie's own: most of them show the frame already uploaded.
    if (moviePlayer.movieFrameIndex == moviePlayer.movieTextureFrame) return true;
    glBindTexture(GL_TEXTURE_2D, texture);
    if (!DecodeMovieFrame(moviePlayer.movieFrameIndex)) {
        CloseMovieAndSound();
        return false;
    }
    moviePlayer.movieTextureFrame = moviePlayer.movieFrameIndex;
    return true;
}

bool DecodeMovieFrame(int frameIndex) {
    if (moviePlayer.frameDecoder == nullptr || moviePlayer.frameDrawer == nullptr ||
        moviePlayer.surfaceBits == nullptr || !FramesCheckedUpTo(frameIndex)) {
        return false;
    }
    const auto* header = static_cast<const BITMAPINFOHEADER*>(
        AVIStreamGetFrame(moviePlayer.frameDecoder, moviePlayer.movieFirstFrame + frameIndex));
    if (header == nullptr) return false;
    const unsigned char* pixels =
        PackedBitmapPixels(header, static_cast<size_t>(moviePlayer.movieFormatSize));
    if (pixels == nullptr) return false;
    if (!DrawDibDraw(moviePlayer.frameDrawer, moviePlayer.movieDC, 0, 0, MOVIE_SURFACE_WIDTH,
                     MOVIE_SURFACE_HEIGHT, const_cast<BITMAPINFOHEADER*>(header),
                     const_cast<unsigned char*>(pixels), 0, 0, moviePlayer.movieFrameWidth,
                     moviePlayer.movieFrameHeight, 0)) {
        return false;
    }
    GdiFlush();
    SwapRedBlue(moviePlayer.surfaceBits);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, MOVIE_SURFACE_WIDTH, MOVIE_SURFACE_HEIGHT, GL_RGB,
                    GL_UNSIGNED_BYTE, moviePlayer.surfaceBits);
    return true;
}

void RestartMovie() {
    moviePlayer.movieFrameIndex = 0;
    if (moviePlayer.movieSoundOn) StopMovieSound();
    moviePlayer.movieElapsedMs = 0.0;
    if (moviePlayer.movieSoundOn) {
        moviePlayer.movieSoundOn = StartMovieSound(moviePlayer.soundWindow, moviePlayer.audioStream,
                                                   -1, moviePlayer.movieSoundEnd);
        if (!moviePlayer.movieSoundOn) StopMovieSound();
    }
}

void CloseMovie() {
    if (moviePlayer.frameSurface != nullptr) {
        // A bitmap still selected into a context cannot be deleted.
        SelectObject(moviePlayer.movieDC, std::exchange(moviePlayer.movieDCBitmap, nullptr));
        DeleteObject(std::exchange(moviePlayer.frameSurface, nullptr));
        moviePlayer.surfaceBits = nullptr;
    }
    ReleaseOnce(moviePlayer.frameDrawer, DrawDibClose);
    ReleaseOnce(moviePlayer.frameDecoder, AVIStreamGetFrameClose);
    ReleaseOnce(moviePlayer.videoStream, AVIStreamRelease);
    ReleaseOnce(moviePlayer.audioStream, AVIStreamRelease);
    moviePlayer.movieSoundOn = false;
    if (std::exchange(moviePlayer.aviLibraryOpen, false)) AVIFileExit();
}

void CloseMovieAndSound() {
    CloseMovie();
    StopMovieSound();
}
