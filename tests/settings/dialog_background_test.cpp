#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <array>
#include <cstdint>
#include <set>
#include <string>
#include "settings/config_dialog.h"
#include "support/registry_fixture.h"

namespace {

constexpr uint32_t KEY = 0x00FF00FF;  // magenta, absent from the picture

std::string Text(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

// A 32-bit drawing surface filled with the key colour.
class Surface {
public:
    Surface(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(info.bmiHeader), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        dc_ = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        pixels_ = static_cast<uint32_t*>(bits);
        previous_ = SelectObject(dc_, bitmap_);
        std::fill(pixels_, pixels_ + width * height, KEY);
    }
    ~Surface() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    uint32_t At(int x, int y) const { return pixels_[y * width_ + x] & 0xFFFFFF; }
    // The smallest rectangle holding every pixel that is no longer the key colour.
    RECT Painted() const {
        GdiFlush();
        RECT r{width_, height_, 0, 0};
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                if (At(x, y) != KEY) UnionRect(&r, &r, std::array{RECT{x, y, x + 1, y + 1}}.data());
            }
        }
        return r;
    }

private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
    uint32_t* pixels_;
};

TEST(DialogBackground, FillsExactlyTheAreaItIsGivenWithASmoothStretch) {
    Surface surface(800, 760);
    const RECT area{25, 30, 775, 730};
    DrawDialogBackground(surface.dc(), area);
    EXPECT_EQ(Text(surface.Painted()), Text(area));
    // The picture has an 8-bit palette: twice its size, a plain stretch can only repeat
    // palette colours, a smooth one blends neighbours into new ones.
    std::set<uint32_t> colours;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) colours.insert(surface.At(x, y));
    }
    EXPECT_GT(colours.size(), 256u);
}

class DialogBackgroundShown : public RegistryTest {};

TEST_F(DialogBackgroundShown, ThePictureCoversTheDialogsClientArea) {
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(CONFIG_DIALOG_ID),
                                     nullptr, ScreenSaverConfigureDialog, 0);
    ASSERT_NE(dialog, nullptr);
    HWND background = GetDlgItem(dialog, -1);
    ASSERT_NE(background, nullptr);
    RECT client;
    GetClientRect(dialog, &client);
    RECT placed;
    GetWindowRect(background, &placed);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(Text(placed), Text(client));
    // What the control really paints, on a surface larger than the dialog.
    Surface surface(client.right + 40, client.bottom + 40);
    SendMessageA(background, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.dc()), PRF_CLIENT);
    EXPECT_EQ(Text(surface.Painted()), Text(client));
    DestroyWindow(dialog);
}

}  // namespace
