#include <gtest/gtest.h>
#include <windows.h>
#include <cstdio>
#include <cstring>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>
#include "settings/settings.h"
#include "support/registry_fixture.h"

namespace {

std::string CurrentDirectory() {
    char path[MAX_PATH];
    GetCurrentDirectoryA(sizeof(path), path);
    return path;
}

// A scratch folder of the test's own (the temporary folder itself for "") holding empty files
// of the given names.
std::string MakeFolder(const std::string& name, const std::vector<std::string>& files) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    const std::string path = temp + (name.empty() ? name : name + "\\");
    CreateDirectoryA(path.c_str(), nullptr);
    for (const std::string& file : files)
        CloseHandle(CreateFileA((path + file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                                nullptr));
    return path;
}

std::string Dword(DWORD value) {
    return std::string(reinterpret_cast<char*>(&value), 4);
}
std::string Text(const std::string& text) {
    return text + '\0';
}

// How the registry should keep a field: text as REG_SZ, numbers and flags as REG_DWORD.
template <typename Field>
std::pair<DWORD, std::string> Stored(const Field& value) {
    if constexpr (std::is_array_v<Field>)
        return {REG_SZ, Text(value)};
    else
        return {REG_DWORD, Dword(static_cast<DWORD>(value))};
}

// A value unlike the default and unlike the other rows' values.
template <typename Field>
void Change(Field& value, int row) {
    if constexpr (std::is_array_v<Field>)
        std::snprintf(value, sizeof(value), "row %d", row);
    else if constexpr (std::is_same_v<Field, bool>)
        value = !value;
    else
        value += 100 * row;
}

// Every kept field by its value name, and the derived showExternalBmps.
std::vector<std::string> Fields(const SaverSettings& s) {
    std::vector<std::string> fields{"showExternalBmps " + std::to_string(s.showExternalBmps)};
    ForEachStoredSetting([&](const auto& row) {
        std::ostringstream field;
        field << row.name << " " << s.*row.field;
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
        SetCurrentDirectoryA(start_.c_str());
        RegistryTest::TearDown();
    }
    static void Store(const char* name, DWORD type, const std::string& data) {
        HKEY key;
        RegCreateKeyExA(HKEY_CURRENT_USER, SETTINGS_KEY, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr);
        RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                       static_cast<DWORD>(data.size()));
        RegCloseKey(key);
    }
    std::string start_;
};

TEST_F(Settings, AFirstRunGivesTheDefaultsAndTheStartFolder) {
    // Whatever the record held before.
    int row = 0;
    ForEachStoredSetting([&](const auto& setting) { Change(saverSettings.*setting.field, ++row); });
    LoadSettings();
    SaverSettings expected;
    std::strcpy(expected.aviPath, start_.c_str());
    EXPECT_EQ(Fields(saverSettings), Fields(expected));
}

TEST_F(Settings, SavedValuesHaveTheirNamesTypesAndDataAndLoadBack) {
    const std::string folder = MakeFolder("quorvel_roundtrip", {"a.avi", "b.bmp"});
    SaverSettings& s = saverSettings;
    int row = 0;
    ForEachStoredSetting([&](const auto& setting) { Change(s.*setting.field, ++row); });
    std::strcpy(s.aviPath, folder.c_str());
    ASSERT_TRUE(SaveSettings());
    std::set<std::tuple<std::string, DWORD, std::string>> expected;
    ForEachStoredSetting([&](const auto& setting) {
        const auto [type, data] = Stored(s.*setting.field);
        expected.emplace(setting.name, type, data);
    });
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, SETTINGS_KEY, 0, KEY_READ, &key), ERROR_SUCCESS);
    std::set<std::tuple<std::string, DWORD, std::string>> stored;
    char name[256];
    BYTE data[512];
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof(name), type = 0, size = sizeof(data);
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &size) != ERROR_SUCCESS)
            break;
        stored.emplace(name, type, std::string(reinterpret_cast<char*>(data), size));
    }
    RegCloseKey(key);
    EXPECT_EQ(stored, expected);

    // "Play AVIs" now also stands for the folder's picture.
    s.showExternalBmps = s.playAvis;
    const auto saved = Fields(s);
    s = SaverSettings{};
    LoadSettings();
    EXPECT_EQ(Fields(s), saved);
    EXPECT_EQ(CurrentDirectory() + "\\", folder);
}

TEST_F(Settings, TheMediaFlagsFollowWhatTheFolderHolds) {
    const struct {
        const char* folder;
        std::vector<std::string> files;
        bool playAvis, externalBmps;
    } cases[] = {{"quorvel_pictures", {"one.bmp"}, false, true},
                 {"quorvel_movies", {"one.avi"}, true, false},
                 {"quorvel_both", {"one.avi", "two.bmp"}, true, true},
                 {"quorvel_neither", {"one.txt"}, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        const std::string folder = MakeFolder(c.folder, c.files);
        Store("Play AVIs", REG_DWORD, Dword(1));
        Store("AVI Path", REG_SZ, Text(folder));
        LoadSettings();
        EXPECT_EQ(saverSettings.playAvis, c.playAvis);
        EXPECT_EQ(saverSettings.showExternalBmps, c.externalBmps);
        EXPECT_EQ(saverSettings.aviPath, folder);
        EXPECT_EQ(CurrentDirectory() + "\\", folder);
        EXPECT_TRUE(storedMediaFolder.reachable);
    }
    // A folder that cannot be entered, though its name with the patterns appended matches files
    // beside it: the current directory instead, nothing from it.
    const std::string gone =
        MakeFolder("", {"quorvel_gone.avi", "quorvel_gone.bmp"}) + "quorvel_gone";
    Store("AVI Path", REG_SZ, Text(gone));
    SetCurrentDirectoryA(start_.c_str());
    LoadSettings();
    EXPECT_EQ(saverSettings.aviPath, start_);
    EXPECT_FALSE(saverSettings.playAvis || saverSettings.showExternalBmps);
    EXPECT_FALSE(storedMediaFolder.reachable);
    EXPECT_EQ(storedMediaFolder.path, gone);
    EXPECT_TRUE(storedMediaFolder.playAvis);
}

TEST_F(Settings, StoredDataIsTakenAsItComes) {
    const struct {
        const char* name;
        DWORD type;
        std::string data;
        std::string message;  // countMessage after the load
        int month, colour;
        bool countdown;
    } cases[] = {
        {"CountMessage", REG_SZ, Text(std::string(259, 'x')), "The Saga Continues In", 4, 0, true},
        {"CountMessage", REG_SZ, Text(std::string(100, 'y')), std::string(79, 'y'), 4, 0, true},
        {"CountMessage", REG_SZ, "unterminated", "unterminated", 4, 0, true},
        {"CountToMonth", REG_DWORD, Dword(0xFFFFFFFF), "The Saga Continues In", -1, 0, true},
        {"Mekan Colour", REG_DWORD, Dword(99), "The Saga Continues In", 4, 99, true},
        {"Show Countdown", REG_DWORD, Dword(7), "The Saga Continues In", 4, 0, true},
        {"Show Countdown", REG_SZ, "", "The Saga Continues In", 4, 0, false},
        {"Show Countdown", REG_BINARY, "12345678", "The Saga Continues In", 4, 0, true},
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

}  // namespace
