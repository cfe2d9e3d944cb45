#include <gtest/gtest.h>
#include <windows.h>
#include <map>
#include <string>
#include <vector>
#include "render/random.h"
#include "textures/media_scan.h"

namespace {

// A folder of movies and BMP files of either case, and a folder named like a movie; then
// pictures of every kind, and names the platform also matches by their short aliases.
TEST(MediaScan, CountsAndPicksEntriesOfAnyCaseAndKindInsideTheFolderOnly) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    const std::string folder = std::string(temp) + "quorvel_scan\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    CreateDirectoryA((folder + "x.avi").c_str(), nullptr);
    std::vector<std::string> made;
    const auto make = [&](std::initializer_list<const char*> names) {
        for (const char* name : names) {
            CloseHandle(CreateFileA((folder + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, 0, nullptr));
            made.push_back(name);
        }
    };
    make({"a.avi", "B.AVI", "c.bmp", "d.BMP", "e.bmp"});
    const struct {
        std::string folder;
        const char* pattern;
        int count;
    } cases[] = {{folder, "*.avi", 3},
                 {folder, "*.bmp", 3},
                 {"C:\\no\\such\\folder\\", "*.avi", 0},
                 {folder.substr(0, folder.size() - 1), "*.avi", 0},
                 {"C:\\" + std::string(255, 'q') + "\\", "*.avi", 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(CountMediaFiles(c.folder.c_str(), c.pattern), c.count) << c.folder << c.pattern;
        char name[MEDIA_NAME_SIZE] = "unchanged";
        EXPECT_EQ(PickRandomMediaFile(c.folder.c_str(), name, c.pattern), c.count > 0);
        EXPECT_EQ(std::string(name) == "unchanged", c.count == 0);
    }

    // With only BMP pictures, the same draws pick the same files as the BMP-only scan did and
    // leave the generator where it left it.
    for (uint32_t seed = 1; seed <= 8; ++seed) {
        char before[MEDIA_NAME_SIZE] = "", now[MEDIA_NAME_SIZE] = "";
        SeedRandom(seed);
        EXPECT_TRUE(PickRandomMediaFile(folder.c_str(), before, "*.bmp"));
        const uint32_t stateBefore = randomState;
        SeedRandom(seed);
        EXPECT_EQ(PickRandomPicture(folder.c_str(), now), PICTURE_BMP);
        EXPECT_STREQ(now, before);
        EXPECT_EQ(randomState, stateBefore);
    }
    // Every kind counts once and is picked alike, each with its kind.
    make({"f.JPG", "g.jpeg", "h.png", "i.gif", "j.tif", "k.TIFF", "l.jpgx", "m.webp"});
    const std::map<std::string, int> kinds{{"c.bmp", 0}, {"d.BMP", 0},  {"e.bmp", 0},
                                           {"f.JPG", 1}, {"g.jpeg", 2}, {"h.png", 3},
                                           {"i.gif", 4}, {"j.tif", 5},  {"k.TIFF", 6}};
    EXPECT_EQ(CountPictureFiles(folder.c_str()), 9);
    SeedRandom(99);
    std::map<std::string, int> picks;
    for (int i = 0; i < 1800; ++i) {
        char name[MEDIA_NAME_SIZE] = "";
        const int kind = PickRandomPicture(folder.c_str(), name);
        EXPECT_TRUE(kinds.contains(name) && kind == kinds.at(name)) << name << " " << kind;
        ++picks[name];
    }
    for (const auto& [name, count] : picks) EXPECT_NEAR(count, 200, 60) << name;
    EXPECT_EQ(picks.size(), 9u);
    for (const std::string& name : made) DeleteFileA((folder + name).c_str());
    RemoveDirectoryA((folder + "x.avi").c_str());
    RemoveDirectoryA(folder.c_str());
}

}  // namespace
