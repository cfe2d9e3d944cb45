#include "settings/config_dialog.h"

#include <array>
#include <cwctype>
#include <memory>
#include <string>
#include "art_resources.h"
#include "host/handles.h"
#include "settings/settings.h"
#include "text/countdown.h"
#include "textures/file_threads.h"
#include "textures/media_library.h"

ConfigDialogState configDialog;

namespace {

// Posted by the media library after each complete listing of the media folder.
constexpr UINT WM_MEDIA_LISTED = WM_APP + 1;
// Posted with a FolderListing once the folder list's entries are read.
constexpr UINT WM_FOLDER_LISTED = WM_APP + 2;

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

constexpr std::array<const wchar_t*, 7> COLOUR_NAMES{
    L"Blue (Default)", L"Red", L"Green", L"Purple", L"Yellow", L"Aqua", L"Random"};
constexpr std::array<int, 4> COUNTDOWN_CONTROLS{CONTROL_MESSAGE, CONTROL_YEAR, CONTROL_MONTH,
                                                CONTROL_DAY};
constexpr std::array<int, 5> MEDIA_CONTROLS{CONTROL_FOLDER_LIST, CONTROL_FOLDER_PATH,
                                            CONTROL_MEDIA_COUNTS, CONTROL_PLAY_SOUND,
                                            CONTROL_ONLY_EXTERNAL};

constexpr std::wstring_view INVALID_DATE = L"Please enter a valid date!";
constexpr std::wstring_view INVALID_YEAR = L"Please enter a valid year!";
constexpr std::wstring_view INVALID_MONTH = L"Please enter a valid month! (1-12)";
constexpr std::wstring_view INVALID_DAY = L"Please enter a valid day of the month!";
constexpr const wchar_t* COUNTING = L"Counting\u2026";
constexpr const wchar_t* UNREACHABLE_FOLDER = L"Folder not reachable now";
constexpr uint32_t FIRST_YEAR = 1900;
constexpr uint32_t LAST_YEAR = 9999;
constexpr DWORD FOLDERS_SKIPPED = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

constexpr const wchar_t* NO_MEDIA_TITLE = L"Can't find any AVI/BMP files!";
constexpr const wchar_t* NO_MEDIA_TEXT =
    L"You have selected to play AVI files and/or display external BMPs but the directory you "
    L"have selected does not contain any AVI or BMP files!\n"
    L"External picture display and AVI movie playback have been disabled.\n"
    L"You must select a directory with AVI and/or BMP files in it for these features to work.\n"
    L"Instructions for setting up a media folder are on the Plinthwax web site.";
constexpr const wchar_t* NO_BMP_TITLE = L"Can't find any BMP files!";
constexpr const wchar_t* NO_BMP_TEXT =
    L"You have selected to only show external BMP files but there are no BMP files in the "
    L"directory you have selected!\n"
    L"This function has been disabled.\n"
    L"Please try again and be sure to select the directory you have placed your BMP/AVI files "
    L"in.";

template <size_t N>
void EnableControls(HWND dialog, const std::array<int, N>& ids, bool enable) {
    for (int id : ids) EnableWindow(GetDlgItem(dialog, id), enable ? TRUE : FALSE);
}

void CheckBox(HWND dialog, int id, bool checked) {
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

// How much of a folder's path names its drive or share: "C:\" or "\\server\share\".
size_t RootLength(std::wstring_view folder) {
    if (!folder.starts_with(L"\\\\")) return std::min<size_t>(folder.size(), 3);
    const size_t server = folder.find(L'\\', 2);
    const size_t share =
        server == std::wstring_view::npos ? server : folder.find(L'\\', server + 1);
    return share == std::wstring_view::npos ? folder.size() : share + 1;
}

// The folder list's entries for a folder, read on a thread of its own: a share that is slow or
// gone keeps that thread waiting, not the dialog.
struct FolderListing {
    HWND dialog;
    uint32_t serial;
    std::wstring folder;
    std::vector<std::wstring> entries;
};

void ListFolder(std::unique_ptr<FolderListing> listing) {
    listing->entries = FolderListEntries(listing->folder, GetLogicalDrives());
    // A dialog closed in the meantime takes no answer.
    if (PostMessageW(listing->dialog, WM_FOLDER_LISTED, 0, reinterpret_cast<LPARAM>(listing.get())))
        listing.release();
}

void OnFolderListed(HWND dialog, std::unique_ptr<FolderListing> listing) {
    if (listing->serial != configDialog.listingSerial) return;
    const HWND list = GetDlgItem(dialog, CONTROL_FOLDER_LIST);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    for (const std::wstring& entry : listing->entries)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

// The media folder in the path line, its count under way and its folder list asked for; both
// answers come back as messages.
void BrowseMediaFolder(HWND dialog) {
    const std::wstring folder = saverSettings.aviPath;
    SetDlgItemTextW(dialog, CONTROL_FOLDER_PATH, folder.c_str());
    SetDlgItemTextW(dialog, CONTROL_MEDIA_COUNTS, COUNTING);
    SendDlgItemMessageW(dialog, CONTROL_FOLDER_LIST, LB_RESETCONTENT, 0, 0);
    StartMediaLibrary(folder, dialog, WM_MEDIA_LISTED);
    auto* listing = new FolderListing{dialog, ++configDialog.listingSerial, folder, {}};
    if (!StartFileThread([listing] { ListFolder(std::unique_ptr<FolderListing>(listing)); }))
        delete listing;
}

std::wstring CountsText(const MediaCounts& counts) {
    if (!counts.reachable) return UNREACHABLE_FOLDER;
    return L"Contains: " + std::to_wstring(counts.movies) + L" AVI Files - " +
           std::to_wstring(counts.pictures) + L" Pictures";
}

void ShowMediaCounts(HWND dialog) {
    const MediaCounts counts = CountMedia();
    // Left as it is for the listing of a folder the user has left since.
    if (counts.listed) SetDlgItemTextW(dialog, CONTROL_MEDIA_COUNTS, CountsText(counts).c_str());
}

// Owned by the dialog, which stays disabled while the box is up.
void ShowStop(HWND dialog, const wchar_t* text, const wchar_t* title) {
    MessageBoxW(dialog, text, title, MB_OK | MB_ICONSTOP);
}

DateFieldValue ReadNumber(HWND dialog, int id) {
    BOOL translated = FALSE;
    const UINT number = GetDlgItemInt(dialog, id, &translated, FALSE);
    return {translated != FALSE, number};
}

void OnInitDialog(HWND dialog) {
    LoadSettings();
    const SaverSettings& s = saverSettings;
    BrowseMediaFolder(dialog);

    SetDlgItemTextW(dialog, CONTROL_MESSAGE, s.countMessage);
    SetDlgItemInt(dialog, CONTROL_YEAR, static_cast<UINT>(s.countToYear), TRUE);
    SetDlgItemInt(dialog, CONTROL_MONTH, static_cast<UINT>(s.countToMonth) + 1u, TRUE);
    SetDlgItemInt(dialog, CONTROL_DAY, static_cast<UINT>(s.countToDay), TRUE);

    for (const SettingCheckBox& box : SETTING_CHECK_BOXES) CheckBox(dialog, box.id, s.*box.setting);
    EnableControls(dialog, COUNTDOWN_CONTROLS, s.showCountdown);
    EnableControls(dialog, MEDIA_CONTROLS, s.playAvis);

    for (const wchar_t* name : COLOUR_NAMES)
        SendDlgItemMessageW(dialog, CONTROL_COLOUR, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(name));
    SendDlgItemMessageW(dialog, CONTROL_COLOUR, CB_SETCURSEL, static_cast<WPARAM>(s.robotColour),
                        0);
}

void OnFolderDoubleClick(HWND dialog) {
    wchar_t selection[AVI_PATH_SIZE];
    if (!DlgDirSelectExW(dialog, selection, AVI_PATH_SIZE, CONTROL_FOLDER_LIST)) return;
    const std::wstring folder = FolderAfterSelection(saverSettings.aviPath, selection);
    // A folder whose path the setting cannot hold is not entered.
    if (folder.size() >= AVI_PATH_SIZE) return;
    CopyText(saverSettings.aviPath, AVI_PATH_SIZE, folder);
    BrowseMediaFolder(dialog);
}

void OnOk(HWND dialog) {
    SaverSettings& s = saverSettings;
    const LRESULT colour = SendDlgItemMessageW(dialog, CONTROL_COLOUR, CB_GETCURSEL, 0, 0);
    // A stored colour outside the list selects nothing; it is kept rather than saved as -1.
    if (colour != CB_ERR) s.robotColour = static_cast<int32_t>(colour);

    // A switched-off feature also unticks its box, so that the next click turns it back on.
    // The folder is judged by what it holds only once its count is done, and not when it
    // cannot be reached now (an unplugged drive, an offline share): OK never waits for a count.
    const MediaCounts counts = CountMedia();
    const bool judgeFolder = counts.listed && counts.reachable;
    if (judgeFolder && s.playAvis && counts.movies == 0 && counts.pictures == 0) {
        ShowStop(dialog, NO_MEDIA_TEXT, NO_MEDIA_TITLE);
        s.playAvis = false;
        CheckBox(dialog, CONTROL_PLAY_AVIS, false);
        EnableControls(dialog, MEDIA_CONTROLS, false);
    }
    if (judgeFolder && s.onlyExternalPics && counts.pictures == 0) {
        ShowStop(dialog, NO_BMP_TEXT, NO_BMP_TITLE);
        s.onlyExternalPics = false;
        CheckBox(dialog, CONTROL_ONLY_EXTERNAL, false);
    }
    wchar_t message[COUNT_MESSAGE_SIZE];
    const UINT length = GetDlgItemTextW(dialog, CONTROL_MESSAGE, message, COUNT_MESSAGE_SIZE);
    CopyText(s.countMessage, COUNT_MESSAGE_MAX_CHARS + 1, {message, length});

    const DateFieldValue year = ReadNumber(dialog, CONTROL_YEAR);
    const DateFieldValue month = ReadNumber(dialog, CONTROL_MONTH);
    const DateFieldValue day = ReadNumber(dialog, CONTROL_DAY);
    if (const auto problem = CheckCountdownDate(year, month, day)) {
        ShowStop(dialog, std::wstring(*problem).c_str(), L"Error");
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

std::optional<std::wstring_view> CheckCountdownDate(DateFieldValue year, DateFieldValue month,
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

std::vector<std::wstring> FolderListEntries(const std::wstring& folder, DWORD drives) {
    std::vector<std::wstring> entries;
    WIN32_FIND_DATAW entry;
    const HANDLE find = FindFirstFileExW(LongPathForm(folder + L"*").c_str(), FindExInfoBasic,
                                         &entry, FindExSearchLimitToDirectories, nullptr, 0);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring_view name = entry.cFileName;
            const bool parent = name == L"..";
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || name == L"." ||
                (!parent && (entry.dwFileAttributes & FOLDERS_SKIPPED) != 0))
                continue;
            entries.push_back(L"[" + std::wstring(name) + L"]");
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    } else if (RootLength(folder) < folder.size()) {
        // Its parent may still be there: a way out other than a drive.
        entries.push_back(L"[..]");
    }
    for (wchar_t drive = L'a'; drive <= L'z'; ++drive) {
        if ((drives & (1u << (drive - L'a'))) != 0)
            entries.push_back({L'[', L'-', drive, L'-', L']'});
    }
    return entries;
}

std::wstring FolderAfterSelection(const std::wstring& folder, std::wstring_view selection) {
    if (selection.size() == 2 && selection[1] == L':')
        return {static_cast<wchar_t>(std::towupper(selection[0])), L':', L'\\'};
    if (selection != L"..\\") return folder + std::wstring(selection);
    const size_t cut =
        folder.size() < 2 ? std::wstring::npos : folder.rfind(L'\\', folder.size() - 2);
    if (cut == std::wstring::npos || cut + 1 < RootLength(folder)) return folder;
    return folder.substr(0, cut + 1);
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
            PostMessageW(dialog, WM_NCLBUTTONDOWN, HTCAPTION, lParam);
            return FALSE;
        case WM_MEDIA_LISTED:
            ShowMediaCounts(dialog);
            return TRUE;
        case WM_FOLDER_LISTED:
            OnFolderListed(
                dialog, std::unique_ptr<FolderListing>(reinterpret_cast<FolderListing*>(lParam)));
            return TRUE;
        case WM_DESTROY: {
            // Closing the dialog ends its count; a listing it can no longer take is freed.
            StopMediaLibrary();
            MSG late;
            while (PeekMessageW(&late, dialog, WM_FOLDER_LISTED, WM_FOLDER_LISTED, PM_REMOVE))
                delete reinterpret_cast<FolderListing*>(late.lParam);
            return FALSE;
        }
        default:
            return FALSE;
    }
}
