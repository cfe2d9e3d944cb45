// The OpenGL child window, its pixel format, palette and rendering context.
#pragma once
#include <windows.h>
#include <vector>

extern HWND glWindow;
extern HDC glDC;
extern HGLRC glContext;
extern HPALETTE glPalette;
extern PIXELFORMATDESCRIPTOR pixelFormat;

HWND CreateRenderWindow(int x, int y, int width, int height, HWND parent);
// The logical palette for a chosen format that needs one; systemEntries holds the system
// palette's first entries (as many as the palette gets).
std::vector<PALETTEENTRY> BuildPaletteEntries(const PIXELFORMATDESCRIPTOR& format,
                                              const std::vector<PALETTEENTRY>& systemEntries);
// Number of palette entries a format gets: 2^cColorBits, at most 256.
int PaletteEntryCount(const PIXELFORMATDESCRIPTOR& format);
