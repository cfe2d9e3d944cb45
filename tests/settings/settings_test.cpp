#include <gtest/gtest.h>
#include <windows.h>
#include <cstring>
#include <map>
#include <string>
#include "settings/settings.h"
#include "support/registry_fixture.h"
#include "textures/media_scan.h"

namespace {

std::string CurrentDirectory() {
    char path[MAX_PATH];
    GetCurrentDirectoryA(sizeof(path), path);
    return path;
}

// A scratch folder of the test's own, removed with its contents at the end.
class MediaFolder {
public:
    explicit MediaFolder(const char* name) {
        char temp[MAX_PATH];
        GetTempPathA(sizeof(temp), temp);
        path_ = std::string(temp) + name + "\\";
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~MediaFolder() {
        for (const std::string& file : files_) DeleteFileA(file.c_str());
        for (const std::string& folder : folders_) RemoveDirectoryA(folder.c_str());
        RemoveDirectoryA(path_.c_str());
    }
    void AddFile(const std::string& name) {
        files_.push_back(path_ + name);
        HANDLE file = CreateFileA(files_.back().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  0, nullptr);
        CloseHandle(file);
    }
    void AddFolder(const std::string& name) {
        folders_.push_back(path_ + name);
        CreateDirectoryA(folders_.back().c_str(), nullptr);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::vector<std::string> files_;
    std::vector<std::string> folders_;
};

class SettingsTest : public RegistryTest {
protected:
    void SetUp() override {
        RegistryTest::SetUp();
        GetCurrentDirectoryA(sizeof(startDirectory_), startDirectory_);
        saverSettings = SaverSettings{};
    }
    void TearDown() override {
        SetCurrentDirectoryA(startDirectory_);
        RegistryTest::TearDown();
    }
    void Store(const char* name, DWORD value) {
        HKEY key;
        RegCreateKeyExA(HKEY_CURRENT_USER, SETTINGS_KEY, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr);
        RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), sizeof(value));
        RegCloseKey(key);
    }
    void StoreBytes(const char* name, const std::string& bytes) {
        HKEY key;
        RegCreateKeyExA(HKEY_CURRENT_USER, SETTINGS_KEY, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr);
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(bytes.data()),
                       static_cast<DWORD>(bytes.size()));
        RegCloseKey(key);
    }
    char startDirectory_[MAX_PATH]{};
};

TEST_F(SettingsTest, FirstRunGivesTheDefaults) {
    const std::string start = CurrentDirectory();
    ASSERT_TRUE(LoadSettings());
    const SaverSettings& s = saverSettings;
    EXPECT_TRUE(s.showCountdown);
    EXPECT_FALSE(s.playAvis);
    EXPECT_FALSE(s.showExternalBmps);
    EXPECT_TRUE(s.playAviSound);
    EXPECT_FALSE(s.onlyExternalPics);
    EXPECT_EQ(s.countToYear, 2002);
    EXPECT_EQ(s.countToMonth, 4);
    EXPECT_EQ(s.countToDay, 16);
    EXPECT_STREQ(s.countMessage, "The Saga Continues In");
    EXPECT_EQ(std::string(s.aviPath), start);
    EXPECT_EQ(s.robotColour, 0);
}

TEST_F(SettingsTest, SaveThenLoadGivesBackEveryField) {
    MediaFolder folder("quorvel_roundtrip");
    folder.AddFile("a.avi");
    folder.AddFile("b.bmp");
    SaverSettings& s = saverSettings;
    s.showCountdown = false;
    s.playAvis = true;
    s.playAviSound = false;
    s.onlyExternalPics = true;
    s.countToYear = 2031;
    s.countToMonth = 11;
    s.countToDay = 31;
    std::strcpy(s.countMessage, "Launch window opens in");
    std::strcpy(s.aviPath, folder.path().c_str());
    s.robotColour = 5;
    ASSERT_TRUE(SaveSettings());
    saverSettings = SaverSettings{};
    LoadSettings();
    EXPECT_FALSE(s.showCountdown);
    EXPECT_TRUE(s.playAvis);
    EXPECT_TRUE(s.showExternalBmps);
    EXPECT_FALSE(s.playAviSound);
    EXPECT_TRUE(s.onlyExternalPics);
    EXPECT_EQ(s.countToYear, 2031);
    EXPECT_EQ(s.countToMonth, 11);
    EXPECT_EQ(s.countToDay, 31);
    EXPECT_STREQ(s.countMessage, "Launch window opens in");
    EXPECT_EQ(std::string(s.aviPath), folder.path());
    EXPECT_EQ(s.robotColour, 5);
    EXPECT_EQ(CurrentDirectory() + "\\", folder.path());
}

TEST_F(SettingsTest, SavedValuesHaveTheirNamesAndTypes) {
    ASSERT_TRUE(SaveSettings());
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, SETTINGS_KEY, 0, KEY_READ, &key), ERROR_SUCCESS);
    std::map<std::string, DWORD> types;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof(name);
        DWORD type = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        types[name] = type;
    }
    RegCloseKey(key);
    const std::map<std::string, DWORD> expected{
        {"Show Countdown", REG_DWORD}, {"Play AVIs", REG_DWORD},
        {"Play AVI Sound", REG_DWORD}, {"Only Show External Pics", REG_DWORD},
        {"CountToYear", REG_DWORD},    {"CountToMonth", REG_DWORD},
        {"CountToDay", REG_DWORD},     {"CountMessage", REG_SZ},
        {"AVI Path", REG_SZ},          {"Mekan Colour", REG_DWORD}};
    EXPECT_EQ(types, expected);
}

TEST_F(SettingsTest, MediaFlagsFollowWhatTheFolderHolds) {
    MediaFolder pictures("quorvel_pictures");
    pictures.AddFile("one.bmp");
    Store("Play AVIs", 1);
    StoreBytes("AVI Path", pictures.path() + std::string(1, '\0'));
    LoadSettings();
    EXPECT_FALSE(saverSettings.playAvis);
    EXPECT_TRUE(saverSettings.showExternalBmps);

    MediaFolder movies("quorvel_movies");
    movies.AddFile("one.avi");
    StoreBytes("AVI Path", movies.path() + std::string(1, '\0'));
    LoadSettings();
    EXPECT_TRUE(saverSettings.playAvis);
    EXPECT_FALSE(saverSettings.showExternalBmps);
}

TEST_F(SettingsTest, MissingFolderFallsBackToTheCurrentDirectory) {
    const std::string start = CurrentDirectory();
    Store("Play AVIs", 1);
    StoreBytes("AVI Path", std::string("C:\\no\\such\\folder\\*") + '\0');
    LoadSettings();
    EXPECT_EQ(std::string(saverSettings.aviPath), start);
    EXPECT_FALSE(saverSettings.playAvis);
    EXPECT_FALSE(saverSettings.showExternalBmps);
}

TEST_F(SettingsTest, FolderWithoutTrailingBackslashCountsNothingInside) {
    MediaFolder folder("quorvel_slash");
    folder.AddFile("x.avi");
    std::string path = folder.path();
    path.pop_back();
    EXPECT_EQ(CountMediaFiles(path.c_str(), "*.avi"), 0);
    EXPECT_EQ(CountMediaFiles(folder.path().c_str(), "*.avi"), 1);
}

TEST_F(SettingsTest, CountMessageLengths) {
    StoreBytes("CountMessage", std::string(300, 'x') + '\0');
    LoadSettings();
    EXPECT_STREQ(saverSettings.countMessage, "The Saga Continues In");

    StoreBytes("CountMessage", std::string(100, 'y') + '\0');
    LoadSettings();
    EXPECT_EQ(std::string(saverSettings.countMessage), std::string(79, 'y'));

    StoreBytes("CountMessage", "unterminated");
    LoadSettings();
    EXPECT_STREQ(saverSettings.countMessage, "unterminated");
}

TEST_F(SettingsTest, ValuesAreTakenWithoutRangeChecks) {
    Store("Mekan Colour", 99);
    Store("CountToMonth", 0xFFFFFFFF);
    LoadSettings();
    EXPECT_EQ(saverSettings.robotColour, 99);
    EXPECT_EQ(saverSettings.countToMonth, -1);
}

TEST_F(SettingsTest, DwordReadsFallBackOnTooLongData) {
    StoreBytes("Show Countdown", "12345678");
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, SETTINGS_KEY, 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(ReadDwordValue(key, "Show Countdown", 77), 77u);
    EXPECT_EQ(ReadDwordValue(key, "Absent", 5), 5u);
    EXPECT_EQ(ReadDwordValue(nullptr, "Show Countdown", 6), 6u);
    RegCloseKey(key);
}

}  // namespace
