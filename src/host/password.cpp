#include "host/password.h"

#include "host/command_line.h"
#include "host/proc_address.h"
#include "host/saver_window.h"

HMODULE passwordLibrary = nullptr;
VerifyPasswordFunction verifyPasswordProc = nullptr;
DWORD lastVerifyTick = 0xFFFFFFFF;

namespace {

constexpr DWORD VERIFY_REPEAT_GUARD_MS = 200;
using ChangePasswordFunction = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, LPVOID);

}  // namespace

void SetSaverRunning(bool on) {
    if (!isWin9x) return;
    UINT previous = 0;
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, on ? TRUE : FALSE, &previous, 0);
}

void UnloadPasswordSupport() {
    if (!isWin9x || passwordLibrary == nullptr) return;
    FreeLibrary(passwordLibrary);
    passwordLibrary = nullptr;
    if (verifyPasswordProc != nullptr) {
        verifyPasswordProc = nullptr;
        SetSaverRunning(false);
    }
}

void LoadPasswordSupport() {
    if (!isWin9x) return;
    if (passwordLibrary != nullptr) UnloadPasswordSupport();
    HKEY key;
    if (RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &key) != ERROR_SUCCESS) return;
    DWORD wanted = 0;
    DWORD size = sizeof(wanted);
    if (RegQueryValueExA(key, "ScreenSaveUsePassword", nullptr, nullptr,
                         reinterpret_cast<BYTE*>(&wanted), &size) == ERROR_SUCCESS &&
        wanted != 0) {
        passwordLibrary = LoadLibraryA("PASSWORD.CPL");
        if (passwordLibrary != nullptr) {
            verifyPasswordProc =
                FindExport<VerifyPasswordFunction>(passwordLibrary, "VerifyScreenSavePwd");
            if (verifyPasswordProc != nullptr) {
                SetSaverRunning(true);
            } else {
                UnloadPasswordSupport();
            }
        }
    }
    RegCloseKey(key);
}

int VerifyPasswordOnClose(HWND window) {
    if (isVerifyingPassword || isClosing) return 0;
    if (verifyPasswordProc == nullptr) {
        isClosing = 1;
        return 1;
    }
    const DWORD now = GetTickCount();
    if (lastVerifyTick != 0xFFFFFFFF && now - lastVerifyTick < VERIFY_REPEAT_GUARD_MS) return 0;
    isVerifyingPassword = 1;
    MSG pending;
    for (int i = 0; i < 2; ++i)
        PeekMessageA(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    isClosing = SendMessageA(window, VerifyPasswordMessage, 0, 0) != 0 ? 1 : 0;
    isVerifyingPassword = 0;
    if (!isClosing) SetCursor(nullptr);
    lastVerifyTick = GetTickCount();
    return isClosing;
}

int RunChangePassword(const char* text) {
    HWND parent = ParseWindowHandle(text);
    if (parent == nullptr || !IsWindow(parent)) parent = GetForegroundWindow();
    HMODULE mpr = LoadLibraryA("MPR.DLL");
    if (mpr != nullptr) {
        auto change = FindExport<ChangePasswordFunction>(mpr, "PwdChangePasswordA");
        if (change != nullptr) change("SCRSAVE", parent, 0, nullptr);
        FreeLibrary(mpr);
    }
    return 0;
}
