#include "host/saver_window.h"

#include <cstdlib>
#include "art_resources.h"
#include "host/monitors.h"
#include "host/password.h"
#include "host/proc_address.h"
#include "render/frame_pacing.h"
#include "render/gl_window.h"
#include "render/scene.h"

namespace {

constexpr const char* SAVER_CLASS = "WindowsScreenSaverClass";
constexpr UINT SAVER_CLASS_STYLE = CS_OWNDC | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
constexpr UINT HELP_FORWARD_TIMEOUT_MS = 250;
constexpr UINT_PTR LAYOUT_TIMER_ID = 2;
constexpr UINT LAYOUT_CHECK_MS = 250;

void OnCreate(HWND window) {
    HMODULE imm = GetModuleHandleA("IMM32.DLL");
    if (imm != nullptr) {
        saver.imeAssociateProc = FindExport<ImeAssociateProc>(imm, "ImmAssociateContext");
        if (saver.imeAssociateProc != nullptr)
            saver.savedImeContext = saver.imeAssociateProc(window, nullptr);
    }
    ReanchorCursor();
    if (!saver.isPreviewMode) SetCursor(nullptr);
    WatchLayout(window);
}

// The control panel's help and context menu. WM_HELP carries a pointer, which the system will
// only send, never post; a short timed send cannot hang on a parent that stopped answering.
void ForwardToParent(HWND parent, UINT message, LPARAM lParam) {
    const auto parentHandle = reinterpret_cast<WPARAM>(parent);
    if (message == WM_HELP) {
        SendMessageTimeoutA(parent, message, parentHandle, lParam, SMTO_ABORTIFHUNG,
                            HELP_FORWARD_TIMEOUT_MS, nullptr);
    } else {
        PostMessageA(parent, message, parentHandle, lParam);
    }
}

// Full screen, after a change of monitors, resolution or DPI: the window over the new union,
// the scene on the new primary.
void FollowDisplays(HWND window) {
    PlaceSaver(window, LayoutSaver(ListMonitors()), PrimaryMonitorDpi());
    // A monitor gone may have taken the cursor somewhere else: that was no move of the user's.
    ReanchorCursor();
}

// Where the saver window and its scene are now.
SaverLayout CurrentLayout(HWND window) {
    SaverLayout now{};
    GetWindowRect(window, &now.window);
    GetWindowRect(renderWindow.glWindow, &now.scene);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&now.scene), 2);
    return now;
}

// Not every system says when the displays change (Wine does not for a change made outside
// it), and the control panel never tells its preview that it resized it: both are looked at
// a few times a second, and followed only when they differ.
void CALLBACK CheckLayout(HWND window, UINT, UINT_PTR, DWORD) {
    if (saver.isClosing) return;
    if (saver.isPreviewMode) {
        RECT parent, own;
        if (GetClientRect(GetParent(window), &parent) && GetClientRect(window, &own) &&
            !EqualRect(&parent, &own))
            PlaceSaver(window, {parent, parent}, PrimaryMonitorDpi());
    } else if (!SameLayout(LayoutSaver(ListMonitors()), CurrentLayout(window))) {
        FollowDisplays(window);
    }
}

// The settings changes that come with a change of monitors or of their DPI.
bool MovesDisplays(WPARAM setting) {
    return setting == SPI_SETWORKAREA || setting == SPI_SETLOGICALDPIOVERRIDE;
}

void OnDestroy(HWND window) {
    if (GetModuleHandleA("IMM32.DLL") != nullptr && saver.imeAssociateProc != nullptr &&
        saver.savedImeContext != nullptr) {
        saver.imeAssociateProc(window, saver.savedImeContext);
    }
    PostQuitMessage(0);
}

}  // namespace

void PlaceSaver(HWND window, const SaverLayout& layout, UINT dpi) {
    const RECT& area = layout.window;
    const RECT& scene = layout.scene;
    const UINT order = saver.isPreviewMode ? SWP_NOZORDER : 0;
    SetWindowPos(window, HWND_TOPMOST, area.left, area.top, area.right - area.left,
                 area.bottom - area.top, SWP_NOACTIVATE | order);
    SetWindowPos(renderWindow.glWindow, nullptr, scene.left, scene.top, scene.right - scene.left,
                 scene.bottom - scene.top, SWP_NOACTIVATE | SWP_NOZORDER);
    FitScene(dpi);
}

void WatchLayout(HWND window) {
    SetTimer(window, LAYOUT_TIMER_ID, LAYOUT_CHECK_MS, CheckLayout);
}

int RunMessageLoop() {
    MSG message;
    for (;;) {
        // Messages first, so that input is answered before any frame.
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        // A due frame invalidates the scene window and comes as the next paint; until then
        // the thread sleeps, waking at once for any message.
        const DWORD wait = PaceFrames(renderWindow.glWindow);
        if (wait > 0)
            MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

int RunSaverWindow(HWND parent) {
    WNDCLASSA windowClass{};
    windowClass.style = SAVER_CLASS_STYLE;
    windowClass.lpfnWndProc = SaverWindowProc;
    windowClass.hInstance = saver.appInstance;
    windowClass.hIcon = LoadIconA(saver.appInstance, MAKEINTRESOURCEA(PROGRAM_ICON.id));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = SAVER_CLASS;

    int x, y, width, height;
    DWORD style, exStyle;
    const char* title;
    // Full screen: the scene goes on the primary monitor only; the window's black brush covers
    // the others. Preview: the scene fills the window (no rectangle given).
    SaverLayout layout{};
    RECT* sceneArea = nullptr;
    if (parent != nullptr) {
        RECT rect;
        // A parent that went away in the meantime leaves nothing to draw in.
        if (!GetClientRect(parent, &rect)) return -1;
        x = 0;
        y = 0;
        width = rect.right;
        height = rect.bottom;
        style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
        exStyle = 0;
        title = "Preview";
        saver.isPreviewMode = 1;
        AdoptDpiAwarenessOf(parent);
    } else {
        layout = LayoutSaver(ListMonitors());
        sceneArea = &layout.scene;
        x = layout.window.left;
        y = layout.window.top;
        width = layout.window.right - layout.window.left;
        height = layout.window.bottom - layout.window.top;
        style = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
        exStyle = WS_EX_TOPMOST;
        title = "Screen Saver";
        HWND running = FindWindowA(SAVER_CLASS, "Screen Saver");
        if (running != nullptr && IsWindow(running)) {
            SetForegroundWindow(running);
            return 0;
        }
        LoadPasswordSupport();
    }
    if (saver.isWin9x) saver.autoPlayQueryMessage = RegisterWindowMessageA("QueryCancelAutoPlay");

    // A saver that could not make its window did not run: that is not a normal end.
    int exitCode = -1;
    if (RegisterClassA(&windowClass)) {
        saver.saverWindow = CreateWindowExA(exStyle, SAVER_CLASS, title, style, x, y, width, height,
                                            parent, nullptr, saver.appInstance, sceneArea);
    }
    if (saver.saverWindow != nullptr) {
        if (!saver.isPreviewMode) SetForegroundWindow(saver.saverWindow);
        exitCode = RunMessageLoop();
    }
    UnloadPasswordSupport();
    return exitCode;
}

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            OnCreate(window);
            break;
        case WM_DESTROY:
            OnDestroy(window);
            break;
        case WM_SETTEXT:
            return 0;
        case WM_PAINT:
            if (saver.isClosing) return DefWindowProcA(window, message, wParam, lParam);
            if (!saver.isPreviewMode) SetCursor(nullptr);
            break;
        case WM_HELP:
        case WM_CONTEXTMENU:
            if (saver.isPreviewMode) {
                HWND parent = GetParent(window);
                if (parent != nullptr && IsWindow(parent)) ForwardToParent(parent, message, lParam);
                return 1;
            }
            break;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            if (saver.isClosing) return DefWindowProcA(window, message, wParam, lParam);
            break;
        case WM_DISPLAYCHANGE:
        case WM_DPICHANGED:
            // Full screen only: the suggested place of WM_DPICHANGED is for a window on one
            // monitor. A preview follows its parent instead.
            if (saver.isPreviewMode) break;
            FollowDisplays(window);
            return 0;
        case WM_SETTINGCHANGE:
            if (!saver.isPreviewMode && MovesDisplays(wParam)) FollowDisplays(window);
            break;
        case WM_SYSCOMMAND:
            if (!saver.isPreviewMode &&
                (wParam == SC_NEXTWINDOW || wParam == SC_PREVWINDOW || wParam == SC_SCREENSAVE)) {
                return 0;
            }
            break;
        case WM_TIMER:
            if (saver.isClosing) return 0;
            Sleep(0);
            break;
        default:
            break;
    }
    return ScreenSaverProc(window, message, wParam, lParam);
}
