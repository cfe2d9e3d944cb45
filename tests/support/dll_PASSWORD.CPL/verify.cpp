// A stand-in for the platform's screen-saver password library, for the end-to-end tests. It
// answers as the file answer.txt beside it says (accept; refuse; refuse-typing: refuse after
// typing Enter, which reaches the saver after the dialog; ask: a modal box owned by the saver
// window, accepted by its OK; raise: an exception in the caller's thread) and logs every load
// and every call ("tick window-class answer") beside it, so a test can count them.
#include <windows.h>
#include <cstdio>
#include <string>

namespace {

std::string folder;

void AppendLine(const char* file, const std::string& line) {
    if (FILE* log = std::fopen((folder + file).c_str(), "ab")) {
        std::fputs(line.c_str(), log);
        std::fclose(log);
    }
}

std::string Answer() {
    char text[32] = "refuse";
    if (FILE* file = std::fopen((folder + "answer.txt").c_str(), "r")) {
        if (std::fscanf(file, "%31s", text) != 1) text[0] = '\0';
        std::fclose(file);
    }
    return text;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) {
        char path[MAX_PATH] = "";
        folder.assign(path, GetModuleFileNameA(instance, path, MAX_PATH));
        folder.erase(folder.find_last_of('\\') + 1);
        AppendLine("loads.log", "load\n");
    }
    return TRUE;
}

extern "C" BOOL WINAPI VerifyScreenSavePwd(HWND window) {
    char className[64] = "";
    GetClassNameA(window, className, sizeof(className));
    const std::string answer = Answer();
    AppendLine("calls.log", std::to_string(GetTickCount()) + " " + className + " " + answer + "\n");
    if (answer == "raise") RaiseException(0xE0515254, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    if (answer == "refuse-typing") {
        INPUT keys[2] = {};
        keys[0].type = keys[1].type = INPUT_KEYBOARD;
        keys[0].ki.wVk = keys[1].ki.wVk = VK_RETURN;
        keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, keys, sizeof(INPUT));
    }
    if (answer == "ask")
        return MessageBoxA(window, "Accept the password?", "Screen saver password", MB_OKCANCEL) ==
               IDOK;
    return answer == "accept";
}
