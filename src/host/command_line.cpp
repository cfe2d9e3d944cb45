#include "host/command_line.h"

#include <cstdint>
#include "host/password.h"
#include "host/saver_window.h"
#include "settings/config_dialog.h"

HINSTANCE appInstance = nullptr;
int isWin9x = 0;

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

int DispatchMode(const char* p) {
    for (;; ++p) {
        const signed char c = static_cast<signed char>(*p);
        switch (c) {
            case 0:
                return RunConfigure(nullptr);
            case ' ':
            case '-':
            case '/':
                continue;
            case 's':
            case 'S':
                return RunSaverWindow(nullptr);
            case 'p':
            case 'P':
            case 'l':
            case 'L':
                return RunPreview(SkipBlanks(p + 1));
            case 'c':
            case 'C': {
                ++p;
                HWND parent = nullptr;
                if (*p == ':') parent = ParseWindowHandle(p + 1);
                if (parent == nullptr || !IsWindow(parent)) parent = GetForegroundWindow();
                return RunConfigure(parent);
            }
            case 'a':
            case 'A':
                if (!isWin9x) return -1;
                return RunChangePassword(SkipBlanks(p + 1));
            default:
                return -1;
        }
    }
}

}  // namespace

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
    appInstance = instance;
    isWin9x = ReadIsWin9x();
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
    RegisterDialogClasses(appInstance);
    return static_cast<int>(DialogBoxParamA(appInstance, MAKEINTRESOURCEA(CONFIG_DIALOG_ID), parent,
                                            ScreenSaverConfigureDialog, 0));
}
