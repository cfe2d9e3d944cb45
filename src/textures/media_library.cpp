#include "textures/media_library.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <utility>
#include "host/handles.h"
#include "render/random.h"
#include "textures/file_threads.h"

namespace {

constexpr DWORD FOLDER_ATTRIBUTES_SKIPPED =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_REPARSE_POINT;
// Changes come in bursts (a folder copied in): the tree is listed again once it has been quiet
// this long.
constexpr DWORD QUIET_MS = 1500;
constexpr size_t RANDOM_RANGE = 32768;

bool EndsWithIgnoringCase(std::wstring_view name, std::wstring_view ending) {
    if (name.size() <= ending.size()) return false;
    const std::wstring_view tail = name.substr(name.size() - ending.size());
    return std::equal(tail.begin(), tail.end(), ending.begin(), [](wchar_t a, wchar_t b) {
        return (a >= L'A' && a <= L'Z' ? a - L'A' + L'a' : a) == b;
    });
}

void AddEntry(MediaList& list, std::vector<MediaList::Entry>& to, uint32_t folder,
              std::wstring_view name, int kind) {
    to.push_back({folder, static_cast<uint32_t>(list.names.size()),
                  static_cast<uint16_t>(name.size()), static_cast<uint8_t>(kind)});
    list.names += name;
}

// The library's thread and what it shares with the rest of the program. The thread holds its
// own reference, so that it can be left to finish a slow listing alone.
struct Watch {
    std::wstring root;
    HWND notify = nullptr;
    UINT message = 0;
    std::atomic<bool> stop{false};
    HANDLE stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ~Watch() { CloseHandle(stopEvent); }
};

std::mutex libraryLock;
// Both guarded by libraryLock.
std::shared_ptr<Watch> currentWatch;
std::shared_ptr<const MediaList> latestList;

void Publish(const Watch& watch, MediaList list) {
    {
        const std::lock_guard<std::mutex> hold(libraryLock);
        if (watch.stop) return;
        latestList = std::make_shared<const MediaList>(std::move(list));
    }
    if (watch.notify != nullptr) PostMessageW(watch.notify, watch.message, 0, 0);
}

// Waits for a change to the tree (and for it to settle) or for the time to list it again;
// false once the library stops.
bool AwaitChange(Watch& watch, HANDLE change) {
    const HANDLE handles[] = {watch.stopEvent, change};
    const DWORD count = change != INVALID_HANDLE_VALUE ? 2 : 1;
    DWORD woke = WaitForMultipleObjects(count, handles, FALSE, MEDIA_RELIST_MS);
    while (woke == WAIT_OBJECT_0 + 1) {
        FindNextChangeNotification(change);
        woke = WaitForMultipleObjects(count, handles, FALSE, QUIET_MS);
    }
    return woke != WAIT_OBJECT_0 && !watch.stop;
}

void ListAndWatch(Watch& watch) {
    const HANDLE change =
        FindFirstChangeNotificationW(LongPathForm(watch.root).c_str(), TRUE,
                                     FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME);
    do {
        Publish(watch, ListMediaFolder(watch.root, watch.stop));
    } while (AwaitChange(watch, change));
    if (change != INVALID_HANDLE_VALUE) FindCloseChangeNotification(change);
}

}  // namespace

size_t PickIndex(size_t count) {
    size_t draw = static_cast<size_t>(NextRandom());
    if (count > RANDOM_RANGE) draw = draw * RANDOM_RANGE + static_cast<size_t>(NextRandom());
    return draw % count;
}

std::wstring MediaList::PathOf(const Entry& entry) const {
    return root + folders[entry.folder] + names.substr(entry.nameAt, entry.nameLength);
}

size_t MediaList::Bytes() const {
    size_t bytes = sizeof(*this) + (root.capacity() + names.capacity()) * sizeof(wchar_t) +
                   (pictures.capacity() + movies.capacity()) * sizeof(Entry) +
                   folders.capacity() * sizeof(std::wstring);
    for (const std::wstring& folder : folders) bytes += folder.capacity() * sizeof(wchar_t);
    return bytes;
}

int PictureKindOf(std::wstring_view name) {
    for (size_t kind = 0; kind < PICTURE_EXTENSIONS.size(); ++kind) {
        if (EndsWithIgnoringCase(name, PICTURE_EXTENSIONS[kind])) return static_cast<int>(kind);
    }
    return -1;
}

bool IsMovieName(std::wstring_view name) {
    return EndsWithIgnoringCase(name, MOVIE_EXTENSION);
}

MediaList ListMediaFolder(const std::wstring& root, const std::atomic<bool>& stop) {
    MediaList list;
    list.root = root;
    list.folders.push_back(L"");
    // Depth first, each folder's files before the folders inside it, in the platform's order.
    std::vector<std::pair<uint32_t, int>> pending{{0, 0}};
    std::vector<uint32_t> inside;
    while (!pending.empty() && !stop && list.folders.size() < MEDIA_FOLDER_LIMIT) {
        const auto [folder, depth] = pending.back();
        pending.pop_back();
        const std::wstring search = LongPathForm(root + list.folders[folder] + L"*");
        WIN32_FIND_DATAW entry;
        const HANDLE find = FindFirstFileExW(search.c_str(), FindExInfoBasic, &entry,
                                             FindExSearchNameMatch, nullptr, 0);
        // A drive's empty root holds no entry at all, not even "." and "..".
        if (folder == 0)
            list.reachable = find != INVALID_HANDLE_VALUE || GetLastError() == ERROR_FILE_NOT_FOUND;
        if (find == INVALID_HANDLE_VALUE) continue;
        inside.clear();
        do {
            const std::wstring_view name = entry.cFileName;
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                if (name == L"." || name == L".." || depth >= MEDIA_FOLDER_DEPTH ||
                    (entry.dwFileAttributes & FOLDER_ATTRIBUTES_SKIPPED) != 0) {
                    continue;
                }
                inside.push_back(static_cast<uint32_t>(list.folders.size()));
                list.folders.push_back(list.folders[folder] + std::wstring(name) + L"\\");
            } else if (const int kind = PictureKindOf(name); kind >= 0) {
                AddEntry(list, list.pictures, folder, name, kind);
            } else if (IsMovieName(name)) {
                AddEntry(list, list.movies, folder, name, 0);
            }
        } while (!stop && FindNextFileW(find, &entry));
        FindClose(find);
        for (auto at = inside.rbegin(); at != inside.rend(); ++at)
            pending.push_back({*at, depth + 1});
    }
    std::stable_sort(
        list.pictures.begin(), list.pictures.end(),
        [](const MediaList::Entry& a, const MediaList::Entry& b) { return a.kind < b.kind; });
    list.names.shrink_to_fit();
    list.pictures.shrink_to_fit();
    list.movies.shrink_to_fit();
    return list;
}

void StartMediaLibrary(const std::wstring& root, HWND notify, UINT message) {
    StopMediaLibrary();
    auto watch = std::make_shared<Watch>();
    watch->root = root;
    watch->notify = notify;
    watch->message = message;
    if (!StartFileThread([watch] { ListAndWatch(*watch); })) return;
    const std::lock_guard<std::mutex> hold(libraryLock);
    currentWatch = std::move(watch);
}

void StopMediaLibrary() {
    const std::lock_guard<std::mutex> hold(libraryLock);
    if (currentWatch != nullptr) {
        currentWatch->stop = true;
        SetEvent(currentWatch->stopEvent);
    }
    currentWatch.reset();
    latestList.reset();
}

MediaCounts CountMedia() {
    const std::lock_guard<std::mutex> hold(libraryLock);
    if (latestList == nullptr) return {};
    return {latestList->pictures.size(), latestList->movies.size(), true, latestList->reachable};
}

std::optional<std::wstring> PickMediaFile(MediaKind kind) {
    std::shared_ptr<const MediaList> list;
    {
        const std::lock_guard<std::mutex> hold(libraryLock);
        list = latestList;
    }
    if (list == nullptr) return std::nullopt;
    const std::vector<MediaList::Entry>& entries =
        kind == MediaKind::Picture ? list->pictures : list->movies;
    if (entries.empty()) return std::nullopt;
    return list->PathOf(entries[PickIndex(entries.size())]);
}
