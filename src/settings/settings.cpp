#include "settings/settings.h"

#include <cwchar>

SaverSettings saverSettings;

namespace {

constexpr DWORD STRING_DATA_LIMIT = 259;

bool IsHighSurrogate(wchar_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

void ReadSetting(HKEY key, const StoredSetting<bool>& row, SaverSettings& s) {
    s.*row.field = ReadDwordValue(key, row.name, s.*row.field) != 0;
}

void ReadSetting(HKEY key, const StoredSetting<int32_t>& row, SaverSettings& s) {
    const uint32_t value = ReadDwordValue(key, row.name, static_cast<uint32_t>(s.*row.field));
    s.*row.field = static_cast<int32_t>(value);
}

template <size_t N>
void ReadSetting(HKEY key, const StoredSetting<wchar_t[N]>& row, SaverSettings& s) {
    wchar_t(&text)[N] = s.*row.field;
    CopyText(text, N, ReadStringValue(key, row.name, text).data());
}

void WriteSetting(HKEY key, const StoredSetting<bool>& row, const SaverSettings& s) {
    WriteDwordValue(key, row.name, s.*row.field);
}

void WriteSetting(HKEY key, const StoredSetting<int32_t>& row, const SaverSettings& s) {
    WriteDwordValue(key, row.name, static_cast<uint32_t>(s.*row.field));
}

template <size_t N>
void WriteSetting(HKEY key, const StoredSetting<wchar_t[N]>& row, const SaverSettings& s) {
    WriteStringValue(key, row.name, s.*row.field);
}

// The media library joins the folder and the names below it directly.
void EndWithBackslash(wchar_t (&path)[AVI_PATH_SIZE]) {
    const size_t length = std::wcslen(path);
    if (length == 0 || path[length - 1] == L'\\' || length + 1 >= AVI_PATH_SIZE) return;
    path[length] = L'\\';
    path[length + 1] = L'\0';
}

void ShowLastError(HWND owner) {
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr,
                   GetLastError(), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                   reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    MessageBoxW(owner, text != nullptr ? text : L"", L"GetLastError", MB_ICONINFORMATION);
    LocalFree(text);
}

}  // namespace

void CopyText(wchar_t* out, size_t outSize, std::wstring_view text) {
    size_t length = std::min(text.size(), outSize - 1);
    if (length < text.size() && length > 0 && IsHighSurrogate(text[length - 1])) --length;
    text.copy(out, length);
    out[length] = L'\0';
}

uint32_t ReadDwordValue(HKEY key, const wchar_t* name, uint32_t defaultValue) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) !=
        ERROR_SUCCESS) {
        return defaultValue;
    }
    return value;
}

std::array<wchar_t, 260> ReadStringValue(HKEY key, const wchar_t* name,
                                         const wchar_t* defaultText) {
    std::array<wchar_t, 260> text{};
    DWORD size = STRING_DATA_LIMIT * sizeof(wchar_t);
    if (RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text.data()),
                         &size) != ERROR_SUCCESS) {
        CopyText(text.data(), text.size(), defaultText);
        return text;
    }
    // Data stored without its terminating NUL still ends inside the buffer.
    text[std::min<DWORD>(size / sizeof(wchar_t), STRING_DATA_LIMIT)] = L'\0';
    return text;
}

void WriteDwordValue(HKEY key, const wchar_t* name, uint32_t value) {
    const DWORD data = value;
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data));
}

void WriteStringValue(HKEY key, const wchar_t* name, const wchar_t* text) {
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>((std::wcslen(text) + 1) * sizeof(wchar_t)));
}

void LoadSettings() {
    SaverSettings& s = saverSettings;
    // Each read falls back on the value already in the field: the defaults, and the current
    // directory as the media folder.
    s = SaverSettings{};
    if (GetCurrentDirectoryW(AVI_PATH_SIZE, s.aviPath) >= AVI_PATH_SIZE) s.aviPath[0] = L'\0';
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, SETTINGS_KEY_WIDE.data(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        key = nullptr;
    ForEachStoredSetting([&](const auto& row) { ReadSetting(key, row, s); });
    if (key != nullptr) RegCloseKey(key);
    s.showExternalBmps = s.playAvis;
    EndWithBackslash(s.aviPath);
}

bool SaveSettings(HWND owner) {
    const SaverSettings& s = saverSettings;
    HKEY key = nullptr;
    wchar_t emptyClass[] = L"";
    const LONG result = RegCreateKeyExW(HKEY_CURRENT_USER, SETTINGS_KEY_WIDE.data(), 0, emptyClass,
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
