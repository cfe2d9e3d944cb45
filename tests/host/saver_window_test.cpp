// The close rules with real messages and the real cursor, and whole full-screen runs of the
// saver inside the test process.
#include <gtest/gtest.h>
#include <windows.h>
#include <GL/gl.h>
#include <imm.h>
#include <string>
#include <thread>
#include "host/command_line.h"
#include "host/saver_window.h"
#include "render/frame_clock.h"
#include "render/gl_window.h"
#include "render/scene.h"
#include "support/registry_fixture.h"

namespace {

constexpr POINT HOME{300, 300};

bool TakeClose(HWND window) {
    MSG message;
    bool any = false;
    while (PeekMessageA(&message, window, WM_CLOSE, WM_CLOSE, PM_REMOVE)) any = true;
    return any;
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
        TakeClose(saver_);
        TakeClose(child_);
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    }
    HWND saver_ = nullptr;
    HWND child_ = nullptr;
};

TEST_F(CloseRules, InputOverTheSaverOrTheSceneClosesTheSaverWindowOnly) {
    struct Case {
        const char* what;
        UINT message;
        WPARAM wParam;
        POINT move;  // the cursor's offset from the anchor when the message arrives
        bool closes;
    };
    const Case cases[] = {
        {"key", WM_KEYDOWN, 'A', {}, true},
        {"system key", WM_SYSKEYDOWN, 'A', {}, true},
        {"left button", WM_LBUTTONDOWN, 0, {}, true},
        {"right button", WM_RBUTTONDOWN, 0, {}, true},
        {"middle button", WM_MBUTTONDOWN, 0, {}, true},
        {"loss of activation", WM_ACTIVATEAPP, 0, {}, true},
        {"critical resume", WM_POWER, 3, {}, true},
        {"power broadcast", WM_POWERBROADCAST, 0x12, {}, true},
        {"5-pixel move", WM_MOUSEMOVE, 0, {3, 2}, true},
        {"5-pixel move back", WM_MOUSEMOVE, 0, {0, -5}, true},
        {"key release", WM_KEYUP, 'A', {}, false},
        {"button release", WM_LBUTTONUP, 0, {}, false},
        {"wheel", WM_MOUSEWHEEL, 0, {}, false},
        {"activation", WM_ACTIVATEAPP, 1, {}, false},
        {"suspend request", WM_POWER, 1, {}, false},
        {"4-pixel move", WM_MOUSEMOVE, 0, {2, -2}, false},
        {"move message without a move", WM_MOUSEMOVE, MAKEWPARAM(40, 40), {}, false},
    };
    // Preview, closing granted and a password dialog up: no input closes then.
    const int modes[][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (const auto& mode : modes) {
        for (const Case& c : cases) {
            for (bool overScene : {false, true}) {
                SCOPED_TRACE(std::string(c.what) + (overScene ? " over the scene" : "") +
                             ", preview/closing/verifying " + std::to_string(mode[0]) +
                             std::to_string(mode[1]) + std::to_string(mode[2]));
                Reset(mode[0], mode[1], mode[2]);
                SetCursorPos(HOME.x + c.move.x, HOME.y + c.move.y);
                if (overScene)
                    RenderWindowProc(child_, c.message, c.wParam, 0);
                else
                    SaverWindowProc(saver_, c.message, c.wParam, 0);
                const bool full = mode[0] + mode[1] + mode[2] == 0;
                EXPECT_EQ(TakeClose(saver_), c.closes && full);
                EXPECT_FALSE(TakeClose(child_));
                POINT expectedAnchor = HOME;
                if (c.closes && full && c.message == WM_MOUSEMOVE)
                    expectedAnchor = {HOME.x + c.move.x, HOME.y + c.move.y};
                EXPECT_EQ(cursorAnchor.x, expectedAnchor.x);
                EXPECT_EQ(cursorAnchor.y, expectedAnchor.y);
            }
        }
    }
}

TEST_F(CloseRules, TheCursorStaysHiddenInFullScreenOnly) {
    struct Case {
        const char* what;
        UINT message;
        WPARAM wParam;
        LRESULT result;  // in full screen
    };
    const Case cases[] = {{"cursor request", WM_SETCURSOR, 0, 1},
                          {"shown", WM_SHOWWINDOW, 1, 0},
                          {"paint", WM_PAINT, 0, 0}};
    const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    for (const Case& c : cases) {
        for (int preview : {0, 1}) {
            SCOPED_TRACE(std::string(c.what) + (preview ? " in preview" : ""));
            Reset(preview, 0, 0);
            const LPARAM lParam =
                c.message == WM_SETCURSOR ? MAKELPARAM(HTCLIENT, WM_MOUSEMOVE) : 0;
            const LRESULT result = SaverWindowProc(saver_, c.message, c.wParam, lParam);
            EXPECT_EQ(GetCursor(), preview ? arrow : nullptr);
            if (!preview) {
                EXPECT_EQ(result, c.result);
            }
            EXPECT_FALSE(TakeClose(saver_));
        }
    }
}

TEST_F(CloseRules, TheTitleNeverChanges) {
    EXPECT_EQ(SaverWindowProc(saver_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("other")), 0);
    char title[32] = "";
    GetWindowTextA(saver_, title, sizeof(title));
    EXPECT_STREQ(title, "Screen Saver");
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
// arrives over the scene window, as the user's mouse does.
struct RunRecord {
    int stage = 0;
    bool imeDetached = false, cursorHidden = false, closedBySmallMove = false;
    bool destroyed = false, imeRestored = false, contextReleased = false, sceneGone = false;
    bool texturesReleased = false;
};
RunRecord run;

// After the first frame: a 4-pixel move over the scene, then a fifth pixel.
void MoveOverTheScene() {
    run.stage = 1;
    HIMC context = ImmGetContext(saverWindow);
    run.imeDetached = context == nullptr;
    ImmReleaseContext(saverWindow, context);
    run.cursorHidden = GetCursor() == nullptr;
    SetCursorPos(HOME.x + 2, HOME.y + 2);
    SendMessageA(glWindow, WM_MOUSEMOVE, 0, 0);
    MSG message;
    run.closedBySmallMove = PeekMessageA(&message, saverWindow, WM_CLOSE, WM_CLOSE, PM_NOREMOVE);
    SetCursorPos(HOME.x + 3, HOME.y + 2);
    SendMessageA(glWindow, WM_MOUSEMOVE, 0, 0);
}

// What the saver window's destruction has done by the time its procedure returns.
void RecordDestruction(HWND window) {
    run.destroyed = true;
    HIMC context = ImmGetContext(window);
    run.imeRestored = context != nullptr;
    ImmReleaseContext(window, context);
    run.contextReleased = wglGetCurrentContext() == nullptr;
    run.sceneGone = !IsWindow(glWindow);
    run.texturesReleased = textureSlots == decltype(textureSlots){};
}

// Frames are dispatched, destruction is sent: two hooks see them.
LRESULT CALLBACK WatchFrames(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && message->message == WM_PAINT && message->hwnd == glWindow &&
        frameTime > 0.0 && run.stage == 0) {
        MoveOverTheScene();
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
    run = RunRecord{};
    const DWORD thread = GetCurrentThreadId();
    HHOOK frames = SetWindowsHookExA(WH_GETMESSAGE, WatchFrames, nullptr, thread);
    HHOOK destruction = SetWindowsHookExA(WH_CALLWNDPROCRET, WatchDestruction, nullptr, thread);
    // A run that never ends is ended from outside; the quit message beats the paint loop.
    HANDLE finished = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread watchdog([finished, thread] {
        if (WaitForSingleObject(finished, 30000) == WAIT_TIMEOUT)
            PostThreadMessageA(thread, WM_QUIT, 99, 0);
    });
    const int result = RunSaverWindow(nullptr);
    SetEvent(finished);
    watchdog.join();
    CloseHandle(finished);
    UnhookWindowsHookEx(frames);
    UnhookWindowsHookEx(destruction);
    UnregisterClassA("WindowsScreenSaverClass", appInstance);
    UnregisterClassA("OpenGL Window", appInstance);

    EXPECT_EQ(result, 0);
    EXPECT_EQ(run.stage, 1) << "the scene never drew a frame";
    EXPECT_TRUE(run.imeDetached);
    EXPECT_TRUE(run.cursorHidden);
    EXPECT_FALSE(run.closedBySmallMove);
    EXPECT_TRUE(run.destroyed) << "the run ended without the saver window's teardown";
    EXPECT_TRUE(run.imeRestored);
    EXPECT_TRUE(run.contextReleased);
    EXPECT_TRUE(run.sceneGone);
    EXPECT_TRUE(run.texturesReleased);
    EXPECT_FALSE(IsWindow(saverWindow));
    saverWindow = nullptr;
}

}  // namespace
