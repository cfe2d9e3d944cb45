// The monitors the full-screen saver covers, and the DPI of the one the scene is drawn on.
#pragma once
#include <windows.h>
#include <span>
#include <vector>

constexpr UINT BASE_DPI = 96;

struct MonitorArea {
    RECT rect;  // in virtual-screen coordinates; secondaries may lie at negative ones
    bool primary;
};

struct SaverLayout {
    RECT window;  // the saver window: the union of all monitors, in screen coordinates
    RECT scene;   // the primary monitor, in the saver window's client coordinates
};

// Where the saver window and the scene go for a set of monitors. Without a flagged primary the
// first monitor takes its place; an empty set gives two empty rectangles.
SaverLayout LayoutSaver(std::span<const MonitorArea> monitors);
// Whether two layouts put the window and the scene in the same places.
bool SameLayout(const SaverLayout& a, const SaverLayout& b);
// The system's monitors; the screen's clip box as the one primary should enumeration fail.
std::vector<MonitorArea> ListMonitors();
// The primary monitor's DPI: its own where the system keeps one per monitor, the system's
// otherwise.
UINT PrimaryMonitorDpi();
// Makes this thread's new windows take the given window's DPI awareness, where the system
// has such a thing: a preview child then matches the control panel window it sits in.
void AdoptDpiAwarenessOf(HWND window);
