#include <gtest/gtest.h>
#include <windows.h>
#include <array>
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
        for (const char* name : {"a.avi", "B.AVI", "c.avi", "d.bmp"}) Touch(name);
        CreateDirectoryA((folder_ + "x.avi").c_str(), nullptr);
    }
    void TearDown() override {
        for (const char* name : {"a.avi", "B.AVI", "c.avi", "d.bmp"}) {
            DeleteFileA((folder_ + name).c_str());
        }
        RemoveDirectoryA((folder_ + "x.avi").c_str());
        RemoveDirectoryA(folder_.c_str());
    }
    void Touch(const char* name) {
        CloseHandle(CreateFileA((folder_ + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                0, nullptr));
    }
    std::string folder_;
};

TEST_F(ScanFolder, CountsMatchesOfAnyCaseAndFolders) {
    EXPECT_EQ(CountMediaFiles(folder_.c_str(), "*.avi"), 4);
    EXPECT_EQ(CountMediaFiles(folder_.c_str(), "*.bmp"), 1);
    EXPECT_EQ(CountMediaFiles(folder_.c_str(), "*.wav"), 0);
    EXPECT_EQ(CountMediaFiles("C:\\no\\such\\folder\\", "*.avi"), 0);
}

TEST_F(ScanFolder, PicksAreUniform) {
    SeedRandom(12345);
    std::map<std::string, int> counts;
    constexpr int draws = 4000;
    for (int i = 0; i < draws; ++i) {
        char name[MEDIA_NAME_SIZE] = "";
        ASSERT_TRUE(PickRandomMediaFile(folder_.c_str(), name, "*.avi"));
        ++counts[name];
    }
    ASSERT_EQ(counts.size(), 4u);
    EXPECT_EQ(counts.count("x.avi"), 1u);
    for (const auto& [name, count] : counts) {
        EXPECT_NEAR(count, draws / 4, draws / 4 * 0.15) << name;
    }
}

TEST_F(ScanFolder, NoMatchLeavesTheNameAlone) {
    char name[MEDIA_NAME_SIZE] = "unchanged";
    EXPECT_FALSE(PickRandomMediaFile(folder_.c_str(), name, "*.wav"));
    EXPECT_STREQ(name, "unchanged");
}

TEST(MediaScan, OverlongFolderCountsNothingAndPicksNothing) {
    const std::string folder = "C:\\" + std::string(255, 'q') + "\\";
    char name[MEDIA_NAME_SIZE] = "unchanged";
    EXPECT_EQ(CountMediaFiles(folder.c_str(), "*.avi"), 0);
    EXPECT_FALSE(PickRandomMediaFile(folder.c_str(), name, "*.avi"));
    EXPECT_STREQ(name, "unchanged");
}

}  // namespace
