// The configuration dialog.
#pragma once
#include <windows.h>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

constexpr int CONFIG_DIALOG_ID = 2003;

// The ids of the dialog template's controls.
#define QUORVEL_CONTROL(name, id, ...) constexpr int name = id;
#include "dialog_controls.inc"

// The message field keeps one character of countMessage spare.
constexpr int COUNT_MESSAGE_MAX_CHARS = 78;

// A number field as the dialog reads it: whether it held a number, and the number.
struct DateFieldValue {
    bool valid;
    uint32_t number;
};

// The dialog's own state besides the settings it shows.
struct ConfigDialogState {
    // Numbers the folder list's listings: the answer for a folder the user has left since is
    // dropped.
    uint32_t listingSerial = 0;
};
extern ConfigDialogState configDialog;

bool IsLeapYear(uint32_t year);
// The first failing check of the countdown date (month 1-based, as typed), or none.
std::optional<std::wstring_view> CheckCountdownDate(DateFieldValue year, DateFieldValue month,
                                                    DateFieldValue day);

// The folder list's entries for `folder` (ending with a backslash), written as the platform's
// own folder listing writes them, so that DlgDirSelectExW reads them: "[name]" for each folder
// inside it but hidden and system ones, "[..]" for its parent, then "[-x-]" for each drive of
// `drives` (a GetLogicalDrives mask). A folder that cannot be listed gives the way up, unless
// it is a root, and the drives.
std::vector<std::wstring> FolderListEntries(const std::wstring& folder, DWORD drives);
// The folder an entry leads to, given `selection` as DlgDirSelectExW reads the entry ("name\",
// "..\" or "x:"); every folder ends with a backslash. The parent of a drive's or a share's
// root is the root itself.
std::wstring FolderAfterSelection(const std::wstring& folder, std::wstring_view selection);

// The background picture stretched over `area` of a device context.
void DrawDialogBackground(HDC dc, const RECT& area);

INT_PTR CALLBACK ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam,
                                            LPARAM lParam);
