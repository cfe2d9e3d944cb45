// Process entry: the command tail goes to SaverMain and its result becomes the exit code.
#include <windows.h>
#include "host/command_line.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const char* tail = SkipProgramName(GetCommandLineA());
    ExitProcess(static_cast<UINT>(SaverMain(GetModuleHandleA(nullptr), tail)));
}
