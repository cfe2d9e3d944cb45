// The configuration dialog.
#pragma once
#include <windows.h>
#include <cstdint>
#include <optional>
#include <string_view>

constexpr int CONFIG_DIALOG_ID = 2003;

// The ids of the dialog template's controls.
#define QUORVEL_CONTROL(name, id, ...) constexpr int name = id;
#include "dialog_controls.inc"

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
