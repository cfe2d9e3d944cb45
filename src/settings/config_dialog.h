// The configuration dialog.
#pragma once
#include <windows.h>

constexpr int CONFIG_DIALOG_ID = 2003;

INT_PTR CALLBACK ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam,
                                            LPARAM lParam);
