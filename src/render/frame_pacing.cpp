#include "render/frame_pacing.h"

#include <GL/gl.h>
#include <mmsystem.h>
#include <algorithm>
#include <cmath>

FramePacer framePacer{};

namespace {

// Refresh rates above this are not real displays but garbage in the display settings.
constexpr int MAX_REFRESH_HZ = 1000;

using ExtensionsArbProc = const char*(WINAPI*)(HDC);
using ExtensionsExtProc = const char*(WINAPI*)();

template <typename Function>
Function FindWglFunction(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(wglGetProcAddress(name)));
}

// The extensions of the current context: WGL's own list where the driver gives one, else the
// OpenGL list, where older drivers name their WGL extensions too.
std::string_view ContextExtensions(HDC dc) {
    const char* list = nullptr;
    if (auto arb = FindWglFunction<ExtensionsArbProc>("wglGetExtensionsStringARB")) {
        list = arb(dc);
    } else if (auto ext = FindWglFunction<ExtensionsExtProc>("wglGetExtensionsStringEXT")) {
        list = ext();
    } else {
        list = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    }
    return list != nullptr ? std::string_view(list) : std::string_view();
}

int DisplayRefreshHz(HDC dc) {
    const int hz = GetDeviceCaps(dc, VREFRESH);
    if (hz > 1) return hz;
    DEVMODEA mode{};
    mode.dmSize = sizeof(mode);
    if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode)) return 0;
    return static_cast<int>(mode.dmDisplayFrequency);
}

}  // namespace

double RefreshPeriod(int reportedHz) {
    const int hz = reportedHz <= 1 || reportedHz > MAX_REFRESH_HZ ? DEFAULT_REFRESH_HZ : reportedHz;
    return 1.0 / hz;
}

double NextFrameDeadline(double deadline, double now, double period) {
    const double next = deadline + period;
    if (next <= now || next > now + period) return now + period;
    return next;
}

DWORD FrameWaitMilliseconds(double deadline, double now, double period) {
    if (now >= deadline) return 0;
    return static_cast<DWORD>(std::ceil(std::min(deadline - now, period) * 1000.0));
}

bool SwapKeepsPace(int& fastSwaps, double interval, double period) {
    fastSwaps = interval < FAST_SWAP_SHARE * period ? fastSwaps + 1 : 0;
    return fastSwaps < FAST_SWAPS_TO_GIVE_UP;
}

bool ListsExtension(std::string_view extensions, std::string_view name) {
    while (!extensions.empty()) {
        const size_t end = std::min(extensions.find(' '), extensions.size());
        if (extensions.substr(0, end) == name) return true;
        extensions.remove_prefix(std::min(end + 1, extensions.size()));
    }
    return false;
}

double PacingClockSeconds() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void StartFramePacing(HDC dc) {
    framePacer = FramePacer{};
    FollowRefreshRate(dc);
    framePacer.lastPresent = -1.0;
    if (ListsExtension(ContextExtensions(dc), "WGL_EXT_swap_control"))
        framePacer.swapInterval = FindWglFunction<SwapIntervalProc>("wglSwapIntervalEXT");
    framePacer.swapPaced = framePacer.swapInterval != nullptr && framePacer.swapInterval(1);
    // Waits of a few milliseconds must not last a whole scheduler tick.
    framePacer.fineTimer = timeBeginPeriod(1) == TIMERR_NOERROR;
    framePacer.deadline = PacingClockSeconds();
}

void FollowRefreshRate(HDC dc) {
    framePacer.period = RefreshPeriod(DisplayRefreshHz(dc));
}

void StopFramePacing() {
    if (framePacer.fineTimer) timeEndPeriod(1);
    framePacer.fineTimer = false;
}

DWORD PaceFrames(HWND window) {
    const double now = PacingClockSeconds();
    const DWORD wait = FrameWaitMilliseconds(framePacer.deadline, now, framePacer.period);
    if (wait > 0) return wait;
    // A null window would invalidate every window on the desktop.
    if (window != nullptr) InvalidateRect(window, nullptr, FALSE);
    // Stays in force if no paint follows (a hidden window), so the loop does not spin.
    framePacer.deadline = NextFrameDeadline(framePacer.deadline, now, framePacer.period);
    return 0;
}

void NoteFramePresented() {
    const double now = PacingClockSeconds();
    if (framePacer.swapPaced) {
        const bool kept =
            framePacer.lastPresent < 0.0 ||
            SwapKeepsPace(framePacer.fastSwaps, now - framePacer.lastPresent, framePacer.period);
        if (kept) {
            framePacer.deadline = now;
        } else {
            // The swaps do not wait for the display: the deadlines pace the frames alone.
            framePacer.swapPaced = false;
            framePacer.swapInterval(0);
            framePacer.deadline = now + framePacer.period;
        }
    }
    framePacer.lastPresent = now;
}
