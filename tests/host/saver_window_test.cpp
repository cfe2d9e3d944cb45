#include <gtest/gtest.h>
#include <windows.h>
#include <GL/gl.h>
#include <imm.h>
#include <string>
#include <thread>
#include <utility>
#include <vector>
#include "host/command_line.h"
#include "host/saver_window.h"
#include "offscreen_window.h"
#include "render/frame_clock.h"
#include "render/frame_pacing.h"
#include "render/gl_window.h"
#include "render/scene.h"
#include "support/registry_fixture.h"

namespace {

constexpr POINT HOME{300, 300};

// The windows close requests wait for (a window filter would take its children's too).
std::vector<HWND> TakeCloses() {
    std::vector<HWND> windows;
    for (MSG message; PeekMessageA(&message, nullptr, WM_CLOSE, WM_CLOSE, PM_REMOVE);)
        windows.push_back(message.hwnd);
    return windows;
}

// In which modes a message hides the cursor.
constexpr int FULL = 1, VERIFYING = 8;

TEST(CloseRules, InputOverTheSaverOrTheSceneClosesTheSaverWindowOnly) {
    HWND saverWindow = CreateWindowExA(0, "STATIC", "Screen Saver", WS_POPUP, 0, 0, 64, 64, nullptr,
                                       nullptr, nullptr, nullptr);
    HWND child = CreateWindowExA(0, "STATIC", "scene", WS_CHILD, 0, 0, 64, 64, saverWindow, nullptr,
                                 nullptr, nullptr);
    ASSERT_TRUE(saverWindow != nullptr && child != nullptr);
    saver.saverWindow = saverWindow;
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
                saver.isPreviewMode = modes[mode][0];
                saver.isClosing = modes[mode][1];
                saver.isVerifyingPassword = modes[mode][2];
                saver.cursorAnchor = HOME;
                saver.cursorAnchorKnown = true;
                TakeCloses();
                SetCursor(arrow);
                SetCursorPos(HOME.x + c.move.x, HOME.y + c.move.y);
                const LPARAM lParam = c.message == WM_SETCURSOR ? OVER_CLIENT : 0;
                if (overScene)
                    RenderWindowProc(child, c.message, c.wParam, lParam);
                else
                    SaverWindowProc(saverWindow, c.message, c.wParam, lParam);
                const bool closes = c.closes && mode == 0;
                EXPECT_EQ(TakeCloses(),
                          closes ? std::vector<HWND>{saverWindow} : std::vector<HWND>{});
                const bool anchorMoves = closes && c.message == WM_MOUSEMOVE;
                EXPECT_EQ(saver.cursorAnchor.x, HOME.x + (anchorMoves ? c.move.x : 0));
                EXPECT_EQ(saver.cursorAnchor.y, HOME.y + (anchorMoves ? c.move.y : 0));
                EXPECT_EQ(GetCursor(), (c.hidesIn >> mode & 1) ? nullptr : arrow);
            }
        }
    }
    DestroyWindow(saverWindow);
    saver = {};
}

TEST(CursorReadings, FailedReadsNeitherCloseNorMoveTheAnchor) {
    saver.cursorAnchorKnown = false;
    // Creation could not read the cursor: the first reading that works becomes the anchor.
    EXPECT_FALSE(TakeCursorReading(false, POINT{900, 900}));
    EXPECT_FALSE(saver.cursorAnchorKnown);
    EXPECT_FALSE(TakeCursorReading(true, POINT{100, 100}));
    EXPECT_TRUE(saver.cursorAnchorKnown);
    EXPECT_FALSE(TakeCursorReading(true, POINT{102, 102}));
    EXPECT_FALSE(TakeCursorReading(false, POINT{-5000, 7000}));
    EXPECT_EQ(std::make_pair(saver.cursorAnchor.x, saver.cursorAnchor.y),
              std::make_pair(100L, 100L));
    // Moves add up from the anchor; a closing move becomes the new anchor.
    EXPECT_TRUE(TakeCursorReading(true, POINT{103, 102}));
    EXPECT_FALSE(TakeCursorReading(true, POINT{101, 104}));
    EXPECT_TRUE(TakeCursorReading(true, POINT{98, 103}));
}

// A whole full-screen run, ended by input that arrives over the scene window, as the user's
// mouse sends it. What the run showed, in order:
std::string run;

// At the first frame: the input context taken away, the cursor hidden; then a 5-pixel move.
LRESULT CALLBACK WatchFrames(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && message->message == WM_PAINT &&
        message->hwnd == renderWindow.glWindow && frameClock.frameTime > 0.0 && run.empty()) {
        HIMC context = ImmGetContext(saver.saverWindow);
        run = context ? "frame, input context" : "frame";
        ImmReleaseContext(saver.saverWindow, context);
        run += GetCursor() ? ", cursor" : "";
        SetCursorPos(HOME.x + 3, HOME.y + 2);
        SendMessageA(renderWindow.glWindow, WM_MOUSEMOVE, 0, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// What the saver window's destruction has done by the time its procedure returns.
LRESULT CALLBACK WatchDestruction(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_DESTROY && call->hwnd == saver.saverWindow) {
        HIMC context = ImmGetContext(call->hwnd);
        run += context ? "; destroyed, context back" : "; destroyed";
        ImmReleaseContext(call->hwnd, context);
        run += wglGetCurrentContext() ? ", rendering context" : "";
        run += IsWindow(renderWindow.glWindow) ? ", scene window" : "";
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

using SaverRun = RegistryTest;

TEST_F(SaverRun, AGoneParentEndsItAtOnceInputOverTheSceneThroughTheTeardown) {
    saver.appInstance = GetModuleHandleA(nullptr);
    // A preview parent gone before the saver starts ends it with -1.
    HWND parent = CreateWindowExA(0, "STATIC", "gone", WS_OVERLAPPEDWINDOW, 0, 0, 200, 150, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    DestroyWindow(parent);
    EXPECT_EQ(RunSaverWindow(parent), -1);
    EXPECT_EQ(saver.saverWindow, nullptr);
    ASSERT_TRUE(SetCursorPos(HOME.x, HOME.y));
    run.clear();
    const DWORD thread = GetCurrentThreadId();
    HHOOK frames = SetWindowsHookExA(WH_GETMESSAGE, WatchFrames, nullptr, thread);
    HHOOK destruction = SetWindowsHookExA(WH_CALLWNDPROCRET, WatchDestruction, nullptr, thread);
    // A run that never ends is ended from outside.
    const UINT_PTR watchdog =
        SetTimer(nullptr, 0, 30000, [](HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(99); });
    EXPECT_EQ(RunSaverWindow(nullptr), 0);
    KillTimer(nullptr, watchdog);
    UnhookWindowsHookEx(frames);
    UnhookWindowsHookEx(destruction);
    EXPECT_EQ(run, "frame; destroyed, context back");
    EXPECT_EQ(textureSlots, decltype(textureSlots){});
    EXPECT_FALSE(IsWindow(saver.saverWindow));
    // A run the watchdog ended leaves its window, whose end asks to quit again.
    DestroyWindow(std::exchange(saver.saverWindow, nullptr));
    for (MSG message; PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);) continue;
    UnregisterClassA("WindowsScreenSaverClass", saver.appInstance);
    UnregisterClassA("OpenGL Window", saver.appInstance);
}

WNDPROC sceneProc = nullptr, standInProc = nullptr;
int paints = 0;

LRESULT CALLBACK CountingSceneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    paints += message == WM_PAINT;
    return CallWindowProcA(sceneProc, window, message, wParam, lParam);
}

// The stand-in saver window ends the loop with code 7 when it is asked to close.
LRESULT CALLBACK ClosingStandInProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) PostQuitMessage(7);
    return CallWindowProcA(standInProc, window, message, wParam, lParam);
}

WNDPROC Subclass(HWND window, WNDPROC proc) {
    return reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
}

// Posts `message` to `target` from another thread after `delayMs`.
std::thread PostLater(HWND target, UINT message, DWORD delayMs) {
    return std::thread([=] {
        Sleep(delayMs);
        PostMessageA(target, message, 'Q', 0);
    });
}

TEST_F(SaverRun, FramesComeAtTheDisplaysRateAndInputIsAnsweredAtOnce) {
    saver.appInstance = GetModuleHandleA(nullptr);
    HWND window = CreateStandInWindow(320, 240);
    ASSERT_TRUE(window != nullptr && CreateScene(window, 1));
    sceneProc = Subclass(renderWindow.glWindow, CountingSceneProc);
    standInProc = Subclass(window, ClosingStandInProc);
    // One frame per refresh period, plus the unpaced ones that find the swap interval ignored.
    std::thread poster = PostLater(window, WM_CLOSE, 1000);
    double start = PacingClockSeconds();
    EXPECT_EQ(RunMessageLoop(), 7);
    EXPECT_LE(paints,
              (PacingClockSeconds() - start) / framePacer.period + FAST_SWAPS_TO_GIVE_UP + 2);
    EXPECT_GE(paints, 3);
    poster.join();
    // A modal dialog's loop never asks for frames; the scene window's timer does.
    paints = 0;
    poster = PostLater(window, WM_CLOSE, 600);
    start = PacingClockSeconds();
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0)) DispatchMessageA(&message);
    EXPECT_GE(paints, 3);
    EXPECT_LE(paints, (PacingClockSeconds() - start) / framePacer.period + 2);
    poster.join();
    // The next frame half a minute away, a key meets the close rules without waiting for it.
    framePacer.swapPaced = false;
    framePacer.period = 30.0;
    framePacer.deadline = PacingClockSeconds() + 30.0;
    poster = PostLater(renderWindow.glWindow, WM_KEYDOWN, 100);
    start = PacingClockSeconds();
    EXPECT_EQ(RunMessageLoop(), 7);
    EXPECT_LT(PacingClockSeconds() - start, 10.0);
    poster.join();
    DestroyScene();
    DestroyWindow(window);
    UnregisterClassA("OpenGL Window", GetModuleHandleA(nullptr));
    // The teardown's quit requests must not reach another test's loop.
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) continue;
}

}  // namespace
