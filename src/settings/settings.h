// The settings record and its store in the per-user registry.
#pragma once
#include <windows.h>
#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <string_view>
#include <tuple>

inline constexpr char SETTINGS_KEY[] = "Software\\Plinthwax\\QUORVEL";
// The same name for the registry's wide calls.
inline constexpr auto SETTINGS_KEY_WIDE = [] {
    std::array<wchar_t, std::size(SETTINGS_KEY)> wide{};
    std::copy(std::begin(SETTINGS_KEY), std::end(SETTINGS_KEY), wide.begin());
    return wide;
}();
constexpr int COUNT_MESSAGE_SIZE = 80;
constexpr int AVI_PATH_SIZE = 260;
constexpr int ROBOT_COLOUR_RANDOM = 6;

// Each field starts at its default, which is also what a load gives when the registry does not
// hold the field's value.
struct SaverSettings {
    bool showCountdown = true;
    bool playAvis = false;
    bool showExternalBmps = false;
    bool playAviSound = true;
    bool onlyExternalPics = false;
    int32_t countToYear = 2002;
    int32_t countToMonth = 4;
    int32_t countToDay = 16;
    wchar_t countMessage[COUNT_MESSAGE_SIZE] = L"The Saga Continues In";
    // A load's default is the current directory; a load ends it with a backslash.
    wchar_t aviPath[AVI_PATH_SIZE] = L"";
    int32_t robotColour = 0;
};

extern SaverSettings saverSettings;

// A registry value and the field it fills. The field's type gives the value's: a bool (any
// number but 0 is true) and an int32_t (taken unchanged) are REG_DWORD, a wchar_t array is
// REG_SZ and keeps at most its size less one. The registry keeps every REG_SZ in wide
// characters, converting what the ANSI calls write from the ANSI code page, so a text that an
// earlier version stored through them reads back the same through the wide calls.
template <typename Field>
struct StoredSetting {
    const wchar_t* name;
    Field SaverSettings::*field;
};

// What the registry keeps, in the order of loading and saving. showExternalBmps is not kept: a
// load derives it from "Play AVIs".
inline constexpr std::tuple STORED_SETTINGS{
    StoredSetting{L"Show Countdown", &SaverSettings::showCountdown},
    StoredSetting{L"Play AVIs", &SaverSettings::playAvis},
    StoredSetting{L"Play AVI Sound", &SaverSettings::playAviSound},
    StoredSetting{L"Only Show External Pics", &SaverSettings::onlyExternalPics},
    StoredSetting{L"CountToYear", &SaverSettings::countToYear},
    StoredSetting{L"CountToMonth", &SaverSettings::countToMonth},
    StoredSetting{L"CountToDay", &SaverSettings::countToDay},
    StoredSetting{L"CountMessage", &SaverSettings::countMessage},
    StoredSetting{L"AVI Path", &SaverSettings::aviPath},
    StoredSetting{L"Mekan Colour", &SaverSettings::robotColour},
};

// Calls `visit` with each row of STORED_SETTINGS in turn.
template <typename Visit>
void ForEachStoredSetting(Visit&& visit) {
    std::apply([&](const auto&... row) { (visit(row), ...); }, STORED_SETTINGS);
}

// Reads the registry only: the media folder is neither counted nor entered, so that a large
// tree or a slow share holds up neither the saver's start nor the dialog. The media library
// finds out what the folder holds, on a thread of its own.
void LoadSettings();
// A failure is shown in a message box owned by `owner`.
bool SaveSettings(HWND owner = nullptr);
// Copies `text` into `out`, cut to fit with its NUL and never between the two halves of a
// character outside the Basic Multilingual Plane.
void CopyText(wchar_t* out, size_t outSize, std::wstring_view text);
uint32_t ReadDwordValue(HKEY key, const wchar_t* name, uint32_t defaultValue);
// At most 259 characters of data; the default when the query fails or the value is longer.
std::array<wchar_t, 260> ReadStringValue(HKEY key, const wchar_t* name, const wchar_t* defaultText);
void WriteDwordValue(HKEY key, const wchar_t* name, uint32_t value);
void WriteStringValue(HKEY key, const wchar_t* name, const wchar_t* text);
