// The media folder's tree as the library lists it, and the picks it makes.
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <set>
#include <string>
#include <vector>
#include "host/handles.h"
#include "media/movie_files.h"
#include "render/random.h"
#include "textures/media_library.h"

namespace {

// A folder of its own under the temporary folder, emptied and removed afterwards.
class LibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        root_ = std::wstring(temp) + L"quorvel_library\\";
        RemoveTree(root_);
        CreateDirectoryW(root_.c_str(), nullptr);
    }
    void TearDown() override {
        StopMediaLibrary();
        RemoveTree(root_);
    }
    // Makes the file (and the folders on its way) under the root.
    std::wstring Make(const std::wstring& relative) {
        const std::wstring path = root_ + relative;
        for (size_t at = root_.size(); (at = path.find(L'\\', at)) != std::wstring::npos; ++at)
            CreateDirectoryW(LongPathForm(path.substr(0, at)).c_str(), nullptr);
        if (path.back() != L'\\') {
            CloseHandle(CreateFileW(LongPathForm(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, 0, nullptr));
        }
        return path;
    }
    static void RemoveTree(const std::wstring& folder) {
        WIN32_FIND_DATAW entry;
        const HANDLE find = FindFirstFileW(LongPathForm(folder + L"*").c_str(), &entry);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = entry.cFileName;
                const std::wstring path = LongPathForm(folder + name);
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (name == L"." || name == L"..") continue;
                if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(folder + name + L"\\");
                else
                    DeleteFileW(path.c_str());
            } while (FindNextFileW(find, &entry));
            FindClose(find);
        }
        RemoveDirectoryW(LongPathForm(folder).c_str());
    }
    static std::set<std::wstring> Paths(const MediaList& list,
                                        const std::vector<MediaList::Entry>& entries) {
        std::set<std::wstring> paths;
        for (const MediaList::Entry& entry : entries) paths.insert(list.PathOf(entry));
        return paths;
    }
    std::wstring root_;
    std::atomic<bool> stop_{false};
};

TEST_F(LibraryTest, TheTreeBelowInAnyScriptWithoutHiddenSystemOrTooDeepFolders) {
    const std::set<std::wstring> pictures{
        Make(L"東京 タワー.jpg"),          Make(L"Москва.png"),       Make(L"2024\\a.BMP"),
        Make(L"2025\\Fête d'été\\b.jpeg"), Make(L"Ελλάδα\\🌍 γη.gif"), Make(L"scan.TIFF"),
    };
    const std::set<std::wstring> movies{Make(L"film.avi"), Make(L"2024\\Кино.AVI")};
    Make(L"x.avi\\");  // a folder named like a movie
    Make(L"notes.txt");
    Make(L"b.bmpx");
    for (const wchar_t* hidden : {L"$RECYCLE.BIN", L"System Volume Information", L"Hidden"}) {
        Make(std::wstring(hidden) + L"\\c.bmp");
        SetFileAttributesW((root_ + hidden).c_str(),
                           FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN |
                               (hidden[0] == L'H' ? 0 : FILE_ATTRIBUTE_SYSTEM));
    }
    // A picture at every level down to past the deepest listed one.
    std::wstring deep;
    std::set<std::wstring> deepPictures;
    for (int level = 1; level <= MEDIA_FOLDER_DEPTH + 2; ++level) {
        deep += L"d\\";
        const std::wstring path = Make(deep + L"p.png");
        if (level <= MEDIA_FOLDER_DEPTH) deepPictures.insert(path);
    }
    const MediaList list = ListMediaFolder(root_, stop_);
    std::set<std::wstring> expected = pictures;
    expected.insert(deepPictures.begin(), deepPictures.end());
    EXPECT_EQ(Paths(list, list.pictures), expected);
    EXPECT_EQ(Paths(list, list.movies), movies);
    // Every BMP comes before every JPEG, and so on.
    EXPECT_TRUE(std::is_sorted(list.pictures.begin(), list.pictures.end(),
                               [](const auto& a, const auto& b) { return a.kind < b.kind; }));
    for (const MediaList::Entry& entry : list.pictures)
        EXPECT_NE(GetFileAttributesW(list.PathOf(entry).c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(LibraryTest, PathsPastTheOldLimitAreListedWholeAndOpen) {
    std::wstring folder;
    while (folder.size() < 300) folder += L"Ferienfotos aus dem Süden\\";
    const std::wstring path = Make(folder + L"strand.jpg");
    const MediaList list = ListMediaFolder(root_, stop_);
    ASSERT_EQ(list.pictures.size(), 1u);
    EXPECT_EQ(list.PathOf(list.pictures[0]), path);
    EXPECT_NE(GetFileAttributesW(LongPathForm(path).c_str()), INVALID_FILE_ATTRIBUTES);
    // A folder typed with forward slashes, a doubled separator or a "..": the same file.
    std::wstring typed = root_ + L"\\x\\..\\" + folder + L"strand.jpg";
    std::ranges::replace(typed, L'\\', L'/');
    EXPECT_NE(GetFileAttributesW(LongPathForm(typed).c_str()), INVALID_FILE_ATTRIBUTES) << typed;
    EXPECT_EQ(LongPathForm(L"\\\\server\\share\\" + folder),
              L"\\\\?\\UNC\\server\\share\\" + folder);
    EXPECT_EQ(LongPathForm(L"C:\\short\\a.jpg"), L"C:\\short\\a.jpg");
}

TEST_F(LibraryTest, AFlatFolderOfBmpFilesIsPickedAsTheFolderSearchOrdersIt) {
    for (const wchar_t* name : {L"q.bmp", L"B.BMP", L"a.bmp", L"zz.bmp", L"m.bmp", L"é.bmp"})
        Make(name);
    std::vector<std::wstring> searched;
    WIN32_FIND_DATAW entry;
    const HANDLE find = FindFirstFileW((root_ + L"*.bmp").c_str(), &entry);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    do searched.push_back(root_ + entry.cFileName);
    while (FindNextFileW(find, &entry));
    FindClose(find);
    StartMediaLibrary(root_);
    for (int i = 0; i < 500 && !CountMedia().listed; ++i) Sleep(10);
    ASSERT_EQ(CountMedia().pictures, searched.size());
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        SeedRandom(seed);
        const std::wstring expected = searched[NextRandom() % searched.size()];
        const uint32_t after = randomState;
        SeedRandom(seed);
        EXPECT_EQ(PickMediaFile(MediaKind::Picture), expected);
        EXPECT_EQ(randomState, after) << "one draw per pick";
    }
    EXPECT_EQ(PickMediaFile(MediaKind::Movie), std::nullopt);
}

TEST_F(LibraryTest, AFolderThatCannotBeListedIsToldFromAnEmptyOne) {
    const std::wstring gone = root_ + L"gone\\";
    EXPECT_TRUE(ListMediaFolder(root_, stop_).reachable);
    EXPECT_FALSE(ListMediaFolder(gone, stop_).reachable);
    for (const std::wstring& folder : {gone, root_}) {
        StartMediaLibrary(folder);
        for (int i = 0; i < 500 && !CountMedia().listed; ++i) Sleep(10);
        EXPECT_EQ(CountMedia().reachable, folder == root_);
    }
}

// Each quarter of a large listing about as often, the last included.
TEST(MediaPicks, EveryFileOfALargeListingCanBePicked) {
    SeedRandom(5);
    std::vector<int> hits(4, 0);
    for (int i = 0; i < 40000; ++i) ++hits[PickIndex(40000) * 4 / 40000];
    for (int quarter : hits) EXPECT_NEAR(quarter, 10000, 600);
}

TEST_F(LibraryTest, TheLibraryListsOnItsOwnAndNoticesChanges) {
    Make(L"2024\\a.jpg");
    const HWND window =
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    constexpr UINT LISTED = WM_APP + 7;
    StartMediaLibrary(root_, window, LISTED);
    const auto awaitListing = [&] {
        MSG message;
        for (int i = 0; i < 1000; ++i) {
            if (PeekMessageW(&message, window, LISTED, LISTED, PM_REMOVE)) return true;
            Sleep(10);
        }
        return false;
    };
    ASSERT_TRUE(awaitListing());
    EXPECT_EQ(CountMedia().pictures, 1u);
    Make(L"2025\\Sommer\\b.png");
    Make(L"2025\\c.avi");
    ASSERT_TRUE(awaitListing()) << "a file added below is noticed";
    EXPECT_EQ(CountMedia().pictures, 2u);
    EXPECT_EQ(CountMedia().movies, 1u);
    StopMediaLibrary();
    EXPECT_FALSE(CountMedia().listed);
    EXPECT_EQ(PickMediaFile(MediaKind::Picture), std::nullopt);
    DestroyWindow(window);
}

// Links that lead back up the tree (made by the movies fixture as Unix links, which the
// platform shows as links) are not followed.
TEST(MediaLinks, ALoopOfLinksIsNotFollowed) {
    const std::string links = movie_files::Case("links");
    const std::wstring root(links.begin(), links.end());
    const std::atomic<bool> stop{false};
    const MediaList list = ListMediaFolder(root, stop);
    ASSERT_EQ(list.movies.size(), 1u);
    EXPECT_EQ(list.PathOf(list.movies[0]), root + L"a\\m.avi");
}

}  // namespace
