// Movies of the media folder decoded frame by frame into the hologram's texture.
#pragma once
#include <windows.h>
#include <vfw.h>

constexpr int MOVIE_SURFACE_WIDTH = 256;
constexpr int MOVIE_SURFACE_HEIGHT = 128;
constexpr int MOVIE_SURFACE_PIXELS = MOVIE_SURFACE_WIDTH * MOVIE_SURFACE_HEIGHT;
constexpr int MOVIE_TEXTURE_SLOT = 2;

extern HDC movieDC;
extern HDRAWDIB frameDrawer;
extern PAVISTREAM videoStream;
extern PAVISTREAM audioStream;
extern PGETFRAME frameDecoder;
extern HBITMAP frameSurface;
extern unsigned char* surfaceBits;
extern int movieFrameWidth;
extern int movieFrameHeight;
extern int movieFrameCount;
extern double movieDurationMs;
extern double movieElapsedMs;
extern int movieFrameIndex;
// The frame the movie texture holds; -1 while it holds none.
extern int movieTextureFrame;
extern bool movieSoundOn;
// The video stream's first sample: frame indices count from it.
extern LONG movieFirstFrame;
// The bitmap movieDC held before the frame surface was selected into it.
extern HGDIOBJ movieDCBitmap;
// Whether the open movie holds a reference on the AVI file library.
extern bool aviLibraryOpen;
// The size of the video stream's format as the platform reports it.
extern LONG movieFormatSize;
// The sample after the last one of the sound that the file's index holds.
extern LONG movieSoundEnd;

bool OpenRandomMovie();
bool OpenMovieFile(const char* fileName);
void AdvanceMovie(int slot);
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
