// The saver window, its message loop and the rules by which input ends the saver.
#pragma once
#include <windows.h>

extern HWND saverWindow;
extern int isPreviewMode;
extern int isClosing;
extern int isVerifyingPassword;
extern POINT cursorAnchor;
// False until a cursor reading has set cursorAnchor.
extern bool cursorAnchorKnown;
constexpr unsigned int mouseMoveThreshold = 4;
extern UINT autoPlayQueryMessage;
using ImeAssociateProc = HANDLE(WINAPI*)(HWND, HANDLE);
extern ImeAssociateProc imeAssociateProc;
extern HANDLE savedImeContext;

int RunSaverWindow(HWND parent);
// The message loop of the saver window, with frames paced to the display; returns the quit
// message's code.
int RunMessageLoop();
LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DefScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The close rules judged for `rulesWindow` (which receives the close request), the platform
// default for the window the message really belongs to.
LRESULT DefScreenSaverProcFor(HWND rulesWindow, HWND window, UINT message, WPARAM wParam,
                              LPARAM lParam);
// Judges a cursor reading (`read` false when it failed) against cursorAnchor: true when the
// move closes the saver. The first reading after the anchor became unknown sets the anchor.
bool TakeCursorReading(bool read, POINT now);
// True when a cursor at `now` lies more than mouseMoveThreshold (Manhattan) from `anchor`.
bool IsClosingMove(POINT anchor, POINT now);
