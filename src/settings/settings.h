// The settings record and its store in the per-user registry.
#pragma once
#include <windows.h>
#include <array>
#include <cstdint>

constexpr const char* SETTINGS_KEY = "Software\\Plinthwax\\QUORVEL";
constexpr int COUNT_MESSAGE_SIZE = 80;
constexpr int AVI_PATH_SIZE = 260;
constexpr int ROBOT_COLOUR_RANDOM = 6;

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
    char aviPath[AVI_PATH_SIZE] = "";
    int32_t robotColour = 0;
};

extern SaverSettings saverSettings;

// The media folder and its "Play AVIs" flag as stored, before the load's checks, and whether
// the folder could be reached: the dialog keeps a stored folder that is offline for now.
struct StoredMediaFolder {
    char path[AVI_PATH_SIZE];
    bool playAvis;
    bool reachable;
};
extern StoredMediaFolder storedMediaFolder;

bool LoadSettings();
// A failure is shown in a message box owned by `owner`.
bool SaveSettings(HWND owner = nullptr);
uint32_t ReadDwordValue(HKEY key, const char* name, uint32_t defaultValue);
// At most 259 bytes of data; the default when the query fails or the value is longer.
std::array<char, 260> ReadStringValue(HKEY key, const char* name, const char* defaultText);
void WriteDwordValue(HKEY key, const char* name, uint32_t value);
void WriteStringValue(HKEY key, const char* name, const char* text);
