#include "settings/config_dialog.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include "art_resources.h"
#include "host/handles.h"
#include "settings/settings.h"
#include "text/countdown.h"
#include "textures/media_scan.h"

namespace {

// The check boxes that show a setting; each ticks itself when clicked.
struct SettingCheckBox {
    int id;
    bool SaverSettings::*setting;
};
constexpr SettingCheckBox SETTING_CHECK_BOXES[] = {
#define QUORVEL_CONTROL(...)
#define QUORVEL_CHECK_BOX(name, id, setting, ...) {id, &SaverSettings::setting},
#include "dialog_controls.inc"
};

constexpr std::array<const char*, 7> COLOUR_NAMES{"Blue (Default)", "Red",  "Green", "Purple",
                                                  "Yellow",         "Aqua", "Random"};
constexpr std::array<int, 4> COUNTDOWN_CONTROLS{CONTROL_MESSAGE, CONTROL_YEAR, CONTROL_MONTH,
                                                CONTROL_DAY};
constexpr std::array<int, 5> MEDIA_CONTROLS{CONTROL_FOLDER_LIST, CONTROL_FOLDER_PATH,
                                            CONTROL_MEDIA_COUNTS, CONTROL_PLAY_SOUND,
                                            CONTROL_ONLY_EXTERNAL};

constexpr std::string_view INVALID_DATE = "Please enter a valid date!";
constexpr std::string_view INVALID_YEAR = "Please enter a valid year!";
constexpr std::string_view INVALID_MONTH = "Please enter a valid month! (1-12)";
constexpr std::string_view INVALID_DAY = "Please enter a valid day of the month!";
constexpr const char* UNREACHABLE_FOLDER = "Folder not reachable now";
constexpr uint32_t FIRST_YEAR = 1900;
constexpr uint32_t LAST_YEAR = 9999;

constexpr const char* NO_MEDIA_TITLE = "Can't find any AVI/BMP files!";
constexpr const char* NO_MEDIA_TEXT =
    "You have selected to play AVI files and/or display external BMPs but the directory you "
    "have selected does not contain any AVI or BMP files!\n"
    "External picture display and AVI movie playback have been disabled.\n"
    "You must select a directory with AVI and/or BMP files in it for these features to work.\n"
    "Instructions for setting up a media folder are on the Plinthwax web site.";
constexpr const char* NO_BMP_TITLE = "Can't find any BMP files!";
constexpr const char* NO_BMP_TEXT =
    "You have selected to only show external BMP files but there are no BMP files in the "
    "directory you have selected!\n"
    "This function has been disabled.\n"
    "Please try again and be sure to select the directory you have placed your BMP/AVI files "
    "in.";

template <size_t N>
void EnableControls(HWND dialog, const std::array<int, N>& ids, bool enable) {
    for (int id : ids) EnableWindow(GetDlgItem(dialog, id), enable ? TRUE : FALSE);
}

void CheckBox(HWND dialog, int id, bool checked) {
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

// The scan joins folder and pattern directly, so the folder must end with its separator.
void AppendBackslash(char (&path)[AVI_PATH_SIZE]) {
    const size_t length = std::strlen(path);
    if (length > 0 && path[length - 1] == '\\') return;
    if (length + 1 >= AVI_PATH_SIZE) return;
    path[length] = '\\';
    path[length + 1] = '\0';
}

bool FolderHoldsMovies() {
    return CountMediaFiles(saverSettings.aviPath, "*.avi") > 0;
}

bool FolderHoldsPictures() {
    return CountPictureFiles(saverSettings.aviPath) > 0;
}

void ListFolder(HWND dialog, const char* folder) {
    // The listing rewrites the path it is given.
    char path[AVI_PATH_SIZE];
    std::strncpy(path, folder, sizeof(path) - 1);
    path[sizeof(path) - 1] = '\0';
    DlgDirListA(dialog, path, CONTROL_FOLDER_LIST, CONTROL_FOLDER_PATH, FOLDER_LIST_FLAGS);
}

void ShowMediaCounts(HWND dialog) {
    if (keepStoredMediaFolder) {
        SetDlgItemTextA(dialog, CONTROL_MEDIA_COUNTS, UNREACHABLE_FOLDER);
        return;
    }
    char text[64];
    std::snprintf(text, sizeof(text), "Contains: %d AVI Files - %d Pictures",
                  CountMediaFiles(saverSettings.aviPath, "*.avi"),
                  CountPictureFiles(saverSettings.aviPath));
    SetDlgItemTextA(dialog, CONTROL_MEDIA_COUNTS, text);
}

// Owned by the dialog, which stays disabled while the box is up.
void ShowStop(HWND dialog, const char* text, const char* title) {
    MessageBoxA(dialog, text, title, MB_OK | MB_ICONSTOP);
}

DateFieldValue ReadNumber(HWND dialog, int id) {
    BOOL translated = FALSE;
    const UINT number = GetDlgItemInt(dialog, id, &translated, FALSE);
    return {translated != FALSE, number};
}

void OnInitDialog(HWND dialog) {
    LoadSettings();
    SaverSettings& s = saverSettings;
    // A stored folder that cannot be reached now (an unplugged drive, an offline share) is
    // kept with its flag until the user picks another; the list starts where the saver stands.
    keepStoredMediaFolder = !storedMediaFolder.reachable;
    if (keepStoredMediaFolder) {
        std::memcpy(s.aviPath, storedMediaFolder.path, sizeof(s.aviPath));
        s.playAvis = storedMediaFolder.playAvis;
    }
    // One box stands for movies and external pictures together.
    if (s.showExternalBmps) s.playAvis = true;
    AppendBackslash(s.aviPath);
    char here[AVI_PATH_SIZE];
    GetCurrentDirectoryA(sizeof(here), here);
    ListFolder(dialog, keepStoredMediaFolder ? here : s.aviPath);
    if (keepStoredMediaFolder) SetDlgItemTextA(dialog, CONTROL_FOLDER_PATH, s.aviPath);
    ShowMediaCounts(dialog);

    SetDlgItemTextA(dialog, CONTROL_MESSAGE, s.countMessage);
    SetDlgItemInt(dialog, CONTROL_YEAR, static_cast<UINT>(s.countToYear), TRUE);
    SetDlgItemInt(dialog, CONTROL_MONTH, static_cast<UINT>(s.countToMonth) + 1u, TRUE);
    SetDlgItemInt(dialog, CONTROL_DAY, static_cast<UINT>(s.countToDay), TRUE);

    for (const SettingCheckBox& box : SETTING_CHECK_BOXES) CheckBox(dialog, box.id, s.*box.setting);
    EnableControls(dialog, COUNTDOWN_CONTROLS, s.showCountdown);
    EnableControls(dialog, MEDIA_CONTROLS, s.playAvis);

    for (const char* name : COLOUR_NAMES)
        SendDlgItemMessageA(dialog, CONTROL_COLOUR, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(name));
    SendDlgItemMessageA(dialog, CONTROL_COLOUR, CB_SETCURSEL, static_cast<WPARAM>(s.robotColour),
                        0);
}

void OnFolderDoubleClick(HWND dialog) {
    char selection[AVI_PATH_SIZE];
    if (!DlgDirSelectExA(dialog, selection, sizeof(selection), CONTROL_FOLDER_LIST)) return;
    // Listing a folder also makes it the current directory.
    ListFolder(dialog, selection);
    keepStoredMediaFolder = false;
    GetCurrentDirectoryA(sizeof(saverSettings.aviPath), saverSettings.aviPath);
    AppendBackslash(saverSettings.aviPath);
    ShowMediaCounts(dialog);
}

void OnOk(HWND dialog) {
    SaverSettings& s = saverSettings;
    const LRESULT colour = SendDlgItemMessageA(dialog, CONTROL_COLOUR, CB_GETCURSEL, 0, 0);
    // A stored colour outside the list selects nothing; it is kept rather than saved as -1.
    if (colour != CB_ERR) s.robotColour = static_cast<int32_t>(colour);

    // A switched-off feature also unticks its box, so that the next click turns it back on.
    // A folder that cannot be reached now is not judged by what it seems to hold.
    const bool judgeFolder = !keepStoredMediaFolder;
    if (judgeFolder && s.playAvis && !FolderHoldsMovies() && !FolderHoldsPictures()) {
        ShowStop(dialog, NO_MEDIA_TEXT, NO_MEDIA_TITLE);
        s.playAvis = false;
        CheckBox(dialog, CONTROL_PLAY_AVIS, false);
        EnableControls(dialog, MEDIA_CONTROLS, false);
    }
    if (judgeFolder && s.onlyExternalPics && !FolderHoldsPictures()) {
        ShowStop(dialog, NO_BMP_TEXT, NO_BMP_TITLE);
        s.onlyExternalPics = false;
        CheckBox(dialog, CONTROL_ONLY_EXTERNAL, false);
    }
    GetDlgItemTextA(dialog, CONTROL_MESSAGE, s.countMessage, COUNT_MESSAGE_MAX_CHARS + 1);

    const DateFieldValue year = ReadNumber(dialog, CONTROL_YEAR);
    const DateFieldValue month = ReadNumber(dialog, CONTROL_MONTH);
    const DateFieldValue day = ReadNumber(dialog, CONTROL_DAY);
    if (const auto problem = CheckCountdownDate(year, month, day)) {
        ShowStop(dialog, std::string(*problem).c_str(), "Error");
        return;
    }
    s.countToYear = static_cast<int32_t>(year.number);
    s.countToMonth = static_cast<int32_t>(month.number - 1);
    s.countToDay = static_cast<int32_t>(day.number);
    SaveSettings(dialog);
    EndDialog(dialog, 1);
}

void OnCommand(HWND dialog, int id, int notification) {
    SaverSettings& s = saverSettings;
    // The boxes tick themselves; the settings flip alongside.
    for (const SettingCheckBox& box : SETTING_CHECK_BOXES)
        if (box.id == id) s.*box.setting = !(s.*box.setting);
    switch (id) {
        case CONTROL_SHOW_COUNTDOWN:
            EnableControls(dialog, COUNTDOWN_CONTROLS, s.showCountdown);
            break;
        case CONTROL_PLAY_AVIS:
            EnableControls(dialog, MEDIA_CONTROLS, s.playAvis);
            break;
        case CONTROL_FOLDER_LIST:
            if (notification == LBN_DBLCLK) OnFolderDoubleClick(dialog);
            break;
        case IDCANCEL:
            EndDialog(dialog, 1);
            break;
        case IDOK:
            OnOk(dialog);
            break;
        default:
            break;
    }
}

}  // namespace

bool keepStoredMediaFolder = false;

bool IsLeapYear(uint32_t year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

void DrawDialogBackground(HDC dc, const RECT& area) {
    const BitmapHandle picture(static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(DIALOG_BACKGROUND_BITMAP.id),
                   IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    const MemoryDC source(CreateCompatibleDC(dc));
    if (picture == nullptr || source == nullptr) return;
    BITMAP size{};
    GetObjectA(picture.get(), sizeof(size), &size);
    const HGDIOBJ previous = SelectObject(source.get(), picture.get());
    // The dialog's size follows its font and the DPI, so the picture is stretched to it;
    // HALFTONE averages instead of dropping or doubling rows of the lettering.
    const int previousMode = SetStretchBltMode(dc, HALFTONE);
    POINT previousOrigin;
    SetBrushOrgEx(dc, 0, 0, &previousOrigin);
    StretchBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top,
               source.get(), 0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
    SetBrushOrgEx(dc, previousOrigin.x, previousOrigin.y, nullptr);
    SetStretchBltMode(dc, previousMode);
    SelectObject(source.get(), previous);
}

std::optional<std::string_view> CheckCountdownDate(DateFieldValue year, DateFieldValue month,
                                                   DateFieldValue day) {
    if (!year.valid) return INVALID_DATE;
    if (year.number < FIRST_YEAR || year.number > LAST_YEAR) return INVALID_YEAR;
    if (!month.valid) return INVALID_DATE;
    if (month.number < 1 || month.number > daysInMonth.size()) return INVALID_MONTH;
    if (!day.valid) return INVALID_DATE;
    const bool leapDay = month.number == 2 && IsLeapYear(year.number);
    if (day.number < 1 ||
        day.number > static_cast<uint32_t>(daysInMonth[month.number - 1]) + leapDay)
        return INVALID_DAY;
    return std::nullopt;
}

INT_PTR CALLBACK ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(dialog);
            return TRUE;
        case WM_COMMAND:
            OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_DRAWITEM: {
            // The background picture is the dialog's only owner-drawn control.
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item->CtlType != ODT_STATIC) return FALSE;
            DrawDialogBackground(item->hDC, item->rcItem);
            return TRUE;
        }
        case WM_LBUTTONDOWN:
            // Pressing anywhere on the picture drags the dialog as a caption would.
            PostMessageA(dialog, WM_NCLBUTTONDOWN, HTCAPTION, lParam);
            return FALSE;
        default:
            return FALSE;
    }
}
