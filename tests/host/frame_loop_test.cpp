#include <gtest/gtest.h>
#include <windows.h>
#include <thread>
#include "host/command_line.h"
#include "host/saver_window.h"
#include "offscreen_window.h"
#include "render/frame_pacing.h"
#include "render/gl_window.h"
#include "render/scene.h"
#include "support/registry_fixture.h"

namespace {

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

using FrameLoop = RegistryTest;

TEST_F(FrameLoop, FramesComeAtTheDisplaysRateAndInputIsAnsweredAtOnce) {
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
