#include "host/password.h"

#include "host/proc_address.h"
#include "host/saver.h"

PasswordSupport passwordSupport;

namespace {

constexpr DWORD VERIFY_REPEAT_GUARD_MS = 200;
using ChangePasswordFunction = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, LPVOID);

}  // namespace

void SetSaverRunning(bool on) {
    if (!saver.isWin9x) return;
    UINT previous = 0;
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, on ? TRUE : FALSE, &previous, 0);
}

void UnloadPasswordSupport() {
    if (!saver.isWin9x || passwordSupport.passwordLibrary == nullptr) return;
    FreeLibrary(passwordSupport.passwordLibrary);
    passwordSupport.passwordLibrary = nullptr;
    if (passwordSupport.verifyPasswordProc != nullptr) {
        passwordSupport.verifyPasswordProc = nullptr;
        SetSaverRunning(false);
    }
}

void LoadPasswordSupport() {
    if (!saver.isWin9x) return;
    if (passwordSupport.passwordLibrary != nullptr) UnloadPasswordSupport();
    HKEY key;
    if (RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &key) != ERROR_SUCCESS) return;
    DWORD wanted = 0;
    DWORD size = sizeof(wanted);
    if (RegQueryValueExA(key, "ScreenSaveUsePassword", nullptr, nullptr,
                         reinterpret_cast<BYTE*>(&wanted), &size) == ERROR_SUCCESS &&
        wanted != 0) {
        passwordSupport.passwordLibrary = LoadLibraryA("PASSWORD.CPL");
        if (passwordSupport.passwordLibrary != nullptr) {
            passwordSupport.verifyPasswordProc = FindExport<VerifyPasswordFunction>(
                passwordSupport.passwordLibrary, "VerifyScreenSavePwd");
            if (passwordSupport.verifyPasswordProc != nullptr) {
                SetSaverRunning(true);
            } else {
                UnloadPasswordSupport();
            }
        }
    }
    RegCloseKey(key);
}

int VerifyPasswordOnClose(HWND window) {
    if (saver.isVerifyingPassword || saver.isClosing) return 0;
    if (passwordSupport.verifyPasswordProc == nullptr) {
        saver.isClosing = 1;
        return 1;
    }
    const DWORD now = GetTickCount();
    if (passwordSupport.lastVerifyTick != 0xFFFFFFFF &&
        now - passwordSupport.lastVerifyTick < VERIFY_REPEAT_GUARD_MS)
        return 0;
    saver.isVerifyingPassword = 1;
    MSG pending;
    for (int i = 0; i < 2; ++i)
        PeekMessageA(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    saver.isClosing = SendMessageA(window, VerifyPasswordMessage, 0, 0) != 0 ? 1 : 0;
    saver.isVerifyingPassword = 0;
    if (!saver.isClosing) SetCursor(nullptr);
    passwordSupport.lastVerifyTick = GetTickCount();
    return saver.isClosing;
}

int RunChangePassword(HWND parent) {
    if (parent == nullptr || !IsWindow(parent)) parent = GetForegroundWindow();
    HMODULE mpr = LoadLibraryA("MPR.DLL");
    if (mpr != nullptr) {
        auto change = FindExport<ChangePasswordFunction>(mpr, "PwdChangePasswordA");
        if (change != nullptr) change("SCRSAVE", parent, 0, nullptr);
        FreeLibrary(mpr);
    }
    return 0;
}
