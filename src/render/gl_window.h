// The OpenGL child window, its pixel format, palette and rendering context.
#pragma once
#include <windows.h>
#include <vector>

// 16-bit colour, 16-bit depth, double buffered, drawn by OpenGL into a window.
constexpr PIXELFORMATDESCRIPTOR REQUESTED_PIXEL_FORMAT{
    sizeof(PIXELFORMATDESCRIPTOR),
    1,
    PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER,
    PFD_TYPE_RGBA,
    16,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    16,
    0,
    0,
    PFD_MAIN_PLANE,
    0,
    0,
    0,
    0};

// The OpenGL child window and what draws into it.
struct RenderWindow {
    HWND glWindow = nullptr;
    HDC glDC = nullptr;
    HGLRC glContext = nullptr;
    HPALETTE glPalette = nullptr;
    // The format asked for; once chosen, the format the window got.
    PIXELFORMATDESCRIPTOR pixelFormat = REQUESTED_PIXEL_FORMAT;
};

extern RenderWindow renderWindow;

// The window of class "OpenGL Window" with `procedure`, its pixel format, palette and current
// rendering context; null (after telling the user why) when any of them cannot be made.
HWND CreateRenderWindow(int x, int y, int width, int height, HWND parent, WNDPROC procedure);
// The logical palette for a chosen format that needs one; systemEntries holds the system
// palette's first entries (as many as the palette gets).
std::vector<PALETTEENTRY> BuildPaletteEntries(const PIXELFORMATDESCRIPTOR& format,
                                              const std::vector<PALETTEENTRY>& systemEntries);
// Number of palette entries a format gets: 2^cColorBits, at most 256.
int PaletteEntryCount(const PIXELFORMATDESCRIPTOR& format);
