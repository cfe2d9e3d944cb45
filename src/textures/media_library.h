// The pictures and movies of the media folder and of every folder below it: listed on a thread
// of its own, kept in memory and listed again when the tree changes, so that a pick is a lookup.
#pragma once
#include <windows.h>
#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>
#include "textures/picture_header.h"

constexpr std::wstring_view MOVIE_EXTENSION = L".avi";
// Folders below the media folder are listed this many levels deep.
constexpr int MEDIA_FOLDER_DEPTH = 32;
// At most this many folders are listed: a share that shows links as plain folders can make a
// loop of them.
constexpr size_t MEDIA_FOLDER_LIMIT = 100000;
// A tree that does not say when it changes (a share, say) is listed again this often.
constexpr DWORD MEDIA_RELIST_MS = 10 * 60 * 1000;

enum class MediaKind { Picture, Movie };

// One listing of a media folder, compact: a file is its folder's number and its name's place
// in one block of names.
struct MediaList {
    struct Entry {
        uint32_t folder;
        uint32_t nameAt;
        uint16_t nameLength;
        uint8_t kind;
    };
    // The media folder as given, ending with a separator.
    std::wstring root;
    // Each folder below it, relative to it and ending with a separator; "" for itself.
    std::vector<std::wstring> folders;
    std::wstring names;
    std::vector<Entry> pictures;
    std::vector<Entry> movies;
    // Whether the media folder itself could be listed (an empty folder can; a missing one, an
    // unplugged drive or an offline share cannot).
    bool reachable = false;

    std::wstring PathOf(const Entry& entry) const;
    // What the list holds, in bytes.
    size_t Bytes() const;
};

struct MediaCounts {
    size_t pictures = 0;
    size_t movies = 0;
    // False until the first listing of the folder is complete.
    bool listed = false;
    // What that listing found of the folder itself (see MediaList::reachable).
    bool reachable = false;
};

// The kind of picture a name ends with (its index in PICTURE_EXTENSIONS), or -1.
int PictureKindOf(std::wstring_view name);
bool IsMovieName(std::wstring_view name);
// Lists `root` (ending with a separator) and the folders below it, skipping hidden and system
// folders and never entering a link or junction; gives up (with what it has) once `stop` is set.
MediaList ListMediaFolder(const std::wstring& root, const std::atomic<bool>& stop);

// Starts listing `root` on the library's thread, forgetting any folder listed before; `notify`,
// when given, is posted `message` after each complete listing. Returns at once.
void StartMediaLibrary(const std::wstring& root, HWND notify = nullptr, UINT message = 0);
// Stops listing and watching, without waiting for a listing under way.
void StopMediaLibrary();
MediaCounts CountMedia();
// An index below `count`, uniformly, from one draw of the shared generator (a draw has 15 bits:
// two draws above 32,768).
size_t PickIndex(size_t count);
// One file of the kind from the latest listing, uniformly, with one draw of the shared
// generator (see PickIndex): its full path. Nothing, and no draw, when the
// listing holds none.
std::optional<std::wstring> PickMediaFile(MediaKind kind);
