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

class FrameLoopTest : public RegistryTest {
protected:
    void SetUp() override {
        RegistryTest::SetUp();
        appInstance = GetModuleHandleA(nullptr);
        window_ = CreateStandInWindow(320, 240);
        ASSERT_TRUE(window_ != nullptr && CreateScene(window_, 1));
        paints = 0;
        sceneProc = Subclass(glWindow, CountingSceneProc);
        standInProc = Subclass(window_, ClosingStandInProc);
    }
    void TearDown() override {
        if (poster_.joinable()) poster_.join();
        DestroyScene();
        DestroyWindow(window_);
        UnregisterClassA("OpenGL Window", GetModuleHandleA(nullptr));
        // The teardown's quit requests must not reach the next test's loop.
        for (MSG message; PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);) continue;
        RegistryTest::TearDown();
    }
    void PostLater(HWND target, UINT message, DWORD delayMs) {
        poster_ = std::thread([=] {
            Sleep(delayMs);
            PostMessageA(target, message, 'Q', 0);
        });
    }
    HWND window_ = nullptr;
    std::thread poster_;
};

TEST_F(FrameLoopTest, FramesComeAtTheDisplaysRateNotTheLoops) {
    // One frame per refresh period, plus the unpaced ones that find the swap interval ignored.
    PostLater(window_, WM_CLOSE, 1000);
    const double start = PacingClockSeconds();
    EXPECT_EQ(RunMessageLoop(), 7);
    const double seconds = PacingClockSeconds() - start;
    EXPECT_LE(paints, seconds / framePacer.period + FAST_SWAPS_TO_GIVE_UP + 2);
    EXPECT_GE(paints, 3);
    // A modal dialog's loop never asks for frames; the scene window's timer does.
    poster_.join();
    paints = 0;
    PostLater(window_, WM_CLOSE, 600);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0)) DispatchMessageA(&message);
    EXPECT_GE(paints, 3);
    EXPECT_LE(paints, 0.6 / framePacer.period + 2);
}

TEST_F(FrameLoopTest, AKeyClosesAtOnceWhileTheLoopWaitsForAFrame) {
    // The next frame is two seconds away; a key meets the close rules without waiting for it.
    framePacer.swapPaced = false;
    framePacer.period = 2.0;
    framePacer.deadline = PacingClockSeconds() + 2.0;
    PostLater(glWindow, WM_KEYDOWN, 100);
    const double start = PacingClockSeconds();
    EXPECT_EQ(RunMessageLoop(), 7);
    EXPECT_LT(PacingClockSeconds() - start, 1.0);
}

}  // namespace
