#include <gtest/gtest.h>
#include <windows.h>
#include <cwchar>
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
// Text in the ANSI code page, as earlier versions stored it; every character must be in it.
std::string AnsiText(const std::wstring& text) {
    char bytes[512];
    BOOL lost = FALSE;
    const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(), -1, bytes,
                                           sizeof(bytes), nullptr, &lost);
    EXPECT_FALSE(lost) << "code page " << GetACP();
    return std::string(bytes, length);
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

// The names, types and data as the registry shows them: the dialog's script.
TEST_F(Settings, SavedValuesAreOnePerKeptFieldAndLoadBack) {
    SaverSettings& s = saverSettings;
    int row = 0;
    ForEachStoredSetting([&](const auto& setting) { Change(s.*setting.field, ++row); });
    std::wcscpy(s.aviPath, L"C:\\Фото\\東京 2024\\Fête d'été\\");
    ASSERT_TRUE(SaveSettings());
    HKEY key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, SETTINGS_KEY_WIDE.data(), 0, KEY_READ, &key),
              ERROR_SUCCESS);
    DWORD values = 0;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                     nullptr, nullptr, nullptr);
    RegCloseKey(key);
    EXPECT_EQ(values, std::tuple_size_v<decltype(STORED_SETTINGS)>);

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
