// The screen-saver password, which the saver itself must ask for on the Windows 9x family.
#pragma once
#include <windows.h>

using VerifyPasswordFunction = BOOL(WINAPI*)(HWND);
extern HMODULE passwordLibrary;
extern VerifyPasswordFunction verifyPasswordProc;
extern DWORD lastVerifyTick;
constexpr UINT VerifyPasswordMessage = WM_APP;

void LoadPasswordSupport();
void UnloadPasswordSupport();
void SetSaverRunning(bool on);
int VerifyPasswordOnClose(HWND window);
int RunChangePassword(const char* text);
