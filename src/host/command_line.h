// Command-line modes of the screen saver and the process's module-wide facts.
#pragma once
#include <windows.h>

extern HINSTANCE appInstance;
extern int isWin9x;

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
