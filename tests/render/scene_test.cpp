#include <gtest/gtest.h>
#include <GL/gl.h>
#include <GL/glu.h>
#include <array>
#include <vector>
#include "host/saver_window.h"
#include "offscreen_window.h"
#include "render/frame_clock.h"
#include "render/gl_window.h"
#include "render/scene.h"
#include "settings/settings.h"
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
    void Create(int width = 320, int height = 240) {
        window_ = CreateStandInWindow(width, height);
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
    for (int slot : {0, 3, 4, 5, 6, 7, 9, 10, 11})
        EXPECT_TRUE(glIsTexture(textureSlots[slot])) << slot;
    EXPECT_EQ(textureSlots[1], 0u);
    EXPECT_EQ(textureSlots[8], 0u);
    EXPECT_EQ(textureSlots[2], 0u);
}

TEST_F(SceneTest, RandomColourIsResolvedInMemoryOnly) {
    saverSettings.robotColour = 0;
    HKEY key;
    RegCreateKeyExA(HKEY_CURRENT_USER, SETTINGS_KEY, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    const DWORD random = 6;
    RegSetValueExA(key, "Mekan Colour", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&random),
                   sizeof(random));
    Create();
    EXPECT_GE(saverSettings.robotColour, 0);
    EXPECT_LT(saverSettings.robotColour, 6);
    DWORD stored = 0;
    DWORD size = sizeof(stored);
    RegQueryValueExA(key, "Mekan Colour", nullptr, nullptr, reinterpret_cast<BYTE*>(&stored),
                     &size);
    RegCloseKey(key);
    EXPECT_EQ(stored, 6u);
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
