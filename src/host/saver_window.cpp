#include "host/saver_window.h"

#include <cstdlib>
#include "art_resources.h"
#include "host/command_line.h"
#include "host/monitors.h"
#include "host/password.h"
#include "host/proc_address.h"
#include "render/frame_pacing.h"
#include "render/gl_window.h"
#include "render/scene.h"

HWND saverWindow = nullptr;
int isPreviewMode = 0;
int isClosing = 0;
int isVerifyingPassword = 0;
POINT cursorAnchor{};
bool cursorAnchorKnown = false;
UINT autoPlayQueryMessage = 0;
ImeAssociateProc imeAssociateProc = nullptr;
HANDLE savedImeContext = nullptr;

namespace {

constexpr const char* SAVER_CLASS = "WindowsScreenSaverClass";
constexpr UINT SAVER_CLASS_STYLE = CS_OWNDC | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
constexpr WPARAM POWER_CRITICAL_RESUME = 3;
constexpr UINT HELP_FORWARD_TIMEOUT_MS = 250;

void PostClose(HWND window) {
    PostMessageA(window, WM_CLOSE, 0, 0);
}

// Moves are measured from the cursor's position now; when it cannot be read, from the next
// position that can.
void ReanchorCursor() {
    POINT cursor{};
    cursorAnchorKnown = false;
    TakeCursorReading(GetCursorPos(&cursor) != FALSE, cursor);
}

void OnCreate(HWND window) {
    HMODULE imm = GetModuleHandleA("IMM32.DLL");
    if (imm != nullptr) {
        imeAssociateProc = FindExport<ImeAssociateProc>(imm, "ImmAssociateContext");
        if (imeAssociateProc != nullptr) savedImeContext = imeAssociateProc(window, nullptr);
    }
    ReanchorCursor();
    if (!isPreviewMode) SetCursor(nullptr);
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

void OnDestroy(HWND window) {
    if (GetModuleHandleA("IMM32.DLL") != nullptr && imeAssociateProc != nullptr &&
        savedImeContext != nullptr) {
        imeAssociateProc(window, savedImeContext);
    }
    PostQuitMessage(0);
}

// The close rules; returns true with `result` set when the message is answered here.
bool ApplyCloseRules(HWND window, UINT message, WPARAM wParam, LRESULT& result) {
    switch (message) {
        case WM_SHOWWINDOW:
            if (wParam != 0) SetCursor(nullptr);
            return false;
        case WM_ACTIVATEAPP:
            if (wParam == 0) PostClose(window);
            return false;
        case WM_SETCURSOR:
            SetCursor(nullptr);
            result = 1;
            return true;
        case WM_POWER:
            if (wParam == POWER_CRITICAL_RESUME) PostClose(window);
            return false;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_POWERBROADCAST:
            PostClose(window);
            return false;
        case WM_MOUSEMOVE: {
            POINT now{};
            const bool read = GetCursorPos(&now) != FALSE;
            if (TakeCursorReading(read, now)) PostClose(window);
            return false;
        }
        default:
            return false;
    }
}

}  // namespace

bool TakeCursorReading(bool read, POINT now) {
    // A failed read (the input desktop switched, say) leaves no position to judge.
    if (!read) return false;
    if (!cursorAnchorKnown) {
        cursorAnchor = now;
        cursorAnchorKnown = true;
        return false;
    }
    if (!IsClosingMove(cursorAnchor, now)) return false;
    cursorAnchor = now;
    return true;
}

bool IsClosingMove(POINT anchor, POINT now) {
    const unsigned int distance = static_cast<unsigned int>(std::abs(now.x - anchor.x)) +
                                  static_cast<unsigned int>(std::abs(now.y - anchor.y));
    return distance > mouseMoveThreshold;
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
        const DWORD wait = PaceFrames(glWindow);
        if (wait > 0)
            MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

int RunSaverWindow(HWND parent) {
    WNDCLASSA windowClass{};
    windowClass.style = SAVER_CLASS_STYLE;
    windowClass.lpfnWndProc = SaverWindowProc;
    windowClass.hInstance = appInstance;
    windowClass.hIcon = LoadIconA(appInstance, MAKEINTRESOURCEA(PROGRAM_ICON.id));
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
        isPreviewMode = 1;
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
    if (isWin9x) autoPlayQueryMessage = RegisterWindowMessageA("QueryCancelAutoPlay");

    // A saver that could not make its window did not run: that is not a normal end.
    int exitCode = -1;
    if (RegisterClassA(&windowClass)) {
        saverWindow = CreateWindowExA(exStyle, SAVER_CLASS, title, style, x, y, width, height,
                                      parent, nullptr, appInstance, sceneArea);
    }
    if (saverWindow != nullptr) {
        if (!isPreviewMode) SetForegroundWindow(saverWindow);
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
            if (isClosing) return DefWindowProcA(window, message, wParam, lParam);
            if (!isPreviewMode) SetCursor(nullptr);
            break;
        case WM_HELP:
        case WM_CONTEXTMENU:
            if (isPreviewMode) {
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
            if (isClosing) return DefWindowProcA(window, message, wParam, lParam);
            break;
        case WM_SYSCOMMAND:
            if (!isPreviewMode &&
                (wParam == SC_NEXTWINDOW || wParam == SC_PREVWINDOW || wParam == SC_SCREENSAVE)) {
                return 0;
            }
            break;
        case WM_TIMER:
            if (isClosing) return 0;
            Sleep(0);
            break;
        default:
            break;
    }
    return ScreenSaverProc(window, message, wParam, lParam);
}

LRESULT DefScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefScreenSaverProcFor(window, window, message, wParam, lParam);
}

LRESULT DefScreenSaverProcFor(HWND rulesWindow, HWND window, UINT message, WPARAM wParam,
                              LPARAM lParam) {
    if (!isPreviewMode && !isClosing) {
        if (message == WM_CLOSE && isWin9x) {
            if (!VerifyPasswordOnClose(rulesWindow)) {
                ReanchorCursor();
                return 0;
            }
        } else if (message == VerifyPasswordMessage && isWin9x) {
            return verifyPasswordProc != nullptr ? verifyPasswordProc(rulesWindow) : 1;
        } else if (!isVerifyingPassword) {
            LRESULT result = 0;
            if (ApplyCloseRules(rulesWindow, message, wParam, result)) return result;
        }
    }
    if (autoPlayQueryMessage != 0 && message == autoPlayQueryMessage) {
        PostClose(rulesWindow);
        return verifyPasswordProc != nullptr ? 1 : 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
