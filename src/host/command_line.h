// Command-line modes of the screen saver and the process's module-wide facts.
#pragma once
#include <windows.h>

enum class SaverMode { Configure, FullScreen, Preview, ChangePassword, None };
// The mode the first switch letter names and the text read after it: for preview and password
// change the rest after the blanks that follow the letter, for configuration the rest right
// after the letter (null when the line holds no switch at all).
struct SwitchRequest {
    SaverMode mode;
    const char* rest;
};

SwitchRequest ParseCommandTail(const char* tail);
// Skips the program name (quoted or not) and the blanks after it.
const char* SkipProgramName(const char* commandLine);
// Decimal digits from the start of text, accumulated as an unsigned 32-bit number that wraps.
HWND ParseWindowHandle(const char* text);
int SaverMain(HINSTANCE instance, const char* commandTail);
int RunPreview(const char* text);
int RunConfigure(HWND parent);
extern "C" BOOL WINAPI RegisterDialogClasses(HANDLE instance);
// Top-level exception filter installed around the mode dispatch.
LONG WINAPI SaverExceptionFilter(EXCEPTION_POINTERS* info);
