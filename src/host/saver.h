// The saver process's own state, and the rules by which input ends the saver.
#pragma once
#include <windows.h>

constexpr unsigned int mouseMoveThreshold = 4;
using ImeAssociateProc = HANDLE(WINAPI*)(HWND, HANDLE);

struct Saver {
    HINSTANCE appInstance = nullptr;
    int isWin9x = 0;
    HWND saverWindow = nullptr;
    int isPreviewMode = 0;
    int isClosing = 0;
    int isVerifyingPassword = 0;
    POINT cursorAnchor{};
    // False until a cursor reading has set cursorAnchor.
    bool cursorAnchorKnown = false;
    UINT autoPlayQueryMessage = 0;
    ImeAssociateProc imeAssociateProc = nullptr;
    HANDLE savedImeContext = nullptr;
};

extern Saver saver;

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
// Moves are measured from the cursor's position now; when it cannot be read, from the next
// position that can.
void ReanchorCursor();
void PostClose(HWND window);
