// The movies of make_movies.sh, made once per test run into the folder $QUORVEL_MOVIES names
// (a Unix path; the test runner makes them before the media tests).
#pragma once
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include <gtest/gtest.h>
#include "settings/settings.h"

namespace movie_files {

// The Windows path of the movie folder, with a trailing backslash.
inline const std::string& Folder() {
    static const std::string folder = [] {
        const char* unixPath = std::getenv("QUORVEL_MOVIES");
        EXPECT_NE(unixPath, nullptr) << "QUORVEL_MOVIES names no folder of test movies";
        std::string path = std::string("Z:") + (unixPath != nullptr ? unixPath : "/nowhere") + "/";
        for (char& c : path)
            if (c == '/') c = '\\';
        return path;
    }();
    return folder;
}

// A sub-folder of the movie folder, as a media folder path.
inline std::string Case(const char* name) {
    return Folder() + name + "\\";
}

// Makes `name` the media folder of the settings.
inline void UseMediaFolder(const char* name) {
    std::snprintf(saverSettings.aviPath, sizeof(saverSettings.aviPath), "%s", Case(name).c_str());
}

inline std::vector<unsigned char> ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace movie_files
