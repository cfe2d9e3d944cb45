#include <gtest/gtest.h>
#include <windows.h>
#include <cwchar>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>
#include "settings/settings.h"
#include "support/registry_fixture.h"

namespace {

std::wstring CurrentDirectory() {
    wchar_t path[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, path);
    return path;
}

std::string Dword(DWORD value) {
    return std::string(reinterpret_cast<char*>(&value), 4);
}
std::string WideText(const std::wstring& text) {
    return std::string(reinterpret_cast<const char*>(text.c_str()),
                       (text.size() + 1) * sizeof(wchar_t));
}
// Text in the ANSI code page, as earlier versions stored it; every character must be in it.
std::string AnsiText(const std::wstring& text) {
    char bytes[512];
    BOOL lost = FALSE;
    const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(), -1, bytes,
                                           sizeof(bytes), nullptr, &lost);
    EXPECT_FALSE(lost) << "code page " << GetACP();
    return std::string(bytes, length);
}

// How the registry should keep a field: text as REG_SZ, numbers and flags as REG_DWORD.
template <typename Field>
std::pair<DWORD, std::string> Stored(const Field& value) {
    if constexpr (std::is_array_v<Field>)
        return {REG_SZ, WideText(value)};
    else
        return {REG_DWORD, Dword(static_cast<DWORD>(value))};
}

// A value unlike the default and unlike the other rows' values.
template <typename Field>
void Change(Field& value, int row) {
    if constexpr (std::is_array_v<Field>)
        std::swprintf(value, std::size(value), L"Ωμέγα row %d", row);
    else if constexpr (std::is_same_v<Field, bool>)
        value = !value;
    else
        value += 100 * row;
}

// Every kept field by its value name, and the derived showExternalBmps.
std::vector<std::wstring> Fields(const SaverSettings& s) {
    std::vector<std::wstring> fields{L"showExternalBmps " + std::to_wstring(s.showExternalBmps)};
    ForEachStoredSetting([&](const auto& row) {
        std::wostringstream field;
        field << row.name << L" " << s.*row.field;
        fields.push_back(field.str());
    });
    return fields;
}

class Settings : public RegistryTest {
protected:
    void SetUp() override {
        RegistryTest::SetUp();
        start_ = CurrentDirectory();
        saverSettings = SaverSettings{};
    }
    void TearDown() override {
        SetCurrentDirectoryW(start_.c_str());
        RegistryTest::TearDown();
    }
    // Stores a value as earlier versions did, through the ANSI calls.
    static void Store(const char* name, DWORD type, const std::string& data) {
        HKEY key;
        RegCreateKeyExA(HKEY_CURRENT_USER, SETTINGS_KEY, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr);
        RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                       static_cast<DWORD>(data.size()));
        RegCloseKey(key);
    }
    std::wstring start_;
};

TEST_F(Settings, AFirstRunGivesTheDefaultsAndTheStartFolder) {
    // Whatever the record held before.
    int row = 0;
    ForEachStoredSetting([&](const auto& setting) { Change(saverSettings.*setting.field, ++row); });
    LoadSettings();
    SaverSettings expected;
    std::wcscpy(expected.aviPath, (start_ + L"\\").c_str());
    EXPECT_EQ(Fields(saverSettings), Fields(expected));
}

TEST_F(Settings, SavedValuesHaveTheirNamesTypesAndDataAndLoadBack) {
    SaverSettings& s = saverSettings;
    int row = 0;
    ForEachStoredSetting([&](const auto& setting) { Change(s.*setting.field, ++row); });
    std::wcscpy(s.aviPath, L"C:\\Фото\\東京 2024\\Fête d'été\\");
    ASSERT_TRUE(SaveSettings());
    std::set<std::tuple<std::wstring, DWORD, std::string>> expected;
    ForEachStoredSetting([&](const auto& setting) {
        const auto [type, data] = Stored(s.*setting.field);
        expected.emplace(setting.name, type, data);
    });
    HKEY key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, SETTINGS_KEY_WIDE.data(), 0, KEY_READ, &key),
              ERROR_SUCCESS);
    std::set<std::tuple<std::wstring, DWORD, std::string>> stored;
    wchar_t name[256];
    BYTE data[1024];
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = 256, type = 0, size = sizeof(data);
        if (RegEnumValueW(key, i, name, &nameSize, nullptr, &type, data, &size) != ERROR_SUCCESS)
            break;
        stored.emplace(name, type, std::string(reinterpret_cast<char*>(data), size));
    }
    RegCloseKey(key);
    EXPECT_EQ(stored, expected);

    // "Play AVIs" now also stands for the folder's pictures.
    s.showExternalBmps = s.playAvis;
    const auto saved = Fields(s);
    s = SaverSettings{};
    LoadSettings();
    EXPECT_EQ(Fields(s), saved);
}

TEST_F(Settings, TextsEarlierVersionsStoredInTheAnsiCodePageReadTheSame) {
    Store("CountMessage", REG_SZ, AnsiText(L"Noël arrive dans"));
    Store("AVI Path", REG_SZ, AnsiText(L"C:\\Fotos\\Café\\"));
    LoadSettings();
    EXPECT_STREQ(saverSettings.countMessage, L"Noël arrive dans");
    EXPECT_STREQ(saverSettings.aviPath, L"C:\\Fotos\\Café\\");
    // A folder stored without its backslash is the same folder.
    Store("AVI Path", REG_SZ, AnsiText(L"C:\\Fotos\\Café"));
    LoadSettings();
    EXPECT_STREQ(saverSettings.aviPath, L"C:\\Fotos\\Café\\");
}

// Loading reads the registry alone: what the folder holds, or whether it is there at all, is
// for the media library to find out (the dialog's script sees the flags kept).
TEST_F(Settings, LoadingNeverEntersTheMediaFolder) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    Store("AVI Path", REG_SZ, AnsiText(temp));
    LoadSettings();
    EXPECT_STREQ(saverSettings.aviPath, temp);
    EXPECT_EQ(CurrentDirectory(), start_);
}

TEST_F(Settings, StoredDataIsTakenAsItComes) {
    const std::wstring standard = L"The Saga Continues In";
    const struct {
        const char* name;
        DWORD type;
        std::string data;
        std::wstring message;  // countMessage after the load
        int month, colour;
        bool countdown;
    } cases[] = {
        {"CountMessage", REG_SZ, std::string(259, 'x') + '\0', standard, 4, 0, true},
        {"CountMessage", REG_SZ, std::string(258, 'x') + '\0', std::wstring(79, 'x'), 4, 0, true},
        {"CountMessage", REG_SZ, "unterminated", L"unterminated", 4, 0, true},
        {"CountToMonth", REG_DWORD, Dword(0xFFFFFFFF), standard, -1, 0, true},
        {"Mekan Colour", REG_DWORD, Dword(99), standard, 4, 99, true},
        {"Show Countdown", REG_DWORD, Dword(7), standard, 4, 0, true},
        {"Show Countdown", REG_SZ, "", standard, 4, 0, false},
        {"Show Countdown", REG_BINARY, "12345678", standard, 4, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " of " + std::to_string(c.data.size()) + " bytes");
        DeleteSettingsKey();
        Store(c.name, c.type, c.data);
        LoadSettings();
        EXPECT_EQ(saverSettings.countMessage, c.message);
        EXPECT_EQ(saverSettings.countToMonth, c.month);
        EXPECT_EQ(saverSettings.robotColour, c.colour);
        EXPECT_EQ(saverSettings.showCountdown, c.countdown);
    }
}

TEST(SettingsText, ACutNeverSplitsACharacterInTwo) {
    const std::wstring tree = L"abc\U0001F384";  // the last character takes two units
    const struct {
        size_t size;
        std::wstring copied;
    } cases[] = {{6, tree}, {5, L"abc"}, {4, L"abc"}, {2, L"a"}, {1, L""}};
    for (const auto& c : cases) {
        wchar_t out[8];
        std::wmemset(out, L'#', 8);
        CopyText(out, c.size, tree);
        EXPECT_EQ(out, c.copied) << c.size;
    }
}

}  // namespace
