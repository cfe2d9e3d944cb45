#include <gtest/gtest.h>
#include <windows.h>
#include <GL/gl.h>
#include <algorithm>
#include <string>
#include <tuple>
#include <utility>
#include <vector>
#include "host/saver_window.h"
#include "offscreen_window.h"
#include "render/frame_clock.h"
#include "render/gl_window.h"
#include "render/scene.h"
#include "show/animation.h"
#include "show/director.h"
#include "support/registry_fixture.h"

namespace {

const PIXELFORMATDESCRIPTOR startRequest = renderWindow.pixelFormat;

std::string Bytes(const PIXELFORMATDESCRIPTOR& format) {
    return std::string(reinterpret_cast<const char*>(&format), sizeof(format));
}

// Every message box shown on this thread (title, text, owner, icon, visible buttons), dismissed.
std::vector<std::tuple<std::string, std::string, HWND, HICON, std::vector<int>>> boxes;

LRESULT CALLBACK ReadBox(int code, WPARAM wParam, LPARAM lParam) {
    HWND box = reinterpret_cast<HWND>(wParam);
    char name[16] = "", title[64] = "", text[256] = "";
    GetClassNameA(box, name, sizeof(name));
    if (code == HCBT_ACTIVATE && std::string(name) == "#32770") {
        GetWindowTextA(box, title, sizeof(title));
        GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
        HICON icon = nullptr;
        std::vector<int> buttons;
        for (HWND item = GetWindow(box, GW_CHILD); item; item = GetWindow(item, GW_HWNDNEXT)) {
            const LONG style = GetWindowLongA(item, GWL_STYLE);
            GetClassNameA(item, name, sizeof(name));
            if ((style & SS_TYPEMASK) == SS_ICON && std::string(name) == "Static")
                icon = reinterpret_cast<HICON>(SendMessageA(item, STM_GETICON, 0, 0));
            else if (std::string(name) == "Button" && (style & WS_VISIBLE))
                buttons.push_back(GetDlgCtrlID(item));
        }
        boxes.emplace_back(title, text, GetWindow(box, GW_OWNER), icon, buttons);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A parent that sets on its new child a pixel format other than the one the request chooses.
LRESULT CALLBACK PresettingParent(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PARENTNOTIFY && LOWORD(wParam) == WM_CREATE) {
        HDC dc = GetDC(reinterpret_cast<HWND>(lParam));
        const int chosen = ChoosePixelFormat(dc, &startRequest);
        PIXELFORMATDESCRIPTOR other{};
        for (int i = 1; i <= DescribePixelFormat(dc, i, sizeof(other), &other); ++i) {
            if (i != chosen && (other.dwFlags & PFD_SUPPORT_OPENGL) &&
                SetPixelFormat(dc, i, &other))
                break;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(RenderWindow, EachFailingStepIsReportedInItsOwnBox) {
    renderWindow.pixelFormat = startRequest;
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    const WNDCLASSA presetting{0,  PresettingParent,   0, 0, instance, {}, {}, {},
                               {}, "QuorvelTestParent"};
    RegisterClassA(&presetting);
    HWND parent = CreateWindowExA(0, "QuorvelTestParent", "parent", WS_POPUP, 0, 0, 200, 100,
                                  nullptr, nullptr, instance, nullptr);
    ASSERT_NE(parent, nullptr);
    HHOOK hook = SetWindowsHookExA(WH_CBT, ReadBox, nullptr, GetCurrentThreadId());
    const char* const texts[] = {"Sorry dude. Can't register the window class.",
                                 "Sorry dude. Can't create the window.",
                                 "Sorry dude. Can't set the pixel format."};
    const WNDCLASSA taken{0, DefWindowProcA, 0, 0, instance, {}, {}, {}, {}, "OpenGL Window"};
    for (int step = 0; step < 3; ++step) {
        boxes.clear();
        // The class taken already; a child without a parent; a parent that sets a format first.
        if (step == 0) RegisterClassA(&taken);
        EXPECT_EQ(CreateRenderWindow(0, 0, 200, 100, step == 1 ? nullptr : parent, DefWindowProcA),
                  nullptr);
        UnregisterClassA("OpenGL Window", instance);
        EXPECT_EQ(boxes, decltype(boxes)({{"Error Creating Window",
                                           texts[step],
                                           nullptr,
                                           LoadIconA(nullptr, IDI_HAND),
                                           {IDOK}}}));
    }
    UnhookWindowsHookEx(hook);
    DestroyWindow(parent);
    UnregisterClassA("OpenGL Window", instance);
    UnregisterClassA("QuorvelTestParent", instance);
    // The request as it was handed to the platform: the choice failed after it.
    PIXELFORMATDESCRIPTOR asked{};
    asked.nSize = 40;
    asked.nVersion = 1;
    asked.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    asked.cColorBits = asked.cDepthBits = 16;
    EXPECT_EQ(Bytes(renderWindow.pixelFormat), Bytes(asked));
}

TEST(Palette, RampsAndPrimariesForFormatsThatNeedOne) {
    std::vector<PALETTEENTRY> system(256);
    for (int i = 0; i < 256; ++i) system[i] = {BYTE(i), BYTE(255 - i), 7, 0};
    const auto colour = [](const PALETTEENTRY& e) {
        return RGB(e.peRed, e.peGreen, e.peBlue) | e.peFlags << 24;
    };
    // Colour index: black, red, green and blue that no other colour replaces, then the system's.
    PIXELFORMATDESCRIPTOR format{};
    format.iPixelType = PFD_TYPE_COLORINDEX;
    format.cColorBits = 8;
    auto entries = BuildPaletteEntries(format, system);
    ASSERT_EQ(entries.size(), 256u);
    const COLORREF primaries[] = {0, RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(colour(entries[i]),
                  i < 4 ? primaries[i] | PC_NOCOLLAPSE << 24 : colour(system[i]))
            << i;
    }
    // A 3-3-2 ramp: red in the low bits, blue in the high ones.
    format.iPixelType = PFD_TYPE_RGBA;
    format.cRedBits = format.cGreenBits = 3;
    format.cBlueBits = 2;
    format.cGreenShift = 3;
    format.cBlueShift = 6;
    entries = BuildPaletteEntries(format, system);
    for (const auto& [i, rgb] :
         {std::pair{7, RGB(255, 0, 0)}, {56, RGB(0, 255, 0)}, {130, RGB(72, 0, 170)}})
        EXPECT_EQ(colour(entries[i]), rgb) << i;
    format.cColorBits = 16;
    EXPECT_EQ(BuildPaletteEntries(format, system).size(), 256u);
    format.cColorBits = 4;
    EXPECT_EQ(BuildPaletteEntries(format, system).size(), 16u);
}

// Points this program's import slots that hold `from` at `to`.
void ReplaceImport(void* from, void* to) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    auto* imports = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(
        base + headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
    for (; imports->Name != 0; ++imports) {
        for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imports->FirstThunk);
             slot->u1.Function != 0; ++slot) {
            DWORD protection = 0;
            if (slot->u1.Function != reinterpret_cast<ULONG_PTR>(from) ||
                !VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &protection))
                continue;
            slot->u1.Function = reinterpret_cast<ULONG_PTR>(to);
            VirtualProtect(slot, sizeof(*slot), protection, &protection);
        }
    }
}

template <typename Function>
Function Import(const char* module, const char* function) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(module), function)));
}

// What a paint does, in order: clock reads and swaps, with the pixels lit at the swap.
std::vector<std::string> calls;
int litAtSwap = 0;
const auto readCounter =
    Import<decltype(&QueryPerformanceCounter)>("kernel32.dll", "QueryPerformanceCounter");
const auto swapBuffers = Import<decltype(&SwapBuffers)>("gdi32.dll", "SwapBuffers");

BOOL WINAPI SpyCounter(LARGE_INTEGER* counter) {
    calls.push_back("clock");
    return readCounter(counter);
}
BOOL WINAPI SpySwap(HDC dc) {
    calls.push_back("swap");
    std::vector<uint8_t> pixels(160 * 120 * 4);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, 160, 120, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    litAtSwap = 0;
    for (size_t i = 0; i < pixels.size(); i += 4)
        litAtSwap += pixels[i] + pixels[i + 1] + pixels[i + 2] > 60;
    return swapBuffers(dc);
}

const std::pair<void*, void*> spies[] = {
    {reinterpret_cast<void*>(readCounter), reinterpret_cast<void*>(SpyCounter)},
    {reinterpret_cast<void*>(swapBuffers), reinterpret_cast<void*>(SpySwap)}};

using Paint = RegistryTest;

TEST_F(Paint, TheChildReadsTheClockOnceThenDrawsWithItThenShowsIt) {
    HWND window = CreateStandInWindow(160, 120);
    ASSERT_TRUE(window != nullptr && CreateScene(window, 1));
    frameClock.previousFrameTime = 0.0;
    showState.showStep = SHOW_WAIT;
    robotPose.leaning = true;
    robotPose.leanAmount = 0.0;
    // The platform's closest match, and its description written back over the request.
    PIXELFORMATDESCRIPTOR chosen{};
    DescribePixelFormat(renderWindow.glDC, GetPixelFormat(renderWindow.glDC), sizeof(chosen),
                        &chosen);
    EXPECT_EQ(Bytes(chosen), Bytes(renderWindow.pixelFormat));
    double previous = 0.0, moved = 0.0;
    for (const auto& [real, spy] : spies) ReplaceImport(real, spy);
    for (int frame = 0; frame < 3; ++frame) {
        SCOPED_TRACE(frame);
        const double before = ReadFrameClock();
        calls.clear();
        litAtSwap = 0;
        SendMessageA(renderWindow.glWindow, WM_PAINT, 0, 0);
        // Up to the swap: what comes after it is the pacing's own business.
        const auto swap = std::find(calls.begin(), calls.end(), std::string("swap"));
        const std::vector<std::string> order(calls.begin(), swap == calls.end() ? swap : swap + 1);
        const double after = ReadFrameClock();
        EXPECT_EQ(order, (std::vector<std::string>{"clock", "swap"}));
        EXPECT_GT(litAtSwap, 500) << "the frame shown holds no scene";
        EXPECT_LE(before, frameClock.frameTime);
        EXPECT_LE(frameClock.frameTime, after);
        EXPECT_EQ(frameClock.frameDelta, frameClock.frameTime - previous);
        EXPECT_EQ(frameClock.previousFrameTime, frameClock.frameTime);
        // The frame's motion is this frame's time step.
        moved = std::min(1.0, moved + frameClock.frameDelta);
        EXPECT_DOUBLE_EQ(robotPose.leanAmount, moved);
        previous = frameClock.frameTime;
    }
    for (const auto& [real, spy] : spies) ReplaceImport(spy, real);
    DestroyScene();
    DestroyWindow(window);
    renderWindow.pixelFormat = startRequest;
    UnregisterClassA("OpenGL Window", GetModuleHandleA(nullptr));
    MSG message;
    PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

}  // namespace
