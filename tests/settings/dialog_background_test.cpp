#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <array>
#include <cstdint>
#include <set>
#include "settings/config_dialog.h"
#include "support/registry_fixture.h"

namespace {

constexpr uint32_t KEY = 0x00FF00FF;  // magenta, absent from the picture

using DialogBackground = RegistryTest;

TEST_F(DialogBackground, ThePictureIsStretchedSmoothlyOverTheDialogsClientArea) {
    HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(CONFIG_DIALOG_ID),
                                     nullptr, ScreenSaverConfigureDialog, 0);
    ASSERT_NE(dialog, nullptr);
    HWND background = GetDlgItem(dialog, CONTROL_BACKGROUND);
    RECT client, placed;
    GetClientRect(dialog, &client);
    GetWindowRect(background, &placed);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_TRUE(EqualRect(&placed, &client));
    // What the control really paints, on a surface of the key colour larger than the dialog.
    const int width = client.right + 40, height = client.bottom + 40;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(info.bmiHeader), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC dc = CreateCompatibleDC(nullptr);
    uint32_t* pixels = nullptr;
    HBITMAP bitmap =
        CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&pixels), nullptr, 0);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    std::fill(pixels, pixels + width * height, KEY);
    SendMessageA(background, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    GdiFlush();
    RECT painted{width, height, 0, 0};
    std::set<uint32_t> colours;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t colour = pixels[y * width + x] & 0xFFFFFF;
            if (colour == KEY) continue;
            colours.insert(colour);
            UnionRect(&painted, &painted, std::array{RECT{x, y, x + 1, y + 1}}.data());
        }
    }
    EXPECT_TRUE(EqualRect(&painted, &client));
    // The picture has an 8-bit palette: only a smooth stretch blends it into new colours.
    EXPECT_GT(colours.size(), 256u);
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
    DestroyWindow(dialog);
}

}  // namespace
