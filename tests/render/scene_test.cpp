#include <gtest/gtest.h>
#include <GL/gl.h>
#include <GL/glu.h>
#include <array>
#include <vector>
#include "host/saver_window.h"
#include "render/frame_clock.h"
#include "render/gl_window.h"
#include "render/scene.h"
#include "settings/settings.h"
#include "support/gl_fixture.h"
#include "support/registry_fixture.h"
#include "text/overlay.h"

namespace {

class SceneTest : public RegistryTest {
protected:
    void TearDown() override {
        if (glContext != nullptr) DestroyScene();
        glContext = nullptr;
        if (window_ != nullptr) DestroyWindow(window_);
        // Each test builds the scene in a fresh window, as each saver process does once.
        UnregisterClassA("OpenGL Window", GetModuleHandleA(nullptr));
        isPreviewMode = 0;
        RegistryTest::TearDown();
    }
    // A stand-in for the saver window that is never shown: under Wine here, taking a shown
    // window down waits seconds for the display.
    void Create(int width = 320, int height = 240) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "QuorvelSceneTest";
        RegisterClassA(&windowClass);
        window_ = CreateWindowExA(0, "QuorvelSceneTest", "", WS_POPUP, 0, 0, width, height, nullptr,
                                  nullptr, windowClass.hInstance, nullptr);
        ASSERT_NE(window_, nullptr);
        ASSERT_TRUE(CreateScene(window_, 1));
    }
    HWND window_ = nullptr;
};

std::array<double, 16> Matrix(GLenum which) {
    std::array<double, 16> m{};
    glGetDoublev(which, m.data());
    return m;
}

TEST_F(SceneTest, CreationFillsTheTablesAndRecordsTheWindow) {
    Create(320, 240);
    EXPECT_EQ(saverWindow, window_);
    EXPECT_EQ(clientRect.right, 320);
    EXPECT_EQ(clientRect.bottom, 240);
    EXPECT_FALSE(overlayDisabled);
    EXPECT_NE(frameTimerId, 0u);
    for (unsigned int list = 1; list <= LIST_BEAM; ++list) {
        EXPECT_EQ(glIsList(list), list != 9) << list;
    }
    for (int slot : {1, 2, 8}) EXPECT_EQ(textureSlots[slot], 0u) << slot;
}

// With "Random" stored, the scene is built in one scheme drawn at random; the stored value stays.
TEST_F(SceneTest, EverySlotHoldsItsBitmapInTheRandomSchemeDrawnOnce) {
    HKEY key;
    RegCreateKeyExA(HKEY_CURRENT_USER, SETTINGS_KEY, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    const DWORD random = ROBOT_COLOUR_RANDOM;
    RegSetValueExA(key, "Mekan Colour", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&random),
                   sizeof(random));
    Create();
    // Seeded with 1, the first draw is 41: 41 % 6.
    EXPECT_EQ(saverSettings.robotColour, 5);
    DWORD stored = 0;
    DWORD size = sizeof(stored);
    RegQueryValueExA(key, "Mekan Colour", nullptr, nullptr, reinterpret_cast<BYTE*>(&stored),
                     &size);
    RegCloseKey(key);
    EXPECT_EQ(stored, 6u);
    struct Slot {
        int slot, resource;
        bool scheme, keyed;
    };
    for (const Slot s :
         {Slot{0, 101, false, true}, Slot{4, 102, true, false}, Slot{5, 103, true, true},
          Slot{6, 105, true, true}, Slot{7, 106, true, false}, Slot{10, 109, true, false},
          Slot{9, 108, false, false}, Slot{11, 110, false, false}, Slot{3, 104, false, false}}) {
        EXPECT_EQ(TextureMismatches(textureSlots[s.slot], s.resource, s.scheme ? 5 : 0, s.keyed), 0)
            << "slot " << s.slot;
    }
}

TEST_F(SceneTest, ProjectionListRestoresThePerspective) {
    Create(400, 200);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(3.0f, 4.0f, 5.0f);
    glCallList(LIST_PROJECTION);
    std::array<double, 16> identity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    EXPECT_EQ(Matrix(GL_MODELVIEW_MATRIX), identity);
    const std::array<double, 16> projection = Matrix(GL_PROJECTION_MATRIX);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 2.0, 1.0, 100.0);
    const std::array<double, 16> expected = Matrix(GL_PROJECTION_MATRIX);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(projection[i], expected[i], 1e-6) << i;
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 400);
    EXPECT_EQ(viewport[3], 200);
}

TEST_F(SceneTest, FramesReadTheClockOnce) {
    Create();
    RenderFrame(0.25);
    EXPECT_DOUBLE_EQ(frameDelta, 0.25);
    RenderFrame(0.3);
    EXPECT_DOUBLE_EQ(frameTime, 0.3);
    EXPECT_NEAR(frameDelta, 0.05, 1e-12);
    EXPECT_DOUBLE_EQ(previousFrameTime, 0.3);
}

TEST_F(SceneTest, PreviewDisablesTheOverlay) {
    isPreviewMode = 1;
    Create();
    EXPECT_TRUE(overlayDisabled);
}

TEST_F(SceneTest, TeardownDeletesEveryTexture) {
    Create();
    const auto slots = textureSlots;
    const auto glyphs = glyphTextures;
    ReleaseScene();
    for (uint32_t name : slots) EXPECT_FALSE(glIsTexture(name));
    for (uint32_t name : glyphs) EXPECT_FALSE(glIsTexture(name));
    for (uint32_t name : textureSlots) EXPECT_EQ(name, 0u);
}

}  // namespace
