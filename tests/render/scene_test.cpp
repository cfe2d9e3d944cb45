#include <gtest/gtest.h>
#include <GL/gl.h>
#include <array>
#include "art_resources.h"
#include "render/scene.h"
#include "settings/settings.h"
#include "support/gl_fixture.h"
#include "support/registry_fixture.h"

namespace {

using SceneTest = RegistryTest;

// With "Random" stored, the scene is built in one scheme drawn at random; the stored value stays.
TEST_F(SceneTest, EverySlotHoldsItsBitmapInTheRandomSchemeDrawnOnceAndFramesStartAfresh) {
    DWORD colour = ROBOT_COLOUR_RANDOM, size = sizeof(colour);
    RegSetKeyValueA(HKEY_CURRENT_USER, SETTINGS_KEY, "Mekan Colour", REG_DWORD, &colour, size);
    // A window never shown: taking a shown window down waits seconds for the display here.
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 320, 240, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_TRUE(window != nullptr && CreateScene(window, 1));
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
         {Slot{0, BANNER_BITMAP.id, false, true}, Slot{4, BODY_BITMAP.id, true, false},
          Slot{5, DOME_CAP_BITMAP.id, true, true}, Slot{6, DOME_BAND_BITMAP.id, true, true},
          Slot{7, PANEL_BITMAP.id, true, false}, Slot{10, LEGS_BITMAP.id, true, false},
          Slot{9, LENS_BITMAP.id, false, false}, Slot{11, FEET_BITMAP.id, false, false},
          Slot{3, CHROME_BITMAP.id, false, false}}) {
        EXPECT_EQ(TextureMismatches(textureSlots[s.slot], s.resource, s.scheme ? 5 : 0, s.keyed), 0)
            << "slot " << s.slot;
    }
    // The projection list also puts back the model view each frame starts from.
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(3.0f, 4.0f, 5.0f);
    glCallList(LIST_PROJECTION);
    std::array<double, 16> m{};
    glGetDoublev(GL_MODELVIEW_MATRIX, m.data());
    EXPECT_EQ(m, (std::array<double, 16>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}));
    DestroyScene();
    DestroyWindow(window);
    UnregisterClassA("OpenGL Window", GetModuleHandleA(nullptr));
}

}  // namespace
