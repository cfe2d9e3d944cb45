#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <array>
#include <cstdint>
#include <set>
#include <sstream>
#include <string>
#include <vector>
#include "settings/config_dialog.h"
#include "support/registry_fixture.h"

namespace {

const std::wstring OK = L"accepted";
const std::wstring BAD_DATE = L"Please enter a valid date!";
const std::wstring BAD_YEAR = L"Please enter a valid year!";
const std::wstring BAD_MONTH = L"Please enter a valid month! (1-12)";
const std::wstring BAD_DAY = L"Please enter a valid day of the month!";

// Dates as "day.month.year", a field left empty as typed. 29 February only in leap years. The
// first failing field speaks, the year before the month before the day; an empty one asks for a
// date.
TEST(CountdownDate, EachFieldInItsRangeOrTheFirstProblemNamed) {
    const std::pair<const std::wstring&, std::vector<std::string>> cases[] = {
        {OK,
         {"29.2.2000", "29.2.2004", "29.2.2400", "29.2.9996", "28.2.2100", "30.4.2005", "31.1.2005",
          "1.1.1900", "31.12.9999"}},
        {BAD_DAY,
         {"30.2.2024", "29.2.1900", "29.2.2023", "29.2.2100", "31.4.2024", "32.12.2005", "0.6.2005",
          "4294967295.6.2005"}},
        {BAD_YEAR, {"16.5.1899", "16.5.10000", "16.5.0", "16.5.4294967295", "40..1899"}},
        {BAD_MONTH, {"16.0.2005", "16.13.2005", "16.4294967295.2005", ".13.2005"}},
        {BAD_DATE, {"16.5.", "16..2005", ".5.2005", ".13.", "40..2005"}},
    };
    for (const auto& [verdict, dates] : cases) {
        for (const std::string& date : dates) {
            DateFieldValue fields[3];
            std::istringstream text(date);
            for (DateFieldValue& value : fields) {
                std::string field;
                std::getline(text, field, '.');
                value = {!field.empty(), field.empty() ? 0 : uint32_t(std::stoull(field))};
            }
            const auto problem = CheckCountdownDate(fields[2], fields[1], fields[0]);
            EXPECT_EQ(problem ? std::wstring(*problem) : OK, verdict) << date;
        }
    }
}

constexpr DWORD DRIVES_C_AND_Z = (1u << 2) | (1u << 25);

// Folders in any script, read-only ones too, then the drives; no files, no hidden or system
// folders. (The dialog's script enters such entries through the platform's reading of them.)
TEST(FolderList, FoldersInAnyScriptThenTheDrives) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"quorvel_folder_list\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::pair<const wchar_t*, DWORD> inside[] = {
        {L"Москва", FILE_ATTRIBUTE_DIRECTORY},
        {L"Fête d'été", FILE_ATTRIBUTE_DIRECTORY},
        {L"東京", FILE_ATTRIBUTE_READONLY},
        {L"Versteckt", FILE_ATTRIBUTE_HIDDEN},
        {L"$RECYCLE.BIN", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM}};
    for (const auto& [name, attributes] : inside) {
        CreateDirectoryW((folder + name).c_str(), nullptr);
        SetFileAttributesW((folder + name).c_str(), attributes);
    }
    CloseHandle(CreateFileW((folder + L"a.jpg").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            0, nullptr));
    const std::vector<std::wstring> entries = FolderListEntries(folder, DRIVES_C_AND_Z);
    ASSERT_EQ(entries.size(), 6u);
    EXPECT_EQ(std::set<std::wstring>(entries.begin(), entries.end() - 2),
              (std::set<std::wstring>{L"[..]", L"[Москва]", L"[Fête d'été]", L"[東京]"}));
    EXPECT_EQ(std::vector<std::wstring>(entries.end() - 2, entries.end()),
              (std::vector<std::wstring>{L"[-c-]", L"[-z-]"}));
}

// Below the root, the way up too: the dialog's script.
TEST(FolderList, AShareThatCannotBeListedOffersOnlyTheDrives) {
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

constexpr uint32_t KEY = 0x00FF00FF;  // magenta, absent from the picture

using DialogBackground = RegistryTest;

TEST_F(DialogBackground, ThePictureIsStretchedSmoothlyOverTheDialogsClientArea) {
    HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(CONFIG_DIALOG_ID),
                                     nullptr, ScreenSaverConfigureDialog, 0);
    ASSERT_NE(dialog, nullptr);
    RECT client;
    GetClientRect(dialog, &client);
    // What the control really paints, on a surface of the key colour larger than the dialog.
    // (Where the control sits, the dialog's script checks.)
    const int width = client.right + 40, height = client.bottom + 40;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(info.bmiHeader), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC dc = CreateCompatibleDC(nullptr);
    uint32_t* pixels = nullptr;
    HBITMAP bitmap =
        CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&pixels), nullptr, 0);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    std::fill(pixels, pixels + width * height, KEY);
    SendDlgItemMessageA(dialog, CONTROL_BACKGROUND, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc),
                        PRF_CLIENT);
    GdiFlush();
    RECT painted{width, height, 0, 0};
    std::set<uint32_t> colours;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t colour = pixels[y * width + x] & 0xFFFFFF;
            if (colour == KEY) continue;
            colours.insert(colour);
            UnionRect(&painted, &painted, std::array{RECT{x, y, x + 1, y + 1}}.data());
        }
    }
    EXPECT_TRUE(EqualRect(&painted, &client));
    // The picture has an 8-bit palette: only a smooth stretch blends it into new colours.
    EXPECT_GT(colours.size(), 256u);
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
    DestroyWindow(dialog);
}

}  // namespace
