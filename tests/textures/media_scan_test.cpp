#include <gtest/gtest.h>
#include <windows.h>
#include <map>
#include <string>
#include "render/random.h"
#include "textures/media_scan.h"

namespace {

class ScanFolder : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(sizeof(temp), temp);
        folder_ = std::string(temp) + "quorvel_scan\\";
        CreateDirectoryA(folder_.c_str(), nullptr);
        for (const char* name : FILES)
            CloseHandle(CreateFileA((folder_ + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, 0, nullptr));
        CreateDirectoryA((folder_ + "x.avi").c_str(), nullptr);
    }
    void TearDown() override {
        for (const char* name : FILES) DeleteFileA((folder_ + name).c_str());
        RemoveDirectoryA((folder_ + "x.avi").c_str());
        RemoveDirectoryA(folder_.c_str());
    }
    static constexpr const char* FILES[] = {"a.avi", "B.AVI", "c.avi", "d.bmp"};
    std::string folder_;
};

TEST_F(ScanFolder, CountsEntriesOfAnyCaseAndKindInsideTheFolderOnly) {
    std::string bare = folder_;
    bare.pop_back();
    const std::string overlong = "C:\\" + std::string(255, 'q') + "\\";
    const struct {
        std::string folder;
        const char* pattern;
        int count;
    } cases[] = {{folder_, "*.avi", 4}, {folder_, "*.bmp", 1},
                 {folder_, "*.wav", 0}, {"C:\\no\\such\\folder\\", "*.avi", 0},
                 {bare, "*.avi", 0},    {overlong, "*.avi", 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(CountMediaFiles(c.folder.c_str(), c.pattern), c.count) << c.folder << c.pattern;
        char name[MEDIA_NAME_SIZE] = "unchanged";
        EXPECT_EQ(PickRandomMediaFile(c.folder.c_str(), name, c.pattern), c.count > 0);
        EXPECT_EQ(std::string(name) == "unchanged", c.count == 0);
    }
}

TEST_F(ScanFolder, EveryEntryIsPickedAsOftenAsTheOthers) {
    SeedRandom(12345);
    std::map<std::string, int> counts;
    for (int i = 0; i < 2000; ++i) {
        char name[MEDIA_NAME_SIZE] = "";
        ASSERT_TRUE(PickRandomMediaFile(folder_.c_str(), name, "*.avi"));
        ++counts[name];
    }
    ASSERT_EQ(counts.size(), 4u);
    EXPECT_EQ(counts.count("x.avi"), 1u);
    for (const auto& [name, count] : counts) EXPECT_NEAR(count, 500, 100) << name;
}

}  // namespace
