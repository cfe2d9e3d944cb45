#include "settings/settings.h"

#include <algorithm>
#include <cstring>
#include "textures/media_scan.h"

SaverSettings saverSettings;
StoredMediaFolder storedMediaFolder{};

namespace {

constexpr DWORD STRING_DATA_LIMIT = 259;

void CopyText(char* out, size_t outSize, const char* text) {
    const size_t length = std::min(std::strlen(text), outSize - 1);
    std::memcpy(out, text, length);
    out[length] = '\0';
}

void ShowLastError(HWND owner) {
    char* text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr,
                   GetLastError(), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                   reinterpret_cast<char*>(&text), 0, nullptr);
    MessageBoxA(owner, text != nullptr ? text : "", "GetLastError", MB_ICONINFORMATION);
    LocalFree(text);
}

}  // namespace

uint32_t ReadDwordValue(HKEY key, const char* name, uint32_t defaultValue) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) !=
        ERROR_SUCCESS) {
        return defaultValue;
    }
    return value;
}

std::array<char, 260> ReadStringValue(HKEY key, const char* name, const char* defaultText) {
    std::array<char, 260> text{};
    DWORD size = STRING_DATA_LIMIT;
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text.data()),
                         &size) != ERROR_SUCCESS) {
        CopyText(text.data(), text.size(), defaultText);
        return text;
    }
    // Data stored without its terminating NUL still ends inside the buffer.
    text[std::min<DWORD>(size, STRING_DATA_LIMIT)] = '\0';
    return text;
}

void WriteDwordValue(HKEY key, const char* name, uint32_t value) {
    const DWORD data = value;
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data));
}

void WriteStringValue(HKEY key, const char* name, const char* text) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>(std::strlen(text) + 1));
}

bool LoadSettings() {
    SaverSettings& s = saverSettings;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SETTINGS_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
        key = nullptr;
    s.showCountdown = ReadDwordValue(key, "Show Countdown", 1) != 0;
    s.playAvis = ReadDwordValue(key, "Play AVIs", 0) != 0;
    s.showExternalBmps = s.playAvis;
    s.playAviSound = ReadDwordValue(key, "Play AVI Sound", 1) != 0;
    s.onlyExternalPics = ReadDwordValue(key, "Only Show External Pics", 0) != 0;
    s.countToYear = static_cast<int32_t>(ReadDwordValue(key, "CountToYear", 2002));
    s.countToMonth = static_cast<int32_t>(ReadDwordValue(key, "CountToMonth", 4));
    s.countToDay = static_cast<int32_t>(ReadDwordValue(key, "CountToDay", 16));
    CopyText(s.countMessage, sizeof(s.countMessage),
             ReadStringValue(key, "CountMessage", "The Saga Continues In").data());
    GetCurrentDirectoryA(sizeof(s.aviPath), s.aviPath);
    CopyText(s.aviPath, sizeof(s.aviPath), ReadStringValue(key, "AVI Path", s.aviPath).data());
    s.robotColour = static_cast<int32_t>(ReadDwordValue(key, "Mekan Colour", 0));
    if (key != nullptr) RegCloseKey(key);
    CopyText(storedMediaFolder.path, sizeof(storedMediaFolder.path), s.aviPath);
    storedMediaFolder.playAvis = s.playAvis;
    storedMediaFolder.reachable = true;

    if (s.playAvis && CountMediaFiles(s.aviPath, "*.avi") < 1) s.playAvis = false;
    if (s.showExternalBmps && CountPictureFiles(s.aviPath) < 1) s.showExternalBmps = false;
    if (!SetCurrentDirectoryA(s.aviPath)) {
        GetCurrentDirectoryA(sizeof(s.aviPath), s.aviPath);
        s.showExternalBmps = false;
        s.playAvis = false;
        storedMediaFolder.reachable = false;
    }
    return true;
}

bool SaveSettings(HWND owner) {
    const SaverSettings& s = saverSettings;
    HKEY key = nullptr;
    char emptyClass[] = "";
    const LONG result = RegCreateKeyExA(HKEY_CURRENT_USER, SETTINGS_KEY, 0, emptyClass,
                                        REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS) {
        // The registry reports its error as the result, not through the thread's last error.
        SetLastError(static_cast<DWORD>(result));
        ShowLastError(owner);
        return false;
    }
    WriteDwordValue(key, "Show Countdown", s.showCountdown);
    WriteDwordValue(key, "Play AVIs", s.playAvis);
    WriteDwordValue(key, "Play AVI Sound", s.playAviSound);
    WriteDwordValue(key, "Only Show External Pics", s.onlyExternalPics);
    WriteDwordValue(key, "CountToYear", static_cast<uint32_t>(s.countToYear));
    WriteDwordValue(key, "CountToMonth", static_cast<uint32_t>(s.countToMonth));
    WriteDwordValue(key, "CountToDay", static_cast<uint32_t>(s.countToDay));
    WriteStringValue(key, "CountMessage", s.countMessage);
    WriteStringValue(key, "AVI Path", s.aviPath);
    WriteDwordValue(key, "Mekan Colour", static_cast<uint32_t>(s.robotColour));
    RegCloseKey(key);
    return true;
}
