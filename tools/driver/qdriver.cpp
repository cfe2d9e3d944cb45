// A small Win32 test driver: finds and describes windows, makes a preview parent, sends
// messages and drives dialog controls, for the end-to-end tests.
#include <windows.h>
#include <shellapi.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The driver's arguments and output are UTF-8; the windows it talks to take wide text.
std::wstring Wide(const char* text) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::wstring wide(length > 0 ? length - 1 : 0, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), length);
    return wide;
}

std::string Utf8(const wchar_t* text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(length > 0 ? length - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

HWND ParseHwnd(const char* text) {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(std::strtoull(text, nullptr, 0)));
}

unsigned long long HwndNumber(HWND window) {
    return static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window));
}

std::string ClassOf(HWND window) {
    wchar_t name[256] = L"";
    GetClassNameW(window, name, 256);
    return Utf8(name);
}

std::string TextOf(HWND window) {
    wchar_t text[1024] = L"";
    GetWindowTextW(window, text, 1024);
    return Utf8(text);
}

HWND WaitForWindow(HWND parent, const char* className, const char* title, DWORD timeoutMs) {
    const std::wstring wideClass = Wide(className), wideTitle = Wide(title);
    const DWORD start = GetTickCount();
    for (;;) {
        HWND window = FindWindowExW(parent, nullptr, wideClass.c_str(),
                                    std::strcmp(title, "*") == 0 ? nullptr : wideTitle.c_str());
        if (window != nullptr || GetTickCount() - start > timeoutMs) return window;
        Sleep(50);
    }
}

// Prints a found window's handle; exit code 1 when there is none.
int PrintFound(HWND window) {
    if (window == nullptr) return 1;
    std::printf("%llu\n", HwndNumber(window));
    return 0;
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
        case WM_HELP: {
            const auto* info = reinterpret_cast<const HELPINFO*>(lParam);
            std::printf("WM_HELP wparam=%llu context=%lu at=%ld,%ld\n",
                        static_cast<unsigned long long>(wParam),
                        static_cast<unsigned long>(info->dwContextId), info->MousePos.x,
                        info->MousePos.y);
            std::fflush(stdout);
            return 0;
        }
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

// The text a control holds now; WM_GETTEXT reaches another process's edit controls too.
std::string ControlText(HWND control) {
    wchar_t text[1024] = L"";
    SendMessageW(control, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return Utf8(text);
}

// Sends and returns once the message is handled, or soon after when it opened something modal
// (a message box) that keeps the receiver busy; a later sent message waits its turn anyway.
void SendBriefly(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, 250, &result);
}

struct DialogSearch {
    int controlId;
    HWND found;
};

BOOL CALLBACK FindDialogWithControl(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<DialogSearch*>(param);
    if (ClassOf(window) != "#32770" || GetDlgItem(window, search->controlId) == nullptr)
        return TRUE;
    search->found = window;
    return FALSE;
}

// A top-level dialog that holds a control with the given id.
HWND WaitForDialog(int controlId, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        DialogSearch search{controlId, nullptr};
        EnumWindows(FindDialogWithControl, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr || GetTickCount() - start > timeoutMs) return search.found;
        Sleep(50);
    }
}

// Pixels of a control's place given in dialog units (x, y, width, height) in a dialog of the
// given font: each of the four is mapped on its own, as the dialog manager places controls.
RECT MapDialogUnits(const char* face, WORD points, RECT units) {
    alignas(4) WORD buffer[128] = {};
    auto* header = reinterpret_cast<DLGTEMPLATE*>(buffer);
    header->style = WS_POPUP | DS_SETFONT;
    header->cx = 100;
    header->cy = 100;
    WORD* p = reinterpret_cast<WORD*>(header + 1);
    *p++ = 0;  // no menu
    *p++ = 0;  // default class
    *p++ = 0;  // no title
    *p++ = points;
    p += MultiByteToWideChar(CP_UTF8, 0, face, -1, reinterpret_cast<wchar_t*>(p), 64);
    HWND dialog = CreateDialogIndirectParamA(
        GetModuleHandleA(nullptr), header, nullptr,
        [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    MapDialogRect(dialog, &units);
    DestroyWindow(dialog);
    return {units.left, units.top, units.left + units.right, units.top + units.bottom};
}

// The text of entry `index` of a list or combo box. Another process's box answers only the
// wide-character request with the whole text.
std::string EntryText(HWND box, UINT lengthMessage, UINT textMessage, LRESULT index) {
    wchar_t wide[512] = L"";
    if (SendMessageW(box, lengthMessage, index, 0) >= 512) return "";
    SendMessageW(box, textMessage, index, reinterpret_cast<LPARAM>(wide));
    return Utf8(wide);
}

// Prints every entry of a list box, or finds the index of the entry `wanted`.
// A combo box's list is read the same way with its own messages.
int ListEntries(HWND list, const char* wanted) {
    const bool combo = ClassOf(list) == "ComboBox";
    const LRESULT count = SendMessageA(list, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const std::string text = combo ? EntryText(list, CB_GETLBTEXTLEN, CB_GETLBTEXT, i)
                                       : EntryText(list, LB_GETTEXTLEN, LB_GETTEXT, i);
        if (wanted == nullptr) {
            std::printf("%s\n", text.c_str());
        } else if (text == wanted) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// The platform's message box puts its text in the static control 0xFFFF.
constexpr int MESSAGE_BOX_TEXT_ID = 0xFFFF;

int Usage() {
    std::fprintf(
        stderr,
        "usage: qdriver find CLASS TITLE|* [TIMEOUT_MS]\n"
        "       qdriver findchild PARENT CLASS TITLE|* [TIMEOUT_MS]\n"
        "       qdriver describe HWND\n"
        "       qdriver children HWND\n"
        "       qdriver parent WIDTH HEIGHT LIFETIME_MS\n"
        "       qdriver resize HWND CLIENT_WIDTH CLIENT_HEIGHT\n"
        "       qdriver mode WIDTH HEIGHT\n"
        "       qdriver post HWND MESSAGE WPARAM LPARAM\n"
        "       qdriver send HWND MESSAGE WPARAM LPARAM\n"
        "       qdriver help HWND\n"
        "       qdriver foreground\n"
        "       qdriver cursor\n"
        "       qdriver cursorinfo\n"
        "       qdriver moving HWND\n"
        "       qdriver saverrunning\n"
        "       qdriver enabled HWND\n"
        "       qdriver dialog CONTROL_ID [TIMEOUT_MS [READ_ID [CLICK_ID]]]   (its handle; "
        "then READ_ID's text at once, then CLICK_ID clicked)\n"
        "       qdriver text|checked|enabled|rect DIALOG ID...\n"
        "       qdriver settext DIALOG ID TEXT [ID TEXT]...\n"
        "       qdriver click DIALOG ID\n"
        "       qdriver select DIALOG ID INDEX\n"
        "       qdriver combo DIALOG ID\n"
        "       qdriver list DIALOG ID\n"
        "       qdriver dblclick DIALOG ID ENTRY   (waits up to 10 s for the entry)\n"
        "       qdriver dlgunits FACE POINTS X Y WIDTH HEIGHT...\n"
        "       qdriver msgbox TITLE [TIMEOUT_MS]   (its icon's screen geometry, then "
        "its text)\n"
        "       qdriver msgok TITLE [TIMEOUT_MS]\n");
    return 2;
}

// One line per control: its text, check state, enabled state or rectangle in the dialog.
int QueryControls(const std::string& command, HWND dialog, int count, char** ids) {
    for (int i = 0; i < count; ++i) {
        HWND control = GetDlgItem(dialog, std::atoi(ids[i]));
        if (!IsWindow(control)) return 1;
        if (command == "text") {
            std::printf("%s\n", ControlText(control).c_str());
        } else if (command == "checked") {
            std::printf("%lld\n", static_cast<long long>(SendMessageA(control, BM_GETCHECK, 0, 0)));
        } else if (command == "enabled") {
            std::printf("%d\n", IsWindowEnabled(control) ? 1 : 0);
        } else {
            RECT rect;
            GetWindowRect(control, &rect);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
            std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
        }
    }
    return 0;
}

int DriveMessageBox(const std::string& command, const char* title, DWORD timeoutMs) {
    HWND box = WaitForWindow(nullptr, "#32770", title, timeoutMs);
    if (box == nullptr) return 1;
    if (command == "msgok") {
        // Posted: the box's owner thread may be slow to let go of it.
        PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        const DWORD start = GetTickCount();
        while (IsWindow(box) && GetTickCount() - start < 5000) Sleep(20);
        return IsWindow(box) ? 1 : 0;
    }
    // Icons are not shared between processes: the caller looks at the pixels.
    HWND icon = FindWindowExA(box, nullptr, "Static", nullptr);
    for (; icon != nullptr; icon = FindWindowExA(box, icon, "Static", nullptr)) {
        if ((GetWindowLongA(icon, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) break;
    }
    RECT rect{};
    if (icon != nullptr) GetWindowRect(icon, &rect);
    std::printf("%ldx%ld+%ld+%ld\n%s\n", rect.right - rect.left, rect.bottom - rect.top, rect.left,
                rect.top, ControlText(GetDlgItem(box, MESSAGE_BOX_TEXT_ID)).c_str());
    return 0;
}

int DriveDialog(const std::string& command, int argc, char** argv) {
    if (command == "dialog" && argc >= 3) {
        HWND dialog = WaitForDialog(std::atoi(argv[2]), argc > 3 ? std::atoi(argv[3]) : 0);
        if (PrintFound(dialog) != 0) return 1;
        // What the dialog shows the moment it is found, before a later command could look,
        // and a button clicked right after.
        if (argc > 4)
            std::printf("%s\n", ControlText(GetDlgItem(dialog, std::atoi(argv[4]))).c_str());
        if (argc > 5) SendBriefly(GetDlgItem(dialog, std::atoi(argv[5])), BM_CLICK, 0, 0);
        return 0;
    }
    if (command == "enabled" && argc == 3) {
        HWND window = ParseHwnd(argv[2]);
        if (!IsWindow(window)) return 1;
        std::printf("%d\n", IsWindowEnabled(window) ? 1 : 0);
        return 0;
    }
    if (command == "dlgunits" && argc >= 8 && (argc - 4) % 4 == 0) {
        for (int i = 4; i < argc; i += 4) {
            const RECT pixels = MapDialogUnits(argv[2], static_cast<WORD>(std::atoi(argv[3])),
                                               {std::atoi(argv[i]), std::atoi(argv[i + 1]),
                                                std::atoi(argv[i + 2]), std::atoi(argv[i + 3])});
            std::printf("%ld %ld %ld %ld\n", pixels.left, pixels.top, pixels.right, pixels.bottom);
        }
        return 0;
    }
    if ((command == "msgbox" || command == "msgok") && argc >= 3) {
        return DriveMessageBox(command, argv[2], argc > 3 ? std::atoi(argv[3]) : 0);
    }
    if (argc < 4) return Usage();
    HWND dialog = ParseHwnd(argv[2]);
    if (command == "text" || command == "checked" || command == "enabled" || command == "rect") {
        return QueryControls(command, dialog, argc - 3, argv + 3);
    }
    if (command == "settext" && argc % 2 == 1) {
        for (int i = 3; i < argc; i += 2) {
            HWND control = GetDlgItem(dialog, std::atoi(argv[i]));
            if (!IsWindow(control)) return 1;
            SendMessageW(control, WM_SETTEXT, 0,
                         reinterpret_cast<LPARAM>(Wide(argv[i + 1]).c_str()));
        }
        return 0;
    }
    HWND control = GetDlgItem(dialog, std::atoi(argv[3]));
    if (!IsWindow(control)) return 1;
    if (command == "click" && argc == 4) {
        SendBriefly(control, BM_CLICK, 0, 0);
    } else if (command == "select" && argc == 5) {
        SendMessageA(control, CB_SETCURSEL, std::atoi(argv[4]), 0);
    } else if (command == "combo" && argc == 4) {
        const LRESULT index = SendMessageA(control, CB_GETCURSEL, 0, 0);
        const std::string text =
            index >= 0 ? EntryText(control, CB_GETLBTEXTLEN, CB_GETLBTEXT, index) : "";
        std::printf("%lld %s\n", static_cast<long long>(index), text.c_str());
    } else if (command == "list" && argc == 4) {
        ListEntries(control, nullptr);
    } else if (command == "dblclick" && argc == 5) {
        // The list may be filled a moment after it is shown.
        int index = ListEntries(control, argv[4]);
        for (const DWORD start = GetTickCount(); index < 0 && GetTickCount() - start < 10000;) {
            Sleep(50);
            index = ListEntries(control, argv[4]);
        }
        if (index < 0) return 1;
        SendMessageA(control, LB_SETCURSEL, index, 0);
        SendBriefly(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), LBN_DBLCLK),
                    reinterpret_cast<LPARAM>(control));
    } else {
        return Usage();
    }
    return 0;
}

int Drive(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string command = argv[1];
    if ((command == "find" && argc >= 4) || (command == "findchild" && argc >= 5)) {
        const int first = command == "find" ? 2 : 3;
        HWND parent = command == "find" ? nullptr : ParseHwnd(argv[2]);
        return PrintFound(WaitForWindow(parent, argv[first], argv[first + 1],
                                        argc > first + 2 ? std::atoi(argv[first + 2]) : 0));
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
    if (command == "resize" && argc == 5) {
        // Another process's window, as the control panel resizes the one a preview sits in.
        HWND window = ParseHwnd(argv[2]);
        RECT rect{0, 0, std::atoi(argv[3]), std::atoi(argv[4])};
        AdjustWindowRectEx(&rect, GetWindowLongA(window, GWL_STYLE), FALSE,
                           GetWindowLongA(window, GWL_EXSTYLE));
        return SetWindowPos(window, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                            SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE)
                   ? 0
                   : 1;
    }
    if (command == "mode" && argc == 4) {
        // The primary display's resolution, changed as the display settings change it.
        DEVMODEW mode{};
        mode.dmSize = sizeof(mode);
        mode.dmPelsWidth = static_cast<DWORD>(std::atoi(argv[2]));
        mode.dmPelsHeight = static_cast<DWORD>(std::atoi(argv[3]));
        mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
        return ChangeDisplaySettingsExW(nullptr, &mode, nullptr, 0, nullptr) ==
                       DISP_CHANGE_SUCCESSFUL
                   ? 0
                   : 1;
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
    if (command == "help" && argc == 3) {
        // F1 over a window sends WM_HELP with a description of where help was asked for.
        HELPINFO info{};
        info.cbSize = sizeof(info);
        info.iContextType = HELPINFO_WINDOW;
        info.hItemHandle = ParseHwnd(argv[2]);
        info.dwContextId = 4321;
        info.MousePos = {12, 34};
        SendMessageA(ParseHwnd(argv[2]), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
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
    if (command == "cursorinfo") {
        CURSORINFO info{};
        info.cbSize = sizeof(info);
        if (!GetCursorInfo(&info)) return 1;
        std::printf("cursor=%d flags=0x%lx\n", info.hCursor != nullptr ? 1 : 0,
                    static_cast<unsigned long>(info.flags));
        return 0;
    }
    if (command == "moving" && argc == 3) {
        // Whether the window's thread runs the system's loop that moves a window by the mouse.
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        const DWORD thread = GetWindowThreadProcessId(ParseHwnd(argv[2]), nullptr);
        if (thread == 0 || !GetGUIThreadInfo(thread, &info)) return 1;
        std::printf("%d\n", (info.flags & GUI_INMOVESIZE) != 0 ? 1 : 0);
        return 0;
    }
    if (command == "saverrunning") {
        BOOL running = FALSE;
        if (!SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0)) return 1;
        std::printf("%d\n", running ? 1 : 0);
        return 0;
    }
    return DriveDialog(command, argc, argv);
}

}  // namespace

// The arguments as the command line holds them, in UTF-8: the runtime's own argv has them in
// the ANSI code page, which loses every character outside it. Output unbuffered: what a command
// printed reaches the script even when Wine ends the process abnormally on its way out.
int main() {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    int argc = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i) args.push_back(Utf8(wide[i]));
    LocalFree(wide);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    return Drive(argc, argv.data());
}
