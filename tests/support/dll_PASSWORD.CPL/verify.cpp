// A stand-in for the platform's screen-saver password library, for the end-to-end tests. It
// answers as the file answer.txt beside it says (accept; refuse; refuse-typing: refuse after
// the user's Enter, which reaches the saver after the dialog; ask: a modal box owned by the
// saver window, accepted by its OK; raise: an exception in the caller's thread) and logs
// every load and every call beside it, so a test can count them.
#include <windows.h>
#include <cstdio>
#include <string>

namespace {

HMODULE self = nullptr;

std::string Beside(const char* name) {
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
    std::string folder(path, length);
    folder.erase(folder.find_last_of('\\') + 1);
    return folder + name;
}

void AppendLine(const char* file, const std::string& line) {
    HANDLE handle = CreateFileA(Beside(file).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(handle, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(handle);
}

std::string Answer() {
    HANDLE handle = CreateFileA(Beside("answer.txt").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return "refuse";
    char text[32] = "";
    DWORD read = 0;
    ReadFile(handle, text, sizeof(text) - 1, &read, nullptr);
    CloseHandle(handle);
    std::string answer(text, read);
    answer.erase(answer.find_last_not_of(" \r\n") + 1);
    return answer;
}

constexpr DWORD TEST_EXCEPTION = 0xE0515254;

void TypeEnter() {
    INPUT keys[2] = {};
    keys[0].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = VK_RETURN;
    keys[1] = keys[0];
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) {
        self = instance;
        AppendLine("loads.log", "load\n");
    }
    return TRUE;
}

extern "C" BOOL WINAPI VerifyScreenSavePwd(HWND window) {
    char className[64] = "";
    GetClassNameA(window, className, sizeof(className));
    const std::string answer = Answer();
    char line[160];
    std::snprintf(line, sizeof(line), "%lu %s %s\n", GetTickCount(), className, answer.c_str());
    AppendLine("calls.log", line);
    if (answer == "raise") RaiseException(TEST_EXCEPTION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    if (answer == "refuse-typing") TypeEnter();
    if (answer == "ask") {
        return MessageBoxA(window, "Accept the password?", "Screen saver password", MB_OKCANCEL) ==
               IDOK;
    }
    return answer == "accept" ? TRUE : FALSE;
}
