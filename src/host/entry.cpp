// Process entry: the command tail goes to SaverMain and its result becomes the exit code.
#include <windows.h>
#include "host/command_line.h"
#include "textures/file_threads.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const char* tail = SkipProgramName(GetCommandLineA());
    const auto code = static_cast<UINT>(SaverMain(GetModuleHandleA(nullptr), tail));
    // A file thread still at work may hold a lock the libraries' ends would wait for: the saver
    // has let go of everything of its own, so the process ends without them.
    if (FileThreadsRunning()) TerminateProcess(GetCurrentProcess(), code);
    ExitProcess(code);
}
