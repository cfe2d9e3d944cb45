// The close rules with real messages and the real cursor, and whole full-screen runs of the
// saver inside the test process.
#include <gtest/gtest.h>
#include <windows.h>
#include <GL/gl.h>
#include <imm.h>
#include <string>
#include <thread>
#include <vector>
#include "host/command_line.h"
#include "host/saver_window.h"
#include "render/frame_clock.h"
#include "render/gl_window.h"
#include "render/scene.h"
#include "support/registry_fixture.h"

namespace {

constexpr POINT HOME{300, 300};

// The windows that close requests are waiting for, taken from the queue. (A window filter would
// take its children's messages too.)
std::vector<HWND> TakeCloses() {
    std::vector<HWND> windows;
    for (MSG message; PeekMessageA(&message, nullptr, WM_CLOSE, WM_CLOSE, PM_REMOVE);)
        windows.push_back(message.hwnd);
    return windows;
}

class CloseRules : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.lpszClassName = "QuorvelTestSaver";
        RegisterClassA(&windowClass);
        saver_ = CreateWindowExA(0, "QuorvelTestSaver", "Screen Saver", WS_POPUP, 0, 0, 64, 64,
                                 nullptr, nullptr, windowClass.hInstance, nullptr);
        child_ = CreateWindowExA(0, "QuorvelTestSaver", "scene", WS_CHILD, 0, 0, 64, 64, saver_,
                                 nullptr, windowClass.hInstance, nullptr);
        ASSERT_TRUE(saver_ != nullptr && child_ != nullptr);
        saverWindow = saver_;
    }
    void TearDown() override {
        DestroyWindow(saver_);
        isPreviewMode = isClosing = isVerifyingPassword = 0;
        saverWindow = nullptr;
    }
    // Cursor and anchor at HOME, no close request pending, the arrow cursor shown.
    void Reset(int preview, int closing, int verifying) {
        isPreviewMode = preview;
        isClosing = closing;
        isVerifyingPassword = verifying;
        ASSERT_TRUE(SetCursorPos(HOME.x, HOME.y));
        cursorAnchor = HOME;
        cursorAnchorKnown = true;
        TakeCloses();
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    }
    HWND saver_ = nullptr;
    HWND child_ = nullptr;
};

// In which modes a message hides the cursor.
constexpr int FULL = 1, VERIFYING = 8;

TEST_F(CloseRules, InputOverTheSaverOrTheSceneClosesTheSaverWindowOnly) {
    const LPARAM OVER_CLIENT = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
    const struct {
        const char* what;
        UINT message;
        WPARAM wParam;
        POINT move;  // the cursor's offset from the anchor when the message arrives
        bool closes;
        int hidesIn;
    } cases[] = {
        {"key", WM_KEYDOWN, 'A', {}, true, 0},
        {"system key", WM_SYSKEYDOWN, 'A', {}, true, 0},
        {"left button", WM_LBUTTONDOWN, 0, {}, true, 0},
        {"right button", WM_RBUTTONDOWN, 0, {}, true, 0},
        {"middle button", WM_MBUTTONDOWN, 0, {}, true, 0},
        {"loss of activation", WM_ACTIVATEAPP, 0, {}, true, 0},
        {"critical resume", WM_POWER, 3, {}, true, 0},
        {"power broadcast", WM_POWERBROADCAST, 0x12, {}, true, 0},
        {"5-pixel move", WM_MOUSEMOVE, 0, {3, 2}, true, 0},
        {"5-pixel move back", WM_MOUSEMOVE, 0, {0, -5}, true, 0},
        {"key release", WM_KEYUP, 'A', {}, false, 0},
        {"button release", WM_LBUTTONUP, 0, {}, false, 0},
        {"wheel", WM_MOUSEWHEEL, 0, {}, false, 0},
        {"activation", WM_ACTIVATEAPP, 1, {}, false, 0},
        {"suspend request", WM_POWER, 1, {}, false, 0},
        {"4-pixel move", WM_MOUSEMOVE, 0, {2, -2}, false, 0},
        {"cursor request", WM_SETCURSOR, 0, {}, false, FULL},
        {"shown", WM_SHOWWINDOW, 1, {}, false, FULL},
        {"paint", WM_PAINT, 0, {}, false, FULL | VERIFYING},
    };
    // Full screen; preview, closing granted and a password dialog up, where no input closes.
    const int modes[][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    for (int mode = 0; mode < 4; ++mode) {
        for (const auto& c : cases) {
            // The scene's own paint draws a frame; every other message over it is judged.
            for (bool overScene : {false, c.message != WM_PAINT}) {
                SCOPED_TRACE(std::string(c.what) + (overScene ? " over the scene" : "") +
                             " in mode " + std::to_string(mode));
                Reset(modes[mode][0], modes[mode][1], modes[mode][2]);
                SetCursorPos(HOME.x + c.move.x, HOME.y + c.move.y);
                const LPARAM lParam = c.message == WM_SETCURSOR ? OVER_CLIENT : 0;
                if (overScene)
                    RenderWindowProc(child_, c.message, c.wParam, lParam);
                else
                    SaverWindowProc(saver_, c.message, c.wParam, lParam);
                const bool closes = c.closes && mode == 0;
                EXPECT_EQ(TakeCloses(), closes ? std::vector<HWND>{saver_} : std::vector<HWND>{});
                const bool anchorMoves = closes && c.message == WM_MOUSEMOVE;
                EXPECT_EQ(cursorAnchor.x, HOME.x + (anchorMoves ? c.move.x : 0));
                EXPECT_EQ(cursorAnchor.y, HOME.y + (anchorMoves ? c.move.y : 0));
                EXPECT_EQ(GetCursor(), (c.hidesIn >> mode & 1) ? nullptr : arrow);
            }
        }
    }
}

TEST(CursorReadings, FailedReadsNeitherCloseNorMoveTheAnchor) {
    cursorAnchorKnown = false;
    // Creation could not read the cursor: the first reading that works becomes the anchor.
    EXPECT_FALSE(TakeCursorReading(false, POINT{900, 900}));
    EXPECT_FALSE(cursorAnchorKnown);
    EXPECT_FALSE(TakeCursorReading(true, POINT{100, 100}));
    EXPECT_TRUE(cursorAnchorKnown);
    EXPECT_FALSE(TakeCursorReading(true, POINT{102, 102}));
    EXPECT_FALSE(TakeCursorReading(false, POINT{-5000, 7000}));
    EXPECT_EQ(cursorAnchor.x, 100);
    EXPECT_EQ(cursorAnchor.y, 100);
    // Moves add up from the anchor; a closing move becomes the new anchor.
    EXPECT_TRUE(TakeCursorReading(true, POINT{103, 102}));
    EXPECT_EQ(cursorAnchor.x, 103);
    EXPECT_FALSE(TakeCursorReading(true, POINT{101, 104}));
    EXPECT_TRUE(TakeCursorReading(true, POINT{98, 103}));
}

TEST(PreviewParent, GoneBeforeTheSaverStartsEndsWithMinusOne) {
    HWND parent = CreateWindowExA(0, "STATIC", "gone", WS_OVERLAPPEDWINDOW, 0, 0, 200, 150, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    appInstance = GetModuleHandleA(nullptr);
    DestroyWindow(parent);
    EXPECT_EQ(RunSaverWindow(parent), -1);
    // Nothing was made for it: no window, not even the class.
    EXPECT_EQ(saverWindow, nullptr);
    WNDCLASSA saverClass;
    EXPECT_FALSE(GetClassInfoA(appInstance, "WindowsScreenSaverClass", &saverClass));
}

// A whole full-screen run: the saver's own window, scene and message loop, ended by input that
// arrives over the scene window, as the user's mouse does. What the run showed, in order:
std::string run;
// The saver window's input context as it was made, before its creation took it away.
HIMC contextAtBirth = nullptr;

// After the first frame: a 4-pixel move over the scene, then a fifth pixel.
void MoveOverTheScene() {
    HIMC context = ImmGetContext(saverWindow);
    run += context ? "frame, input context" : "frame";
    ImmReleaseContext(saverWindow, context);
    run += GetCursor() ? ", cursor" : "";
    SetCursorPos(HOME.x + 2, HOME.y + 2);
    SendMessageA(glWindow, WM_MOUSEMOVE, 0, 0);
    MSG message;
    run += PeekMessageA(&message, saverWindow, WM_CLOSE, WM_CLOSE, PM_NOREMOVE) ? ", closed" : "";
    SetCursorPos(HOME.x + 3, HOME.y + 2);
    SendMessageA(glWindow, WM_MOUSEMOVE, 0, 0);
}

// What the saver window's destruction has done by the time its procedure returns.
void RecordDestruction(HWND window) {
    HIMC context = ImmGetContext(window);
    run += context != nullptr && context == contextAtBirth ? "; destroyed, context back"
                                                           : "; destroyed";
    ImmReleaseContext(window, context);
    run += wglGetCurrentContext() ? ", rendering context" : "";
    run += IsWindow(glWindow) ? ", scene window" : "";
    run += textureSlots == decltype(textureSlots){} ? "" : ", textures";
}

// Creation and destruction are sent, frames are dispatched: three hooks see them.
LRESULT CALLBACK WatchFrames(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && message->message == WM_PAINT && message->hwnd == glWindow &&
        frameTime > 0.0 && run.empty())
        MoveOverTheScene();
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK WatchBirth(int code, WPARAM wParam, LPARAM lParam) {
    HWND window = reinterpret_cast<HWND>(wParam);
    char name[32] = "";
    GetClassNameA(window, name, sizeof(name));
    if (code == HCBT_CREATEWND && std::string(name) == "WindowsScreenSaverClass") {
        contextAtBirth = ImmGetContext(window);
        ImmReleaseContext(window, contextAtBirth);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK WatchDestruction(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_DESTROY && call->hwnd == saverWindow)
        RecordDestruction(call->hwnd);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

using SaverRun = RegistryTest;

TEST_F(SaverRun, InputOverTheSceneEndsTheRunThroughTheSaverWindowsTeardown) {
    appInstance = GetModuleHandleA(nullptr);
    ASSERT_TRUE(SetCursorPos(HOME.x, HOME.y));
    run.clear();
    const DWORD thread = GetCurrentThreadId();
    HHOOK birth = SetWindowsHookExA(WH_CBT, WatchBirth, nullptr, thread);
    HHOOK frames = SetWindowsHookExA(WH_GETMESSAGE, WatchFrames, nullptr, thread);
    HHOOK destruction = SetWindowsHookExA(WH_CALLWNDPROCRET, WatchDestruction, nullptr, thread);
    // A run that never ends is ended from outside; the quit message beats the paint loop.
    HANDLE finished = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread watchdog([finished, thread] {
        if (WaitForSingleObject(finished, 30000) == WAIT_TIMEOUT)
            PostThreadMessageA(thread, WM_QUIT, 99, 0);
    });
    EXPECT_EQ(RunSaverWindow(nullptr), 0);
    SetEvent(finished);
    watchdog.join();
    CloseHandle(finished);
    UnhookWindowsHookEx(birth);
    UnhookWindowsHookEx(frames);
    UnhookWindowsHookEx(destruction);
    UnregisterClassA("WindowsScreenSaverClass", appInstance);
    UnregisterClassA("OpenGL Window", appInstance);
    // The input context was taken away at creation and given back at destruction; the cursor
    // was hidden; everything the scene held was released with the window.
    EXPECT_EQ(run, "frame; destroyed, context back");
    EXPECT_FALSE(IsWindow(saverWindow));
    saverWindow = nullptr;
}

}  // namespace
