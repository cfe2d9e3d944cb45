#include "render/gl_window.h"

#include <algorithm>

RenderWindow renderWindow;

namespace {

constexpr const char* RENDER_CLASS = "OpenGL Window";
constexpr BYTE PALETTE_NO_COLLAPSE = PC_NOCOLLAPSE;

HWND Fail(const char* text) {
    MessageBoxA(nullptr, text, "Error Creating Window", MB_ICONHAND | MB_OK);
    return nullptr;
}

void CreatePaletteIfNeeded() {
    if (!(renderWindow.pixelFormat.dwFlags & PFD_NEED_PALETTE) &&
        renderWindow.pixelFormat.iPixelType != PFD_TYPE_COLORINDEX)
        return;
    const int count = PaletteEntryCount(renderWindow.pixelFormat);
    std::vector<PALETTEENTRY> system(count);
    GetSystemPaletteEntries(renderWindow.glDC, 0, count, system.data());
    const std::vector<PALETTEENTRY> entries = BuildPaletteEntries(renderWindow.pixelFormat, system);
    std::vector<BYTE> block(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * count);
    auto* palette = reinterpret_cast<LOGPALETTE*>(block.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(count);
    std::copy(entries.begin(), entries.end(), palette->palPalEntry);
    renderWindow.glPalette = CreatePalette(palette);
    if (renderWindow.glPalette != nullptr) {
        SelectPalette(renderWindow.glDC, renderWindow.glPalette, FALSE);
        RealizePalette(renderWindow.glDC);
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

HWND CreateRenderWindow(int x, int y, int width, int height, HWND parent, WNDPROC procedure) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass{};
    windowClass.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_WINLOGO);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = RENDER_CLASS;
    if (!RegisterClassA(&windowClass)) return Fail("Sorry dude. Can't register the window class.");

    HWND window = CreateWindowExA(0, RENDER_CLASS, "QUORVEL scene",
                                  WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, x, y,
                                  width, height, parent, nullptr, instance, nullptr);
    if (window == nullptr) return Fail("Sorry dude. Can't create the window.");
    renderWindow.glDC = GetDC(window);
    if (renderWindow.glDC == nullptr) return Fail("Sorry dude. Can't get the DC.");
    const int format = ChoosePixelFormat(renderWindow.glDC, &renderWindow.pixelFormat);
    if (format == 0) return Fail("Sorry dude. Can't get a pixel format.");
    if (!SetPixelFormat(renderWindow.glDC, format, &renderWindow.pixelFormat))
        return Fail("Sorry dude. Can't set the pixel format.");
    DescribePixelFormat(renderWindow.glDC, format, sizeof(renderWindow.pixelFormat),
                        &renderWindow.pixelFormat);
    CreatePaletteIfNeeded();
    renderWindow.glContext = wglCreateContext(renderWindow.glDC);
    if (renderWindow.glContext == nullptr)
        return Fail("Sorry dude. Can't get a rendering context.");
    if (!wglMakeCurrent(renderWindow.glDC, renderWindow.glContext))
        return Fail("Sorry dude. Can't activate the RC.");
    return window;
}
