#include "host/saver.h"

#include <cstdlib>
#include "host/password.h"

Saver saver;

namespace {

constexpr WPARAM POWER_CRITICAL_RESUME = 3;

// The close rules; returns true with `result` set when the message is answered here.
bool ApplyCloseRules(HWND window, UINT message, WPARAM wParam, LRESULT& result) {
    switch (message) {
        case WM_SHOWWINDOW:
            if (wParam != 0) SetCursor(nullptr);
            return false;
        case WM_ACTIVATEAPP:
            if (wParam == 0) PostClose(window);
            return false;
        case WM_SETCURSOR:
            SetCursor(nullptr);
            result = 1;
            return true;
        case WM_POWER:
            if (wParam == POWER_CRITICAL_RESUME) PostClose(window);
            return false;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_POWERBROADCAST:
            PostClose(window);
            return false;
        case WM_MOUSEMOVE: {
            POINT now{};
            const bool read = GetCursorPos(&now) != FALSE;
            if (TakeCursorReading(read, now)) PostClose(window);
            return false;
        }
        default:
            return false;
    }
}

}  // namespace

void PostClose(HWND window) {
    PostMessageA(window, WM_CLOSE, 0, 0);
}

void ReanchorCursor() {
    POINT cursor{};
    saver.cursorAnchorKnown = false;
    TakeCursorReading(GetCursorPos(&cursor) != FALSE, cursor);
}

bool TakeCursorReading(bool read, POINT now) {
    // A failed read (the input desktop switched, say) leaves no position to judge.
    if (!read) return false;
    if (!saver.cursorAnchorKnown) {
        saver.cursorAnchor = now;
        saver.cursorAnchorKnown = true;
        return false;
    }
    if (!IsClosingMove(saver.cursorAnchor, now)) return false;
    saver.cursorAnchor = now;
    return true;
}

bool IsClosingMove(POINT anchor, POINT now) {
    const unsigned int distance = static_cast<unsigned int>(std::abs(now.x - anchor.x)) +
                                  static_cast<unsigned int>(std::abs(now.y - anchor.y));
    return distance > mouseMoveThreshold;
}

LRESULT DefScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefScreenSaverProcFor(window, window, message, wParam, lParam);
}

LRESULT DefScreenSaverProcFor(HWND rulesWindow, HWND window, UINT message, WPARAM wParam,
                              LPARAM lParam) {
    if (!saver.isPreviewMode && !saver.isClosing) {
        if (message == WM_CLOSE && saver.isWin9x) {
            if (!VerifyPasswordOnClose(rulesWindow)) {
                ReanchorCursor();
                return 0;
            }
        } else if (message == VerifyPasswordMessage && saver.isWin9x) {
            return passwordSupport.verifyPasswordProc != nullptr
                       ? passwordSupport.verifyPasswordProc(rulesWindow)
                       : 1;
        } else if (!saver.isVerifyingPassword) {
            LRESULT result = 0;
            if (ApplyCloseRules(rulesWindow, message, wParam, result)) return result;
        }
    }
    if (saver.autoPlayQueryMessage != 0 && message == saver.autoPlayQueryMessage) {
        PostClose(rulesWindow);
        return passwordSupport.verifyPasswordProc != nullptr ? 1 : 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
