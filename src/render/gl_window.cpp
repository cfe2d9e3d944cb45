#include "render/gl_window.h"

#include <algorithm>
#include "render/scene.h"

HWND glWindow = nullptr;
HDC glDC = nullptr;
HGLRC glContext = nullptr;
HPALETTE glPalette = nullptr;
PIXELFORMATDESCRIPTOR pixelFormat{sizeof(PIXELFORMATDESCRIPTOR),
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

namespace {

constexpr const char* RENDER_CLASS = "OpenGL Window";
constexpr BYTE PALETTE_NO_COLLAPSE = PC_NOCOLLAPSE;

HWND Fail(const char* text) {
    MessageBoxA(nullptr, text, "Error Creating Window", MB_ICONHAND | MB_OK);
    return nullptr;
}

void CreatePaletteIfNeeded() {
    if (!(pixelFormat.dwFlags & PFD_NEED_PALETTE) && pixelFormat.iPixelType != PFD_TYPE_COLORINDEX)
        return;
    const int count = PaletteEntryCount(pixelFormat);
    std::vector<PALETTEENTRY> system(count);
    GetSystemPaletteEntries(glDC, 0, count, system.data());
    const std::vector<PALETTEENTRY> entries = BuildPaletteEntries(pixelFormat, system);
    std::vector<BYTE> block(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * count);
    auto* palette = reinterpret_cast<LOGPALETTE*>(block.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(count);
    std::copy(entries.begin(), entries.end(), palette->palPalEntry);
    glPalette = CreatePalette(palette);
    if (glPalette != nullptr) {
        SelectPalette(glDC, glPalette, FALSE);
        RealizePalette(glDC);
    }
}

}  // namespace

int PaletteEntryCount(const PIXELFORMATDESCRIPTOR& format) {
    return format.cColorBits >= 8 ? 256 : 1 << format.cColorBits;
}

std::vector<PALETTEENTRY> BuildPaletteEntries(const PIXELFORMATDESCRIPTOR& format,
                                              const std::vector<PALETTEENTRY>& systemEntries) {
    const int count = PaletteEntryCount(format);
    std::vector<PALETTEENTRY> entries(count, PALETTEENTRY{});
    std::copy_n(systemEntries.begin(), std::min<size_t>(count, systemEntries.size()),
                entries.begin());
    if (format.iPixelType == PFD_TYPE_COLORINDEX) {
        constexpr PALETTEENTRY primaries[4] = {{0, 0, 0, PALETTE_NO_COLLAPSE},
                                               {255, 0, 0, PALETTE_NO_COLLAPSE},
                                               {0, 255, 0, PALETTE_NO_COLLAPSE},
                                               {0, 0, 255, PALETTE_NO_COLLAPSE}};
        std::copy_n(primaries, std::min(4, count), entries.begin());
        return entries;
    }
    const int redMax = (1 << format.cRedBits) - 1;
    const int greenMax = (1 << format.cGreenBits) - 1;
    const int blueMax = (1 << format.cBlueBits) - 1;
    auto ramp = [](int index, int shift, int max) {
        return static_cast<BYTE>(max > 0 ? ((index >> shift) & max) * 255 / max : 0);
    };
    for (int i = 0; i < count; ++i) {
        entries[i] = {ramp(i, format.cRedShift, redMax), ramp(i, format.cGreenShift, greenMax),
                      ramp(i, format.cBlueShift, blueMax), 0};
    }
    return entries;
}

HWND CreateRenderWindow(int x, int y, int width, int height, HWND parent) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass{};
    windowClass.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = RenderWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_WINLOGO);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = RENDER_CLASS;
    if (!RegisterClassA(&windowClass)) return Fail("Sorry dude. Can't register the window class.");

    HWND window = CreateWindowExA(0, RENDER_CLASS, "QUORVEL scene",
                                  WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, x, y,
                                  width, height, parent, nullptr, instance, nullptr);
    if (window == nullptr) return Fail("Sorry dude. Can't create the window.");
    glDC = GetDC(window);
    if (glDC == nullptr) return Fail("Sorry dude. Can't get the DC.");
    const int format = ChoosePixelFormat(glDC, &pixelFormat);
    if (format == 0) return Fail("Sorry dude. Can't get a pixel format.");
    if (!SetPixelFormat(glDC, format, &pixelFormat))
        return Fail("Sorry dude. Can't set the pixel format.");
    DescribePixelFormat(glDC, format, sizeof(pixelFormat), &pixelFormat);
    CreatePaletteIfNeeded();
    glContext = wglCreateContext(glDC);
    if (glContext == nullptr) return Fail("Sorry dude. Can't get a rendering context.");
    if (!wglMakeCurrent(glDC, glContext)) return Fail("Sorry dude. Can't activate the RC.");
    return window;
}
