// The saver's layout over the monitors, and a change of display while the show runs: the
// windows move, the scene follows at its new size and DPI, and the show goes on untouched.
#include <gtest/gtest.h>
#include <windows.h>
#include <GL/gl.h>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>
#include "host/saver_window.h"
#include "render/gl_window.h"
#include "render/scene.h"
#include "show/show_fixture.h"
#include "support/registry_fixture.h"

namespace {

constexpr uint32_t SEED = 4242;

std::string Text(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

std::string ScreenRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return Text(rect);
}

TEST(LayoutSaver, TheWindowSpansEveryMonitorAndTheSceneSitsOnThePrimary) {
    const struct {
        std::vector<MonitorArea> monitors;
        const char* window;  // screen coordinates
        const char* scene;   // the saver window's client coordinates
    } cases[] = {
        // A larger secondary above, listed first.
        {{{{-200, -1440, 2360, 0}, false}, {{0, 0, 1920, 1080}, true}},
         "-200,-1440,2360,1080",
         "200,1440,2120,2520"},
        // Three in a row, the primary in the middle.
        {{{{-1024, 0, 0, 768}, false},
          {{0, 0, 1280, 1024}, true},
          {{1280, 100, 2880, 1000}, false}},
         "-1024,0,2880,1024",
         "1024,0,2304,1024"},
        // No flagged primary: the first.
        {{{{1920, 0, 3200, 1024}, false}, {{0, 0, 1920, 1080}, false}},
         "0,0,3200,1080",
         "1920,0,3200,1024"},
        {{}, "0,0,0,0", "0,0,0,0"},
    };
    for (const auto& c : cases) {
        const SaverLayout layout = LayoutSaver(c.monitors);
        EXPECT_EQ(Text(layout.window) + " " + Text(layout.scene),
                  std::string(c.window) + " " + c.scene);
    }
}

// The bytes of every owner of the show's state: what a display change must leave alone.
std::string ShowBytes() {
    std::string bytes;
    const auto add = [&bytes](const auto& owner) {
        bytes.append(reinterpret_cast<const char*>(&owner), sizeof(owner));
    };
    add(showState);
    add(robotPose);
    add(hologram);
    add(frameClock.frameTime);
    add(frameClock.frameDelta);
    add(randomState);
    add(textureSlots);
    add(glyphTextures);
    add(pictureCatalogue);
    return bytes;
}

class DisplayChange : public RegistryTest {
protected:
    void SetUp() override {
        RegistryTest::SetUp();
        saver = {};
        saver.appInstance = GetModuleHandleA(nullptr);
    }
    void TearDown() override {
        EndScene();
        ResetShowState(1);
        overlay = {};
        saver = {};
        RegistryTest::TearDown();
    }
    // A full-screen saver window (never shown: taking a shown window down waits seconds here)
    // at `area`, its scene at `sceneArea`, with the show started afresh from SEED.
    void StartScene(const RECT& area, const RECT& sceneArea) {
        ResetShowState(SEED);
        overlay = {};
        window_ = CreateWindowExA(0, "STATIC", "Screen Saver", WS_POPUP, area.left, area.top,
                                  area.right - area.left, area.bottom - area.top, nullptr, nullptr,
                                  nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
        ASSERT_TRUE(CreateScene(window_, SEED, &sceneArea));
    }
    void EndScene() {
        if (window_ == nullptr) return;
        DestroyScene();
        DestroyWindow(window_);
        window_ = nullptr;
        UnregisterClassA("OpenGL Window", GetModuleHandleA(nullptr));
        for (MSG message; PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);) continue;
    }
    // Frames of the show from the next frame time up to `seconds`, each after the swap of the
    // one before, as the scene window paints them; the last stays in the back buffer.
    static void RunTo(double seconds) {
        for (double time = frameClock.frameTime + FRAME; time <= seconds + 1e-9; time += FRAME) {
            SwapBuffers(renderWindow.glDC);
            // The system's own events (a resized drawable among them), no message dispatched.
            MSG message;
            PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
            RenderFrame(time);
        }
    }
    HWND window_ = nullptr;
};

// A viewport and the aspect ratio of a projection, as text.
std::string ViewText(const GLint (&viewport)[4], double aspect) {
    char text[64];
    std::snprintf(text, sizeof(text), "%d,%d %dx%d aspect %.4f", viewport[0], viewport[1],
                  viewport[2], viewport[3], aspect);
    return text;
}

// The projection the scene's frames start from.
std::string Projection() {
    glCallList(LIST_PROJECTION);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLdouble m[16];
    glGetDoublev(GL_PROJECTION_MATRIX, m);
    return ViewText(viewport, m[5] / m[0]);
}

// What Projection() gives for a window of that size.
std::string ProjectionFor(int width, int height) {
    return ViewText({0, 0, width, height}, static_cast<double>(width) / height);
}

TEST_F(DisplayChange, AResizedShowDrawsWhatAShowStartedAtThatSizeDraws) {
    // Started at 640 x 480 on 96 DPI, moved after two seconds to 800 x 600 at 144 DPI (the
    // window over a secondary left of the primary, the scene on the primary).
    StartScene({0, 0, 640, 480}, {0, 0, 640, 480});
    RunTo(2.0);
    const float bannerX = overlay.bannerX;
    const std::string before = ShowBytes();
    PlaceSaver(window_, {{-300, 100, 1300, 1000}, {300, 0, 1100, 600}}, 144);
    EXPECT_EQ(ScreenRect(window_), "-300,100,1300,1000");
    EXPECT_EQ(ScreenRect(renderWindow.glWindow), "0,100,800,700");
    EXPECT_EQ(Text(scene.clientRect), "0,0,800,600");
    EXPECT_EQ(Projection(), ProjectionFor(800, 600));
    EXPECT_EQ(overlay.overlayScale, 1.5f);
    EXPECT_EQ(overlay.bannerX, bannerX == 0.0f ? 0.0f : 800.0f / 1.5f - 256.0f);
    EXPECT_TRUE(ShowBytes() == before) << "the move changed the show's state";
    RunTo(5.0);
    const std::string show = ShowBytes();
    std::vector<uint8_t> moved(800 * 600 * 4);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, moved.data());
    EndScene();

    StartScene({0, 0, 800, 600}, {0, 0, 800, 600});
    overlay.overlayScale = 1.5f;
    RunTo(5.0);
    EXPECT_TRUE(ShowBytes() == show) << "the moved show went another way";
    std::vector<uint8_t> fresh(moved.size());
    glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, fresh.data());
    size_t differing = 0, lit = 0;
    for (size_t i = 0; i < moved.size(); ++i) {
        differing += moved[i] != fresh[i];
        lit += fresh[i] > 16;
    }
    EXPECT_EQ(differing, 0u);
    EXPECT_GT(lit, 10000u) << "the frame shows something";
}

TEST_F(DisplayChange, TheBannerKeepsToItsEdgeAndAFoldedSceneKeepsItsLastSize) {
    StartScene({0, 0, 640, 480}, {0, 0, 640, 480});
    overlay.bannerX = 640.0f - 256.0f;
    PlaceSaver(window_, {{0, 0, 1000, 700}, {0, 0, 1000, 700}}, 96);
    EXPECT_EQ(overlay.bannerX, 1000.0f - 256.0f);
    PlaceSaver(window_, {{0, 0, 1000, 700}, {0, 0, 1000, 700}}, 192);
    EXPECT_EQ(overlay.bannerX, 500.0f - 256.0f);
    overlay.bannerX = 0.0f;
    PlaceSaver(window_, {{0, 0, 300, 200}, {0, 0, 300, 200}}, 96);
    EXPECT_EQ(overlay.bannerX, 0.0f);
    // Nothing to draw in: the projection stays as it was, never divided by a zero height.
    PlaceSaver(window_, {{0, 0, 300, 200}, {0, 0, 300, 0}}, 96);
    EXPECT_EQ(Text(scene.clientRect), "0,0,300,200");
    EXPECT_EQ(Projection(), ProjectionFor(300, 200));
}

TEST_F(DisplayChange, FullScreenFollowsTheDisplaysOnTheirMessagesOnly) {
    const std::vector<MonitorArea> monitors = ListMonitors();
    const SaverLayout now = LayoutSaver(monitors);
    RECT primary = now.scene;
    OffsetRect(&primary, now.window.left, now.window.top);
    const float scale = OverlayScaleFor(PrimaryMonitorDpi());
    StartScene({0, 0, 320, 240}, {0, 0, 320, 240});
    const struct {
        const char* what;
        UINT message;
        WPARAM wParam;
        bool preview, follows;
    } cases[] = {
        {"display change", WM_DISPLAYCHANGE, 24, false, true},
        {"DPI change", WM_DPICHANGED, MAKEWPARAM(144, 144), false, true},
        {"work area", WM_SETTINGCHANGE, SPI_SETWORKAREA, false, true},
        {"scaling", WM_SETTINGCHANGE, SPI_SETLOGICALDPIOVERRIDE, false, true},
        {"wallpaper", WM_SETTINGCHANGE, SPI_SETDESKWALLPAPER, false, false},
        {"display change in preview", WM_DISPLAYCHANGE, 24, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // The layout of some other time: a smaller screen at 200 %; the cursor anchored far off.
        saver.isPreviewMode = c.preview ? 1 : 0;
        PlaceSaver(window_, {{10, 20, 330, 260}, {0, 0, 320, 240}}, 192);
        saver.cursorAnchor = {-5000, -5000};
        saver.cursorAnchorKnown = true;
        RECT suggested{0, 0, 100, 100};
        SaverWindowProc(window_, c.message, c.wParam, reinterpret_cast<LPARAM>(&suggested));
        EXPECT_EQ(ScreenRect(window_), c.follows ? Text(now.window) : "10,20,330,260");
        EXPECT_EQ(ScreenRect(renderWindow.glWindow), c.follows ? Text(primary) : "10,20,330,260");
        EXPECT_EQ(overlay.overlayScale, c.follows ? scale : 2.0f);
        POINT cursor{};
        GetCursorPos(&cursor);
        EXPECT_EQ(saver.cursorAnchor.x, c.follows ? cursor.x : -5000);
    }
}

// Runs the saver's message loop for `ms` milliseconds.
void RunLoopFor(DWORD ms) {
    const DWORD loop = GetCurrentThreadId();
    std::thread quit([=] {
        Sleep(ms);
        PostThreadMessageA(loop, WM_QUIT, 5, 0);
    });
    EXPECT_EQ(RunMessageLoop(), 5);
    quit.join();
}

// A change no message told of is found by the layout's timer (display_change_e2e.sh); a
// layout as it was is left alone, the cursor's anchor with it.
TEST_F(DisplayChange, FullScreenLeavesAnUnchangedLayoutAlone) {
    const SaverLayout now = LayoutSaver(ListMonitors());
    StartScene(now.window, now.scene);
    WatchLayout(window_);
    saver.cursorAnchor = {-5000, -5000};
    saver.cursorAnchorKnown = true;
    RunLoopFor(600);
    EXPECT_EQ(saver.cursorAnchor.x, -5000);
    EXPECT_EQ(ScreenRect(window_), Text(now.window));
}

}  // namespace
