#include "textures/media_scan.h"

#include <windows.h>
#include <cstring>
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

}  // namespace

int CountMediaFiles(const char* folder, const char* pattern) {
    int count = 0;
    WalkMatches(folder, pattern, [&count](const WIN32_FIND_DATAA&) {
        ++count;
        return true;
    });
    return count;
}

bool PickRandomMediaFile(const char* folder, char* outName, const char* pattern) {
    const int count = CountMediaFiles(folder, pattern);
    if (count <= 0) return false;
    const int chosen = NextRandom() % count;
    int index = 0;
    bool picked = false;
    WalkMatches(folder, pattern, [&](const WIN32_FIND_DATAA& entry) {
        if (index++ != chosen) return true;
        std::memcpy(outName, entry.cFileName, std::strlen(entry.cFileName) + 1);
        picked = true;
        return false;
    });
    return picked;
}
