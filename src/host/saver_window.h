// The saver window and its message loop.
#pragma once
#include <windows.h>
#include "host/saver.h"

int RunSaverWindow(HWND parent);
// The message loop of the saver window, with frames paced to the display; returns the quit
// message's code.
int RunMessageLoop();
LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
