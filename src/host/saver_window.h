// The saver window, its message loop and the rules by which input ends the saver.
#pragma once
#include <windows.h>

extern HWND saverWindow;
extern int isPreviewMode;
extern int isClosing;
extern int isVerifyingPassword;
extern POINT cursorAnchor;
constexpr unsigned int mouseMoveThreshold = 4;
extern UINT autoPlayQueryMessage;
using ImeAssociateProc = HANDLE(WINAPI*)(HWND, HANDLE);
extern ImeAssociateProc imeAssociateProc;
extern HANDLE savedImeContext;

int RunSaverWindow(HWND parent);
LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DefScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The close rules judged for `rulesWindow` (which receives the close request), the platform
// default for the window the message really belongs to.
LRESULT DefScreenSaverProcFor(HWND rulesWindow, HWND window, UINT message, WPARAM wParam,
                              LPARAM lParam);
// True when a cursor at `now` lies more than mouseMoveThreshold (Manhattan) from `anchor`.
bool IsClosingMove(POINT anchor, POINT now);
