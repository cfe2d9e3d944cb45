#include <gtest/gtest.h>
#include <GL/gl.h>
#include <array>
#include <cmath>
#include <numbers>
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
    // Never shown: taking a shown window down waits seconds for the display here.
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

TEST_F(SceneTest, CreationFillsTheTablesAndTheProjectionListRestoresThePerspective) {
    Create(400, 200);
    EXPECT_EQ(std::make_pair(clientRect.right, clientRect.bottom), std::make_pair(400L, 200L));
    for (unsigned int list = 1; list <= LIST_BEAM; ++list) EXPECT_EQ(glIsList(list), list != 9);
    for (int slot : {1, 2, 8}) EXPECT_EQ(textureSlots[slot], 0u) << slot;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(3.0f, 4.0f, 5.0f);
    glCallList(LIST_PROJECTION);
    std::array<double, 16> m{};
    glGetDoublev(GL_MODELVIEW_MATRIX, m.data());
    EXPECT_EQ(m, (std::array<double, 16>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}));
    // 45 degrees from the bottom edge to the top, the window's 2 : 1, depths 1 to 100.
    glGetDoublev(GL_PROJECTION_MATRIX, m.data());
    EXPECT_NEAR(m[5] * std::tan(22.5 * std::numbers::pi / 180.0), 1.0, 1e-6);
    EXPECT_NEAR(m[0] * 2.0, m[5], 1e-6);
    EXPECT_NEAR(-m[10] + m[14], -1.0, 1e-6);
    EXPECT_NEAR((-100.0 * m[10] + m[14]) / 100.0, 1.0, 1e-6);
    std::array<GLint, 4> viewport{};
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    EXPECT_EQ(viewport, (std::array<GLint, 4>{0, 0, 400, 200}));
}

// With "Random" stored, the scene is built in one scheme drawn at random; the stored value stays.
TEST_F(SceneTest, EverySlotHoldsItsBitmapInTheRandomSchemeDrawnOnce) {
    DWORD colour = ROBOT_COLOUR_RANDOM, size = sizeof(colour);
    RegSetKeyValueA(HKEY_CURRENT_USER, SETTINGS_KEY, "Mekan Colour", REG_DWORD, &colour, size);
    Create();
    // Seeded with 1, the first draw is 41: 41 % 6.
    EXPECT_EQ(saverSettings.robotColour, 5);
    RegGetValueA(HKEY_CURRENT_USER, SETTINGS_KEY, "Mekan Colour", RRF_RT_DWORD, nullptr, &colour,
                 &size);
    EXPECT_EQ(colour, DWORD(ROBOT_COLOUR_RANDOM));
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

}  // namespace
