// The movies of make_movies.sh, made once per test process in a temporary folder.
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

// Wine's process ids are small and repeat between prefixes, so the tick count makes the name
// unique when two test runs share the machine.
inline const std::string& UnixFolder() {
    static const std::string folder = "/tmp/quorvel-media-" +
                                      std::to_string(GetCurrentProcessId()) + "-" +
                                      std::to_string(GetTickCount64());
    return folder;
}

// Runs a Unix command (Wine starts Unix programs like Windows ones, but its process handle
// does not wait for them, so the command leaves its exit code in a file); its exit code.
inline int RunUnix(const std::string& command) {
    const std::string status = UnixFolder() + ".status";
    std::string line = "Z:\\bin\\sh -c \"" + command + "; echo $? >" + status + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return -1;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    const std::string windowsStatus = "Z:" + status;
    for (int waited = 0; waited < 300000; waited += 50) {
        FILE* file = std::fopen(windowsStatus.c_str(), "r");
        int code = -1;
        if (file != nullptr && std::fscanf(file, "%d", &code) == 1) {
            std::fclose(file);
            DeleteFileA(windowsStatus.c_str());
            return code;
        }
        if (file != nullptr) std::fclose(file);
        Sleep(50);
    }
    return -1;
}

inline void RemoveFolder() {
    RunUnix("rm -rf " + UnixFolder());
}

// The Windows path of the movie folder, with a trailing backslash.
inline const std::string& Folder() {
    static const std::string folder = [] {
        std::string script = __FILE__;
        script = script.substr(0, script.find_last_of("/\\") + 1) + "make_movies.sh";
        const int code = RunUnix("bash " + script + " " + UnixFolder());
        std::atexit(RemoveFolder);
        EXPECT_EQ(code, 0) << "making the test movies failed";
        std::string path = "Z:" + UnixFolder() + "\\";
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
    const std::string path = Case(name);
    snprintf(saverSettings.aviPath, sizeof(saverSettings.aviPath), "%s", path.c_str());
}

inline std::vector<unsigned char> ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace movie_files
