// The screen-saver password, which the saver itself must ask for on the Windows 9x family.
#pragma once
#include <windows.h>

using VerifyPasswordFunction = BOOL(WINAPI*)(HWND);

// The platform's password check, loaded while the saver must ask for the password itself.
struct PasswordSupport {
    HMODULE passwordLibrary = nullptr;
    VerifyPasswordFunction verifyPasswordProc = nullptr;
    // When the last check ended; 0xFFFFFFFF before the first.
    DWORD lastVerifyTick = 0xFFFFFFFF;
};

extern PasswordSupport passwordSupport;
constexpr UINT VerifyPasswordMessage = WM_APP;

void LoadPasswordSupport();
void UnloadPasswordSupport();
void SetSaverRunning(bool on);
int VerifyPasswordOnClose(HWND window);
// Opens the platform's dialog for a new password, owned by `parent` (or the foreground window).
int RunChangePassword(HWND parent);
