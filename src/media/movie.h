// Movies of the media folder decoded frame by frame into the hologram's texture.
#pragma once
#include <windows.h>

extern HDC movieDC;
extern double movieDurationMs;

bool OpenRandomMovie();
bool OpenMovieFile(const char* fileName);
void AdvanceMovie(int slot);
bool DecodeMovieFrame(int frameIndex);
void RestartMovie();
void CloseMovie();
void CloseMovieAndSound();
void SwapRedBlue(unsigned char* pixels);
