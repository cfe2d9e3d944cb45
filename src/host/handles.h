// Handles released when the function that acquired them returns.
#pragma once
#include <windows.h>
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>

struct DeleteBitmap {
    void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
};
using BitmapHandle = std::unique_ptr<std::remove_pointer_t<HBITMAP>, DeleteBitmap>;

struct DeleteMemoryDC {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
using MemoryDC = std::unique_ptr<std::remove_pointer_t<HDC>, DeleteMemoryDC>;

// A file or file mapping; empty (null) when it could not be opened.
struct CloseFile {
    void operator()(HANDLE file) const { CloseHandle(file); }
};
using FileHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, CloseFile>;

// Paths up to this long are used as they are; longer ones take the long form.
constexpr size_t SHORT_PATH_LIMIT = MAX_PATH - 12;

// `path` in the form the wide file calls take at any length: "\\?\" before a drive path,
// "\\?\UNC\" for a share; paths short enough stay as they are.
inline std::wstring LongPathForm(const std::wstring& path) {
    if (path.size() <= SHORT_PATH_LIMIT || path.starts_with(L"\\\\?\\")) return path;
    // The prefix also turns off the platform's clean-up of the path (forward slashes, doubled
    // separators, "." and ".."), so that is done first.
    std::wstring full(GetFullPathNameW(path.c_str(), 0, nullptr, nullptr), L'\0');
    const DWORD length =
        GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0 || length >= full.size()) return path;
    full.resize(length);
    if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

// `bytes` bytes at `offset` of an open file: a seek and a plain read (under Wine a read with its
// offset given costs far more); false when the file holds fewer.
inline bool ReadAt(HANDLE file, uint64_t offset, void* out, size_t bytes) {
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    DWORD read = 0;
    return bytes <= MAXDWORD && SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
           ReadFile(file, out, static_cast<DWORD>(bytes), &read, nullptr) && read == bytes;
}

// An existing file opened for reading, which others may go on reading and writing.
inline FileHandle OpenFileToRead(const std::wstring& path) {
    HANDLE file =
        CreateFileW(LongPathForm(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return FileHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}
