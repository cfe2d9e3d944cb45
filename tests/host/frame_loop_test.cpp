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

WNDPROC sceneProc = nullptr;
WNDPROC standInProc = nullptr;
int paints = 0;

LRESULT CALLBACK CountingSceneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) ++paints;
    return CallWindowProcA(sceneProc, window, message, wParam, lParam);
}

// The stand-in saver window ends the loop with code 7 when the close rules ask it to close.
LRESULT CALLBACK ClosingStandInProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) PostQuitMessage(7);
    return CallWindowProcA(standInProc, window, message, wParam, lParam);
}

double Seconds() {
    return PacingClockSeconds();
}

class FrameLoopTest : public RegistryTest {
protected:
    void SetUp() override {
        RegistryTest::SetUp();
        appInstance = GetModuleHandleA(nullptr);
        window_ = CreateStandInWindow(320, 240);
        ASSERT_NE(window_, nullptr);
        ASSERT_TRUE(CreateScene(window_, 1));
        paints = 0;
        sceneProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
            glWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingSceneProc)));
        standInProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
            window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ClosingStandInProc)));
    }
    void TearDown() override {
        if (glContext != nullptr) DestroyScene();
        glContext = nullptr;
        DestroyWindow(window_);
        UnregisterClassA("OpenGL Window", GetModuleHandleA(nullptr));
        // The quit requests of the teardown must not reach the next test's loop.
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
        RegistryTest::TearDown();
    }
    // Posts `message` to `target` from another thread after `delayMs`.
    void PostLater(HWND target, UINT message, WPARAM wParam, DWORD delayMs) {
        poster_ = std::thread([=] {
            Sleep(delayMs);
            PostMessageA(target, message, wParam, 0);
        });
    }
    void JoinPoster() {
        if (poster_.joinable()) poster_.join();
    }
    HWND window_ = nullptr;
    std::thread poster_;
};

TEST_F(FrameLoopTest, FramesComeAtTheDisplaysRateNotTheLoops) {
    // A second of the loop: at most one frame per refresh period, plus the few unpaced frames
    // it takes to find that a driver ignores the swap interval (this virtual display does).
    PostLater(window_, WM_CLOSE, 0, 1000);
    const double start = Seconds();
    EXPECT_EQ(RunMessageLoop(), 7);
    const double seconds = Seconds() - start;
    JoinPoster();
    EXPECT_LE(paints, seconds / framePacer.period + FAST_SWAPS_TO_GIVE_UP + 2);
    EXPECT_GE(paints, 3);
}

TEST_F(FrameLoopTest, AKeyClosesAtOnceWhileTheLoopWaitsForAFrame) {
    // The next frame is two seconds away; a key pressed meanwhile is judged by the close
    // rules and closes the saver without waiting for it.
    framePacer.swapPaced = false;
    framePacer.period = 2.0;
    framePacer.deadline = Seconds() + 2.0;
    PostLater(glWindow, WM_KEYDOWN, 'Q', 100);
    const double start = Seconds();
    EXPECT_EQ(RunMessageLoop(), 7);
    EXPECT_LT(Seconds() - start, 1.0);
    JoinPoster();
}

TEST_F(FrameLoopTest, FramesGoOnWhileAnotherLoopRuns) {
    // A modal dialog's loop (here a plain one) never asks for frames; the scene window's
    // timer still does.
    framePacer.swapPaced = false;
    PostLater(window_, WM_CLOSE, 0, 600);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0)) DispatchMessageA(&message);
    JoinPoster();
    EXPECT_GE(paints, 3);
    EXPECT_LE(paints, 0.6 / framePacer.period + 2);
}

}  // namespace
