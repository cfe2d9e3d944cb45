// The saver's creation path in a window of a given size, outside the saver's message loop,
// for tools that render frames on demand.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>

// A top-level popup window of the given client size standing in for the saver window.
HWND CreateStandInWindow(int width, int height);
// Writes the current back buffer (width x height) as a 24-bit BMP file.
bool WriteBackBufferBmp(const std::string& path, int width, int height);
