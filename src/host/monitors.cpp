#include "host/monitors.h"

#include <algorithm>
#include "host/proc_address.h"

namespace {

// GetDpiForMonitor's MDT_EFFECTIVE_DPI: the DPI the user chose for that monitor.
constexpr int EFFECTIVE_DPI = 0;

using GetDpiForMonitorProc = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using GetWindowDpiAwarenessContextProc = DPI_AWARENESS_CONTEXT(WINAPI*)(HWND);
using SetThreadDpiAwarenessContextProc = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM param) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoA(monitor, &info)) {
        reinterpret_cast<std::vector<MonitorArea>*>(param)->push_back(
            {info.rcMonitor, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    }
    return TRUE;
}

UINT SystemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : BASE_DPI;
}

}  // namespace

SaverLayout LayoutSaver(std::span<const MonitorArea> monitors) {
    if (monitors.empty()) return {};
    RECT all = monitors.front().rect;
    for (const MonitorArea& monitor : monitors) {
        all.left = std::min(all.left, monitor.rect.left);
        all.top = std::min(all.top, monitor.rect.top);
        all.right = std::max(all.right, monitor.rect.right);
        all.bottom = std::max(all.bottom, monitor.rect.bottom);
    }
    const auto primary = std::find_if(monitors.begin(), monitors.end(),
                                      [](const MonitorArea& monitor) { return monitor.primary; });
    RECT scene = (primary != monitors.end() ? *primary : monitors.front()).rect;
    OffsetRect(&scene, -all.left, -all.top);
    return {all, scene};
}

bool SameLayout(const SaverLayout& a, const SaverLayout& b) {
    return EqualRect(&a.window, &b.window) && EqualRect(&a.scene, &b.scene);
}

std::vector<MonitorArea> ListMonitors() {
    std::vector<MonitorArea> monitors;
    EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
    if (monitors.empty()) {
        RECT box{};
        HDC screen = GetDC(nullptr);
        GetClipBox(screen, &box);
        ReleaseDC(nullptr, screen);
        monitors.push_back({box, true});
    }
    return monitors;
}

UINT PrimaryMonitorDpi() {
    // Only from the system folder: a .scr is often started from wherever it was downloaded.
    HMODULE shcore = LoadLibraryExA("shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (shcore == nullptr) return SystemDpi();
    UINT dpi = 0;
    UINT unused = 0;
    const auto getDpi = FindExport<GetDpiForMonitorProc>(shcore, "GetDpiForMonitor");
    HMONITOR primary = MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
    const bool found =
        getDpi != nullptr && SUCCEEDED(getDpi(primary, EFFECTIVE_DPI, &dpi, &unused));
    FreeLibrary(shcore);
    return found && dpi > 0 ? dpi : SystemDpi();
}

void AdoptDpiAwarenessOf(HWND window) {
    HMODULE user = GetModuleHandleA("user32.dll");
    const auto get =
        FindExport<GetWindowDpiAwarenessContextProc>(user, "GetWindowDpiAwarenessContext");
    const auto set =
        FindExport<SetThreadDpiAwarenessContextProc>(user, "SetThreadDpiAwarenessContext");
    if (get == nullptr || set == nullptr) return;
    if (DPI_AWARENESS_CONTEXT context = get(window)) set(context);
}
