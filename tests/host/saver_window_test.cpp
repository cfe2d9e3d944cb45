#include <gtest/gtest.h>
#include <windows.h>
#include "host/command_line.h"
#include "host/saver_window.h"

namespace {

TEST(CursorReadings, FailedReadsNeitherCloseNorMoveTheAnchor) {
    cursorAnchorKnown = false;
    // Creation could not read the cursor: the first reading that works becomes the anchor.
    EXPECT_FALSE(TakeCursorReading(false, POINT{900, 900}));
    EXPECT_FALSE(cursorAnchorKnown);
    EXPECT_FALSE(TakeCursorReading(true, POINT{100, 100}));
    EXPECT_TRUE(cursorAnchorKnown);
    EXPECT_FALSE(TakeCursorReading(true, POINT{102, 102}));
    EXPECT_FALSE(TakeCursorReading(false, POINT{-5000, 7000}));
    EXPECT_EQ(cursorAnchor.x, 100);
    EXPECT_EQ(cursorAnchor.y, 100);
    // Moves add up from the anchor; a closing move becomes the new anchor.
    EXPECT_TRUE(TakeCursorReading(true, POINT{103, 102}));
    EXPECT_EQ(cursorAnchor.x, 103);
    EXPECT_FALSE(TakeCursorReading(true, POINT{101, 104}));
    EXPECT_TRUE(TakeCursorReading(true, POINT{98, 103}));
}

TEST(PreviewParent, GoneBeforeTheSaverStartsEndsWithMinusOne) {
    HWND parent = CreateWindowExA(0, "STATIC", "gone", WS_OVERLAPPEDWINDOW, 0, 0, 200, 150, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    appInstance = GetModuleHandleA(nullptr);
    DestroyWindow(parent);
    EXPECT_EQ(RunSaverWindow(parent), -1);
    // Nothing was made for it: no window, not even the class.
    EXPECT_EQ(saverWindow, nullptr);
    WNDCLASSA saverClass;
    EXPECT_FALSE(GetClassInfoA(appInstance, "WindowsScreenSaverClass", &saverClass));
}

}  // namespace
