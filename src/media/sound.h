// A movie's sound streamed to the wave-out device.
#pragma once
#include <windows.h>
#include <vfw.h>

bool StartMovieSound(HWND window, PAVISTREAM stream, int start, int end);
LRESULT OnSoundBufferDone(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void StopMovieSound();
