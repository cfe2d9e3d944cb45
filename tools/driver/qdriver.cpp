// A small Win32 test driver: finds and describes windows, makes a preview parent, sends
// messages and drives dialog controls, for the end-to-end tests.
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

HWND ParseHwnd(const char* text) {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(std::strtoull(text, nullptr, 0)));
}

unsigned long long HwndNumber(HWND window) {
    return static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window));
}

std::string ClassOf(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof(name));
    return name;
}

std::string TextOf(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

HWND WaitForWindow(HWND parent, const char* className, const char* title, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        HWND window = FindWindowExA(parent, nullptr, className,
                                    std::strcmp(title, "*") == 0 ? nullptr : title);
        if (window != nullptr || GetTickCount() - start > timeoutMs) return window;
        Sleep(50);
    }
}

void Describe(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    RECT client;
    GetClientRect(window, &client);
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    const LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
    std::printf(
        "hwnd=%llu class=%s title=%s rect=%ld,%ld,%ld,%ld client=%ld,%ld style=0x%08lx "
        "exstyle=0x%08lx visible=%d parent=%llu\n",
        HwndNumber(window), ClassOf(window).c_str(), TextOf(window).c_str(), rect.left, rect.top,
        rect.right, rect.bottom, client.right, client.bottom, static_cast<unsigned long>(style),
        static_cast<unsigned long>(exStyle), IsWindowVisible(window) ? 1 : 0,
        HwndNumber(GetParent(window)));
}

BOOL CALLBACK DescribeChild(HWND child, LPARAM) {
    std::printf("child id=%d ", GetDlgCtrlID(child));
    Describe(child);
    return TRUE;
}

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_HELP:
            std::printf("WM_HELP wparam=%llu\n", static_cast<unsigned long long>(wParam));
            std::fflush(stdout);
            return 0;
        case WM_CONTEXTMENU:
            std::printf("WM_CONTEXTMENU wparam=%llu\n", static_cast<unsigned long long>(wParam));
            std::fflush(stdout);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

// A top-level window standing in for the control panel's preview area; it lives for
// `lifetimeMs` milliseconds, then destroys itself.
int RunParent(int width, int height, DWORD lifetimeMs) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ParentProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    windowClass.lpszClassName = "QuorvelTestParent";
    RegisterClassA(&windowClass);
    RECT rect{0, 0, width, height};
    AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE);
    HWND window =
        CreateWindowExA(0, "QuorvelTestParent", "Preview parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                        10, 10, rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                        windowClass.hInstance, nullptr);
    std::printf("%llu\n", HwndNumber(window));
    std::fflush(stdout);
    SetTimer(window, 1, lifetimeMs, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0)) {
        if (message.message == WM_TIMER && message.hwnd == window) {
            DestroyWindow(window);
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: qdriver find CLASS TITLE|* [TIMEOUT_MS]\n"
                 "       qdriver findchild PARENT CLASS TITLE|* [TIMEOUT_MS]\n"
                 "       qdriver describe HWND\n"
                 "       qdriver children HWND\n"
                 "       qdriver parent WIDTH HEIGHT LIFETIME_MS\n"
                 "       qdriver post HWND MESSAGE WPARAM LPARAM\n"
                 "       qdriver send HWND MESSAGE WPARAM LPARAM\n"
                 "       qdriver foreground\n"
                 "       qdriver cursor\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string command = argv[1];
    if ((command == "find" && argc >= 4) || (command == "findchild" && argc >= 5)) {
        const int first = command == "find" ? 2 : 3;
        HWND parent = command == "find" ? nullptr : ParseHwnd(argv[2]);
        HWND window = WaitForWindow(parent, argv[first], argv[first + 1],
                                    argc > first + 2 ? std::atoi(argv[first + 2]) : 0);
        if (window == nullptr) return 1;
        std::printf("%llu\n", HwndNumber(window));
        return 0;
    }
    if (command == "describe" && argc == 3) {
        HWND window = ParseHwnd(argv[2]);
        if (!IsWindow(window)) return 1;
        Describe(window);
        return 0;
    }
    if (command == "children" && argc == 3) {
        HWND window = ParseHwnd(argv[2]);
        if (!IsWindow(window)) return 1;
        EnumChildWindows(window, DescribeChild, 0);
        return 0;
    }
    if (command == "parent" && argc == 5) {
        return RunParent(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]));
    }
    if ((command == "post" || command == "send") && argc == 6) {
        HWND window = ParseHwnd(argv[2]);
        const UINT message = static_cast<UINT>(std::strtoul(argv[3], nullptr, 0));
        const WPARAM wParam = std::strtoull(argv[4], nullptr, 0);
        const LPARAM lParam = static_cast<LPARAM>(std::strtoll(argv[5], nullptr, 0));
        if (command == "post") return PostMessageA(window, message, wParam, lParam) ? 0 : 1;
        std::printf("%lld\n",
                    static_cast<long long>(SendMessageA(window, message, wParam, lParam)));
        return 0;
    }
    if (command == "foreground") {
        std::printf("%llu\n", HwndNumber(GetForegroundWindow()));
        return 0;
    }
    if (command == "cursor") {
        POINT point;
        GetCursorPos(&point);
        std::printf("%ld %ld\n", point.x, point.y);
        return 0;
    }
    return Usage();
}
