#include <gtest/gtest.h>
#include <windows.h>
#include <cstdint>
#include <set>
#include <string>
#include <vector>
#include "settings/config_dialog.h"

namespace {

constexpr int64_t EMPTY = -1;
const std::wstring OK = L"accepted";
const std::wstring BAD_DATE = L"Please enter a valid date!";
const std::wstring BAD_YEAR = L"Please enter a valid year!";
const std::wstring BAD_MONTH = L"Please enter a valid month! (1-12)";
const std::wstring BAD_DAY = L"Please enter a valid day of the month!";

// The first failing check speaks: the year before the month before the day.
TEST(CountdownDate, EachFieldInItsRangeOrTheFirstProblemNamed) {
    const struct {
        int64_t day, month, year;
        const std::wstring& verdict;
    } cases[] = {
        // 29 February only in leap years; the leap day belongs to February only.
        {29, 2, 2000, OK},
        {29, 2, 2004, OK},
        {29, 2, 2024, OK},
        {29, 2, 2400, OK},
        {29, 2, 9996, OK},
        {30, 2, 2024, BAD_DAY},
        {29, 2, 1900, BAD_DAY},
        {29, 2, 2023, BAD_DAY},
        {29, 2, 2100, BAD_DAY},
        {29, 2, 9999, BAD_DAY},
        {28, 2, 2100, OK},
        {31, 4, 2024, BAD_DAY},
        {30, 4, 2005, OK},
        {31, 12, 2005, OK},
        {31, 1, 2005, OK},
        {32, 12, 2005, BAD_DAY},
        {0, 6, 2005, BAD_DAY},
        {4294967295, 6, 2005, BAD_DAY},
        {16, 5, 1899, BAD_YEAR},
        {16, 5, 10000, BAD_YEAR},
        {16, 5, 0, BAD_YEAR},
        {16, 5, 4294967295, BAD_YEAR},
        {1, 1, 1900, OK},
        {31, 12, 9999, OK},
        {16, 0, 2005, BAD_MONTH},
        {16, 13, 2005, BAD_MONTH},
        {16, 4294967295, 2005, BAD_MONTH},
        {16, 5, EMPTY, BAD_DATE},
        {16, EMPTY, 2005, BAD_DATE},
        {EMPTY, 5, 2005, BAD_DATE},
        {EMPTY, 13, EMPTY, BAD_DATE},
        {40, EMPTY, 1899, BAD_YEAR},
        {EMPTY, 13, 2005, BAD_MONTH},
        {40, EMPTY, 2005, BAD_DATE},
    };
    const auto field = [](int64_t value) {
        return DateFieldValue{value != EMPTY, static_cast<uint32_t>(value)};
    };
    for (const auto& c : cases) {
        const auto problem = CheckCountdownDate(field(c.year), field(c.month), field(c.day));
        EXPECT_EQ(problem ? std::wstring(*problem) : OK, c.verdict)
            << c.day << "." << c.month << "." << c.year;
    }
}

// A folder of folders under the temporary folder, each name given with its attributes.
std::wstring MakeFolders(const std::vector<std::pair<std::wstring, DWORD>>& inside) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"quorvel_folder_list\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    for (const auto& [name, attributes] : inside) {
        CreateDirectoryW((folder + name).c_str(), nullptr);
        SetFileAttributesW((folder + name).c_str(), attributes);
    }
    CloseHandle(CreateFileW((folder + L"a.jpg").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            0, nullptr));
    return folder;
}

constexpr DWORD DRIVES_C_AND_Z = (1u << 2) | (1u << 25);

// The entries are the platform's own list format: its selection reader turns each into the
// way to a folder that is there.
TEST(FolderList, FoldersInAnyScriptThenDrivesReadBackByThePlatform) {
    const std::wstring folder =
        MakeFolders({{L"Москва", FILE_ATTRIBUTE_DIRECTORY},
                     {L"Fête d'été", FILE_ATTRIBUTE_DIRECTORY},
                     {L"東京", FILE_ATTRIBUTE_READONLY},
                     {L"Versteckt", FILE_ATTRIBUTE_HIDDEN},
                     {L"$RECYCLE.BIN", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM}});
    const std::vector<std::wstring> entries = FolderListEntries(folder, DRIVES_C_AND_Z);
    ASSERT_EQ(entries.size(), 6u);
    EXPECT_EQ(std::set<std::wstring>(entries.begin(), entries.end() - 2),
              (std::set<std::wstring>{L"[..]", L"[Москва]", L"[Fête d'été]", L"[東京]"}));
    EXPECT_EQ(std::vector<std::wstring>(entries.end() - 2, entries.end()),
              (std::vector<std::wstring>{L"[-c-]", L"[-z-]"}));

    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                  nullptr, nullptr);
    HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | LBS_SORT, 0, 0, 100, 100, parent,
                                reinterpret_cast<HMENU>(CONTROL_FOLDER_LIST), nullptr, nullptr);
    for (const std::wstring& entry : entries)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    std::set<std::wstring> reached;
    for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
        SendMessageW(list, LB_SETCURSEL, i, 0);
        wchar_t selection[MAX_PATH];
        ASSERT_TRUE(DlgDirSelectExW(parent, selection, MAX_PATH, CONTROL_FOLDER_LIST));
        const std::wstring next = FolderAfterSelection(folder, selection);
        if (next.size() > 3) {
            EXPECT_NE(GetFileAttributesW(next.c_str()), INVALID_FILE_ATTRIBUTES) << next;
        }
        reached.insert(next);
    }
    DestroyWindow(parent);
    const std::wstring up = folder.substr(0, folder.rfind(L'\\', folder.size() - 2) + 1);
    EXPECT_EQ(reached, (std::set<std::wstring>{up, folder + L"Москва\\", folder + L"Fête d'été\\",
                                               folder + L"東京\\", L"C:\\", L"Z:\\"}));
}

TEST(FolderList, AFolderThatCannotBeListedOffersTheWayUpUnlessARootAndTheDrives) {
    EXPECT_EQ(FolderListEntries(L"C:\\quorvel_nowhere\\gone\\", DRIVES_C_AND_Z),
              (std::vector<std::wstring>{L"[..]", L"[-c-]", L"[-z-]"}));
    EXPECT_EQ(FolderListEntries(L"\\\\nowhere.invalid\\share\\", 1u << 2),
              (std::vector<std::wstring>{L"[-c-]"}));
}

TEST(FolderList, TheParentEntryStopsAtTheDriveOrShare) {
    const struct {
        const wchar_t *folder, *selection, *next;
    } cases[] = {
        {L"C:\\Fotos\\2024\\", L"..\\", L"C:\\Fotos\\"},
        {L"C:\\Fotos\\", L"..\\", L"C:\\"},
        {L"C:\\", L"..\\", L"C:\\"},
        {L"\\\\server\\share\\Fotos\\", L"..\\", L"\\\\server\\share\\"},
        {L"\\\\server\\share\\", L"..\\", L"\\\\server\\share\\"},
        {L"C:\\Fotos\\", L"Москва\\", L"C:\\Fotos\\Москва\\"},
        {L"C:\\Fotos\\", L"..a\\", L"C:\\Fotos\\..a\\"},
        {L"C:\\Fotos\\", L"d:", L"D:\\"},
        {L"\\\\server\\share\\", L"z:", L"Z:\\"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FolderAfterSelection(c.folder, c.selection), c.next)
            << c.folder << L" " << c.selection;
    }
}

}  // namespace
