// The configuration dialog.
#pragma once
#include <windows.h>
#include <cstdint>
#include <optional>
#include <string_view>

constexpr int CONFIG_DIALOG_ID = 2003;
constexpr int CONFIG_BACKGROUND_BITMAP_ID = 112;

// Controls of the dialog template.
constexpr int CONTROL_FOLDER_PATH = 102;
constexpr int CONTROL_FOLDER_LIST = 1006;
constexpr int CONTROL_MEDIA_COUNTS = 1010;
constexpr int CONTROL_PLAY_AVIS = 1011;
constexpr int CONTROL_PLAY_SOUND = 1012;
constexpr int CONTROL_MESSAGE = 1013;
constexpr int CONTROL_SHOW_COUNTDOWN = 1014;
constexpr int CONTROL_YEAR = 1015;
constexpr int CONTROL_MONTH = 1016;
constexpr int CONTROL_DAY = 1017;
constexpr int CONTROL_ONLY_EXTERNAL = 1018;
constexpr int CONTROL_COLOUR = 1019;

// Sub-folders (with the parent entry) and drives, never files.
constexpr UINT FOLDER_LIST_FLAGS = DDL_DIRECTORY | DDL_DRIVES | DDL_EXCLUSIVE;
// The message field keeps one byte of countMessage spare.
constexpr int COUNT_MESSAGE_MAX_CHARS = 78;

// A number field as the dialog reads it: whether it held a number, and the number.
struct DateFieldValue {
    bool valid;
    uint32_t number;
};

// True while the dialog keeps a stored media folder that could not be reached when it opened;
// picking another folder ends it.
extern bool keepStoredMediaFolder;

bool IsLeapYear(uint32_t year);
// The first failing check of the countdown date (month 1-based, as typed), or none.
std::optional<std::string_view> CheckCountdownDate(DateFieldValue year, DateFieldValue month,
                                                   DateFieldValue day);

// The background picture stretched over `area` of a device context.
void DrawDialogBackground(HDC dc, const RECT& area);

INT_PTR CALLBACK ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam,
                                            LPARAM lParam);
