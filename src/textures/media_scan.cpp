#include "textures/media_scan.h"

#include <windows.h>
#include <cstring>
#include <string_view>
#include "render/random.h"

namespace {

// Folder and pattern joined; false when they do not fit the 259 characters a search takes.
bool JoinSearchText(const char* folder, const char* pattern, char (&out)[MEDIA_NAME_SIZE]) {
    const size_t folderLength = std::strlen(folder);
    const size_t patternLength = std::strlen(pattern);
    if (folderLength + patternLength >= MEDIA_NAME_SIZE) return false;
    std::memcpy(out, folder, folderLength);
    std::memcpy(out + folderLength, pattern, patternLength + 1);
    return true;
}

// Walks the matches in the platform's order; visit returns false to stop early.
template <typename Visit>
void WalkMatches(const char* folder, const char* pattern, Visit visit) {
    char search[MEDIA_NAME_SIZE];
    if (!JoinSearchText(folder, pattern, search)) return;
    WIN32_FIND_DATAA entry;
    HANDLE handle = FindFirstFileA(search, &entry);
    if (handle == INVALID_HANDLE_VALUE) return;
    do {
        if (!visit(entry)) break;
    } while (FindNextFileA(handle, &entry));
    FindClose(handle);
}

// Every picture match of every kind, in kind order; visit(kind, entry) returns false to stop.
template <typename Visit>
void WalkPictures(const char* folder, Visit visit) {
    bool going = true;
    for (int kind = 0; going && kind < static_cast<int>(PICTURE_PATTERNS.size()); ++kind) {
        const char* pattern = PICTURE_PATTERNS[kind];
        const std::string_view extension = std::string_view(pattern).substr(1);
        WalkMatches(folder, pattern, [&](const WIN32_FIND_DATAA& entry) {
            if (kind != PICTURE_BMP && !EndsWithIgnoringCase(entry.cFileName, extension)) {
                return true;
            }
            going = visit(kind, entry);
            return going;
        });
    }
}

// One match of a walk, uniformly, with one draw: match number (draw % count) in walk order.
// The walk takes visit(kind, entry); the chosen match's kind, or -1 when the walk ends first.
template <typename Walk>
int PickFromWalk(int count, char* outName, Walk walk) {
    if (count <= 0) return -1;
    const int chosen = NextRandom() % count;
    int index = 0;
    int pickedKind = -1;
    walk([&](int kind, const WIN32_FIND_DATAA& entry) {
        if (index++ != chosen) return true;
        std::memcpy(outName, entry.cFileName, std::strlen(entry.cFileName) + 1);
        pickedKind = kind;
        return false;
    });
    return pickedKind;
}

}  // namespace

bool EndsWithIgnoringCase(std::string_view name, std::string_view ending) {
    if (name.size() < ending.size()) return false;
    const std::string_view tail = name.substr(name.size() - ending.size());
    for (size_t i = 0; i < tail.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(tail[i]) != lower(ending[i])) return false;
    }
    return true;
}

int CountMediaFiles(const char* folder, const char* pattern) {
    int count = 0;
    WalkMatches(folder, pattern, [&count](const WIN32_FIND_DATAA&) {
        ++count;
        return true;
    });
    return count;
}

bool PickRandomMediaFile(const char* folder, char* outName, const char* pattern) {
    return PickFromWalk(CountMediaFiles(folder, pattern), outName, [&](auto visit) {
               WalkMatches(folder, pattern,
                           [&](const WIN32_FIND_DATAA& entry) { return visit(0, entry); });
           }) == 0;
}

int CountPictureFiles(const char* folder) {
    int count = 0;
    WalkPictures(folder, [&count](int, const WIN32_FIND_DATAA&) {
        ++count;
        return true;
    });
    return count;
}

int PickRandomPicture(const char* folder, char* outName) {
    return PickFromWalk(CountPictureFiles(folder), outName,
                        [&](auto visit) { WalkPictures(folder, visit); });
}
