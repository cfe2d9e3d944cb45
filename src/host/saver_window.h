// The saver window and its message loop.
#pragma once
#include <windows.h>
#include "host/monitors.h"
#include "host/saver.h"

int RunSaverWindow(HWND parent);
// The message loop of the saver window, with frames paced to the display; returns the quit
// message's code.
int RunMessageLoop();
// Puts the saver window at layout.window (in screen coordinates, or the parent's client ones
// for a preview), its scene at layout.scene and the overlay at `dpi`, the show going on.
void PlaceSaver(HWND window, const SaverLayout& layout, UINT dpi);
// From now on, full screen follows the displays when they change without a word, a preview
// its parent's size.
void WatchLayout(HWND window);
LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
