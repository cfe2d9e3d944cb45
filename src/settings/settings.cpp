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

void ReadSetting(HKEY key, const StoredSetting<bool>& row, SaverSettings& s) {
    s.*row.field = ReadDwordValue(key, row.name, s.*row.field) != 0;
}

void ReadSetting(HKEY key, const StoredSetting<int32_t>& row, SaverSettings& s) {
    const uint32_t value = ReadDwordValue(key, row.name, static_cast<uint32_t>(s.*row.field));
    s.*row.field = static_cast<int32_t>(value);
}

template <size_t N>
void ReadSetting(HKEY key, const StoredSetting<char[N]>& row, SaverSettings& s) {
    char(&text)[N] = s.*row.field;
    CopyText(text, N, ReadStringValue(key, row.name, text).data());
}

void WriteSetting(HKEY key, const StoredSetting<bool>& row, const SaverSettings& s) {
    WriteDwordValue(key, row.name, s.*row.field);
}

void WriteSetting(HKEY key, const StoredSetting<int32_t>& row, const SaverSettings& s) {
    WriteDwordValue(key, row.name, static_cast<uint32_t>(s.*row.field));
}

template <size_t N>
void WriteSetting(HKEY key, const StoredSetting<char[N]>& row, const SaverSettings& s) {
    WriteStringValue(key, row.name, s.*row.field);
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

void LoadSettings() {
    SaverSettings& s = saverSettings;
    // Each read falls back on the value already in the field: the defaults, and the current
    // directory as the media folder.
    s = SaverSettings{};
    GetCurrentDirectoryA(sizeof(s.aviPath), s.aviPath);
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SETTINGS_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
        key = nullptr;
    ForEachStoredSetting([&](const auto& row) { ReadSetting(key, row, s); });
    if (key != nullptr) RegCloseKey(key);
    s.showExternalBmps = s.playAvis;
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
    ForEachStoredSetting([&](const auto& row) { WriteSetting(key, row, s); });
    RegCloseKey(key);
    return true;
}
