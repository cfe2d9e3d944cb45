#include "host/command_line.h"

#include <cstdint>
#include "host/password.h"
#include "host/saver_window.h"
#include "settings/config_dialog.h"

namespace {

int ReadIsWin9x() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    static_assert(sizeof(OSVERSIONINFOA) == 148);
    if (!GetVersionExA(&info)) return 0;
    return info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? 1 : 0;
}

const char* SkipBlanks(const char* p) {
    while (*p == ' ') ++p;
    return p;
}

int DispatchMode(const char* tail) {
    const SwitchRequest request = ParseCommandTail(tail);
    switch (request.mode) {
        case SaverMode::Configure: {
            if (request.rest == nullptr) return RunConfigure(nullptr);
            HWND parent = *request.rest == ':' ? ParseWindowHandle(request.rest + 1) : nullptr;
            if (parent == nullptr || !IsWindow(parent)) parent = GetForegroundWindow();
            return RunConfigure(parent);
        }
        case SaverMode::FullScreen:
            return RunSaverWindow(nullptr);
        case SaverMode::Preview:
            return RunPreview(request.rest);
        case SaverMode::ChangePassword:
            if (!saver.isWin9x) return -1;
            return RunChangePassword(ParseWindowHandle(request.rest));
        default:
            return -1;
    }
}

}  // namespace

SwitchRequest ParseCommandTail(const char* p) {
    for (;; ++p) {
        switch (static_cast<signed char>(*p)) {
            case 0:
                return {SaverMode::Configure, nullptr};
            case ' ':
            case '-':
            case '/':
                continue;
            case 's':
            case 'S':
                return {SaverMode::FullScreen, p + 1};
            case 'p':
            case 'P':
            case 'l':
            case 'L':
                return {SaverMode::Preview, SkipBlanks(p + 1)};
            case 'c':
            case 'C':
                return {SaverMode::Configure, p + 1};
            case 'a':
            case 'A':
                return {SaverMode::ChangePassword, SkipBlanks(p + 1)};
            default:
                return {SaverMode::None, p};
        }
    }
}

const char* SkipProgramName(const char* p) {
    if (*p == '"') {
        do {
            p = CharNextA(p);
        } while (*p != '\0' && *p != '"');
        if (*p == '"') ++p;
    } else {
        while (static_cast<unsigned char>(*p) > ' ') ++p;
    }
    while (*p != '\0' && static_cast<unsigned char>(*p) <= ' ') ++p;
    return p;
}

HWND ParseWindowHandle(const char* text) {
    uint32_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) value = value * 10 + (*text - '0');
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(value));
}

LONG WINAPI SaverExceptionFilter(EXCEPTION_POINTERS*) {
    // The system-keys lock must not outlive a crash; the platform's own handling goes on.
    SetSaverRunning(false);
    return EXCEPTION_CONTINUE_SEARCH;
}

int SaverMain(HINSTANCE instance, const char* commandTail) {
    saver.appInstance = instance;
    saver.isWin9x = ReadIsWin9x();
    const LPTOP_LEVEL_EXCEPTION_FILTER previous = SetUnhandledExceptionFilter(SaverExceptionFilter);
    const int result = DispatchMode(commandTail);
    SetUnhandledExceptionFilter(previous);
    return result;
}

int RunPreview(const char* text) {
    HWND parent = ParseWindowHandle(text);
    if (parent == nullptr || !IsWindow(parent)) return -1;
    return RunSaverWindow(parent);
}

extern "C" BOOL WINAPI RegisterDialogClasses(HANDLE) {
    return TRUE;
}

int RunConfigure(HWND parent) {
    RegisterDialogClasses(saver.appInstance);
    return static_cast<int>(DialogBoxParamW(saver.appInstance, MAKEINTRESOURCEW(CONFIG_DIALOG_ID),
                                            parent, ScreenSaverConfigureDialog, 0));
}
