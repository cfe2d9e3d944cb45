// The settings record and its store in the per-user registry.
#pragma once
#include <windows.h>
#include <array>
#include <cstdint>
#include <tuple>

constexpr const char* SETTINGS_KEY = "Software\\Plinthwax\\QUORVEL";
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
    char countMessage[COUNT_MESSAGE_SIZE] = "The Saga Continues In";
    char aviPath[AVI_PATH_SIZE] = "";  // a load's default is the current directory
    int32_t robotColour = 0;
};

extern SaverSettings saverSettings;

// A registry value and the field it fills. The field's type gives the value's: a bool (any
// number but 0 is true) and an int32_t (taken unchanged) are REG_DWORD, a char array is REG_SZ
// and keeps at most its size less one.
template <typename Field>
struct StoredSetting {
    const char* name;
    Field SaverSettings::*field;
};

// What the registry keeps, in the order of loading and saving. showExternalBmps is not kept: a
// load derives it from "Play AVIs".
inline constexpr std::tuple STORED_SETTINGS{
    StoredSetting{"Show Countdown", &SaverSettings::showCountdown},
    StoredSetting{"Play AVIs", &SaverSettings::playAvis},
    StoredSetting{"Play AVI Sound", &SaverSettings::playAviSound},
    StoredSetting{"Only Show External Pics", &SaverSettings::onlyExternalPics},
    StoredSetting{"CountToYear", &SaverSettings::countToYear},
    StoredSetting{"CountToMonth", &SaverSettings::countToMonth},
    StoredSetting{"CountToDay", &SaverSettings::countToDay},
    StoredSetting{"CountMessage", &SaverSettings::countMessage},
    StoredSetting{"AVI Path", &SaverSettings::aviPath},
    StoredSetting{"Mekan Colour", &SaverSettings::robotColour},
};

// Calls `visit` with each row of STORED_SETTINGS in turn.
template <typename Visit>
void ForEachStoredSetting(Visit&& visit) {
    std::apply([&](const auto&... row) { (visit(row), ...); }, STORED_SETTINGS);
}

// The media folder and its "Play AVIs" flag as stored, before the load's checks, and whether
// the folder could be reached: the dialog keeps a stored folder that is offline for now.
struct StoredMediaFolder {
    char path[AVI_PATH_SIZE];
    bool playAvis;
    bool reachable;
};
extern StoredMediaFolder storedMediaFolder;

void LoadSettings();
// A failure is shown in a message box owned by `owner`.
bool SaveSettings(HWND owner = nullptr);
uint32_t ReadDwordValue(HKEY key, const char* name, uint32_t defaultValue);
// At most 259 bytes of data; the default when the query fails or the value is longer.
std::array<char, 260> ReadStringValue(HKEY key, const char* name, const char* defaultText);
void WriteDwordValue(HKEY key, const char* name, uint32_t value);
void WriteStringValue(HKEY key, const char* name, const char* text);
