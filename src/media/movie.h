// Movies of the media folder decoded frame by frame into the hologram's texture.
#pragma once
#include <windows.h>
#include <vfw.h>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include "media/avi_structure.h"
#include "textures/texture_loader.h"

constexpr int MOVIE_SURFACE_WIDTH = 256;
constexpr int MOVIE_SURFACE_HEIGHT = 128;
constexpr int MOVIE_SURFACE_PIXELS = MOVIE_SURFACE_WIDTH * MOVIE_SURFACE_HEIGHT;

struct MovieCheck;

// The open movie (at most one), its decoding and its playing time.
struct MoviePlayer {
    // Kept for the whole run once made; the surfaces of all movies are selected into it.
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
    // The frame the movie texture holds; -1 while it holds none.
    int movieTextureFrame = -1;
    bool movieSoundOn = false;
    // The video stream's first sample: frame indices count from it.
    LONG movieFirstFrame = 0;
    // The bitmap movieDC held before the frame surface was selected into it.
    HGDIOBJ movieDCBitmap = nullptr;
    // Whether the open movie holds a reference on the AVI file library.
    bool aviLibraryOpen = false;
    // The size of the video stream's format as the platform reports it.
    LONG movieFormatSize = 0;
    // The sample after the last one of the sound that the file's index holds.
    LONG movieSoundEnd = 0;
    // The platform's Cinepak decoder trusts its frames' strips: checkedFrames frames from the
    // first have been checked against the format's own image size.
    bool cinepakFrames = false;
    int checkedFrames = 0;
    // Frames the platform can read without aborting: those the index holds.
    int64_t readableFrames = 0;
    int formatWidth = 0;
    int formatHeight = 0;
    // The window the sound device reports its played buffers to.
    HWND soundWindow = nullptr;
    // The file being checked before the platform opens it; none when nothing is pending.
    std::shared_ptr<MovieCheck> pendingCheck;
};

extern MoviePlayer moviePlayer;

// The structure of a movie file, read through the file's own handle.
AviCheck CheckMovieFile(const std::wstring& path);
// The one way into a movie file: its structure is checked on a file thread (the check reads its
// headers and its whole index); then the platform opens it (with its sound when asked) and its
// texture of MOVIE_SURFACE_WIDTH x MOVIE_SURFACE_HEIGHT is made, whose row 0 is the frame's
// bottom row. False, with nothing started, when no thread can be started; a check still
// pending is forgotten.
bool StartMovie(const std::wstring& path, bool withSound);
// Pending while the check runs; then, once, Loaded with `movie` filled (its size is the frame's
// own) or Failed, with the movie closed. Idle when nothing is pending.
PictureDecode FinishMovie(LoadedPicture& movie);
// Both in one, waiting for the check.
std::optional<LoadedPicture> OpenMovie(const std::wstring& path, bool withSound);
// Opens the streams, the surface and the decoder (and the sound stream when asked) for a file in
// the current directory whose structure has been checked.
bool OpenMovieFile(const wchar_t* fileName, bool withSound, const AviStructure& structure);
// Moves the playing time on by the frame's step and puts the frame for it into `texture`;
// false, with the movie closed, when decoding fails.
bool AdvanceMovie(uint32_t texture);
bool DecodeMovieFrame(int frameIndex);
void RestartMovie();
void CloseMovie();
void CloseMovieAndSound();
void SwapRedBlue(unsigned char* pixels);

// The frame on show after `elapsedMs` of a movie lasting `durationMs` with `frameCount`
// frames: 0 before the start, the last frame once the movie is over.
int MovieFrameAt(double elapsedMs, double durationMs, int frameCount);
// Where a decoded frame's pixels start: after its header, colour table and colour masks; null
// when these claim more than a stream format of `formatSize` bytes or a 256-colour table holds.
const unsigned char* PackedBitmapPixels(const BITMAPINFOHEADER* header, size_t formatSize);
