// Loads good BMP, JPEG, PNG, GIF, TIFF and AVI files and deterministic mutations of them through
// the saver's own loaders, in a child process watched for crashes and hangs, and counts what
// happened.
//
//   qfuzz --movies DIR --work DIR [--mutants N] [--seed S] [--timeout MS]
//       DIR holds the seed movies and the seed pictures of the imaging component's kinds
//       (*.jpg, *.png, *.gif, *.tif). Tries every seed file (each must load, those named
//       refused-* must be refused), then N mutants, and counts the refusals by reason. Files
//       that crash or hang the child stay in DIR for reproduction; the exit code is 0 when none
//       did.
//   qfuzz --load FILE
//       Loads one file in this process and prints what happened.
#include <windows.h>
#include <GL/gl.h>
#include <vfw.h>
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <string_view>
#include <vector>
#include "bmp_seeds.h"
#include "media/avi_structure.h"
#include "media/movie.h"
#include "media/sound.h"
#include "mutate.h"
#include "render/gl_window.h"
#include "settings/settings.h"
#include "textures/bmp_check.h"
#include "textures/media_library.h"
#include "textures/picture_header.h"
#include "textures/texture_loader.h"

namespace {

// Frames decoded per movie, and rounds of sound buffers read: far more than any seed has.
constexpr int FRAME_LIMIT = 64;
constexpr int SOUND_ROUND_LIMIT = 64;
// Seed pictures of many memory pages, so that a read past the end of a cut file faults.
constexpr int SEED_PICTURE_SCALE = 8;

struct Options {
    std::string movies;
    std::string work;
    std::string load;
    uint64_t mutants = 300;
    uint64_t seed = 1;
    DWORD timeoutMs = 20000;
    uint64_t first = 0;  // the child's first file
    bool child = false;
};

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (i + 1 >= argc) return false;
        const char* value = argv[++i];
        if (name == "--movies") {
            options.movies = value;
        } else if (name == "--work") {
            options.work = value;
        } else if (name == "--load") {
            options.load = value;
        } else if (name == "--mutants") {
            options.mutants = std::strtoull(value, nullptr, 0);
        } else if (name == "--seed") {
            options.seed = std::strtoull(value, nullptr, 0);
        } else if (name == "--timeout") {
            options.timeoutMs = static_cast<DWORD>(std::strtoul(value, nullptr, 0));
        } else if (name == "--child") {
            options.child = true;
            options.first = std::strtoull(value, nullptr, 0);
        } else {
            return false;
        }
    }
    return !options.load.empty() || (!options.movies.empty() && !options.work.empty());
}

void Say(const std::string& line) {
    const std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()),
              &written, nullptr);
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The BMP seeds made here (those the platform draws), then the seed movies and pictures of the
// folder in name order.
std::vector<FuzzFile> SeedFiles(const std::string& movies) {
    std::vector<FuzzFile> seeds;
    for (BmpSeed& seed : MakeBmpSeeds(SEED_PICTURE_SCALE)) {
        if (seed.drawn) seeds.push_back({seed.name + ".bmp", seed.bytes, ""});
    }
    std::vector<std::string> names;
    for (const char* pattern : {"*.avi", "*.jpg", "*.png", "*.gif", "*.tif"}) {
        WIN32_FIND_DATAA entry;
        HANDLE search = FindFirstFileA((movies + "\\" + pattern).c_str(), &entry);
        if (search == INVALID_HANDLE_VALUE) continue;
        do names.push_back(entry.cFileName);
        while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names)
        seeds.push_back({name, ReadBytes(movies + "\\" + name), ""});
    return seeds;
}

// --- The child: loads files ------------------------------------------------------------

LONG WINAPI ReportCrash(EXCEPTION_POINTERS* exception) {
    char module[MAX_PATH] = "?";
    HMODULE where = nullptr;
    if (GetModuleHandleExA(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            static_cast<LPCSTR>(exception->ExceptionRecord->ExceptionAddress), &where)) {
        GetModuleFileNameA(where, module, sizeof(module));
    }
    char line[MAX_PATH + 64];
    std::snprintf(line, sizeof(line), "crash %08lx in %s",
                  exception->ExceptionRecord->ExceptionCode, module);
    Say(line);
    return EXCEPTION_EXECUTE_HANDLER;
}

// The saver's own OpenGL window and context, in a hidden parent.
bool MakeGlContext() {
    HWND parent = CreateWindowExA(0, "STATIC", "qfuzz", WS_POPUP, 0, 0, 64, 64, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    return parent != nullptr && CreateRenderWindow(0, 0, 64, 64, parent, DefWindowProcA) != nullptr;
}

// Every frame in order up to the first that fails, then the last one, which the show holds
// once the movie is over.
bool DecodeFrames() {
    const int frames = std::min(moviePlayer.movieFrameCount, FRAME_LIMIT);
    for (int i = 0; i < frames; ++i)
        if (!DecodeMovieFrame(i)) return false;
    return DecodeMovieFrame(moviePlayer.movieFrameCount - 1);
}

// The sound streamer's own path through the sound the saver plays: the device hands every buffer
// straight back (a reset), as if played at once, and the streamer refills it.
bool StreamSound(HWND window) {
    if (!moviePlayer.movieSoundOn) return true;
    if (!StartMovieSound(window, moviePlayer.audioStream, -1, moviePlayer.movieSoundEnd))
        return false;
    for (int round = 0;
         movieSound.soundPlaying && movieSound.buffersQueued > 0 && round < SOUND_ROUND_LIMIT;
         ++round) {
        waveOutReset(movieSound.soundDevice);
        for (WAVEHDR* header : movieSound.soundBuffers) {
            OnSoundBufferDone(window, MM_WOM_DONE, 0, reinterpret_cast<LPARAM>(header));
        }
        for (MSG message; PeekMessageA(&message, window, MM_WOM_DONE, MM_WOM_DONE, PM_REMOVE);) {
        }
    }
    // The streamer stops the sound itself after the last sample.
    const bool whole = !movieSound.soundPlaying;
    StopMovieSound();
    return whole;
}

bool IsMovie(const std::string& name) {
    return name.size() >= 4 && _stricmp(name.c_str() + name.size() - 4, ".avi") == 0;
}

template <typename Check>
std::string Reason(const char* kind, const Check& check) {
    return std::string(kind) + ":" + (check ? "platform" : RefusalName(check.refusal()));
}

// Why a file the loader refused was refused: its check's reason, or "platform" when the check
// passed it and the platform refused it.
std::string Refusal(const std::string& path) {
    const std::wstring wide = std::filesystem::path(path).wstring();
    if (IsMovie(path)) return Reason("avi", CheckMovieFile(wide));
    const std::vector<uint8_t> bytes = ReadBytes(path);
    return PictureKindOf(wide) == PICTURE_BMP ? Reason("bmp", CheckBmp(bytes))
                                              : Reason("picture", ReadPictureHeader(bytes));
}

std::string LoadMovie(const std::string& path) {
    const std::optional<LoadedPicture> movie =
        OpenMovie(std::filesystem::path(path).wstring(), true);
    if (!movie) {
        CloseMovieAndSound();
        return "refused " + Refusal(path);
    }
    glBindTexture(GL_TEXTURE_2D, movie->texture);
    const bool frames = DecodeFrames();
    const bool sound = StreamSound(renderWindow.glWindow);
    CloseMovieAndSound();
    glDeleteTextures(1, &movie->texture);
    return frames && sound ? "loaded" : "partly";
}

std::string LoadPicture(const std::string& path) {
    const std::optional<LoadedPicture> picture =
        LoadPictureFile(std::filesystem::path(path).wstring());
    if (picture) glDeleteTextures(1, &picture->texture);
    return picture ? "loaded" : "refused " + Refusal(path);
}

std::string Load(const std::string& path) {
    return IsMovie(path) ? LoadMovie(path) : LoadPicture(path);
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

int RunChild(const Options& options) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(ReportCrash);
    if (!MakeGlContext()) return 2;
    if (!options.load.empty()) {
        Say("begin 0 " + options.load);
        Say("result 0 " + Load(options.load));
        return 0;
    }
    const std::vector<FuzzFile> seeds = SeedFiles(options.movies);
    for (uint64_t i = options.first; i < seeds.size() + options.mutants; ++i) {
        const FuzzFile file =
            i < seeds.size() ? seeds[i] : MakeMutant(seeds, options.seed, i - seeds.size());
        const std::string path = options.work + "\\" + file.name;
        WriteBytes(path, file.bytes);
        Say("begin " + std::to_string(i) + " " + file.name +
            (file.recipe.empty() ? "" : " (" + file.recipe + ")"));
        Say("result " + std::to_string(i) + " " + Load(path));
    }
    Say("done");
    return 0;
}

// --- The parent: runs children and counts --------------------------------------------

struct Counts {
    unsigned long long tried = 0, refused = 0, loaded = 0, partly = 0, crashed = 0, hung = 0;
};

struct Child {
    PROCESS_INFORMATION process{};
    HANDLE output = nullptr;
    std::string pending;  // output not yet ended by a newline
};

Child StartChild(const std::string& arguments, HANDLE errors) {
    Child child;
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE write = nullptr;
    if (!CreatePipe(&child.output, &write, &inherit, 0)) return child;
    SetHandleInformation(child.output, HANDLE_FLAG_INHERIT, 0);
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof(self));
    std::string line = std::string(self).insert(0, 1, '"') + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = write;
    startup.hStdError = errors;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &child.process)) {
        child.process = {};
    }
    CloseHandle(write);
    return child;
}

void EndChild(Child& child) {
    if (child.process.hProcess != nullptr) {
        TerminateProcess(child.process.hProcess, 1);
        WaitForSingleObject(child.process.hProcess, 5000);
        CloseHandle(child.process.hProcess);
        CloseHandle(child.process.hThread);
    }
    if (child.output != nullptr) CloseHandle(child.output);
    child = Child{};
}

// The next whole line the child wrote, waiting at most until `deadline` (tick count); false
// when the child has ended (or the deadline passed) with no more lines.
enum class Read { Line, Ended, TimedOut };

Read NextLine(Child& child, std::string& line, ULONGLONG deadline) {
    for (;;) {
        const size_t end = child.pending.find('\n');
        if (end != std::string::npos) {
            line = child.pending.substr(0, end);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            child.pending.erase(0, end + 1);
            return Read::Line;
        }
        DWORD available = 0;
        if (!PeekNamedPipe(child.output, nullptr, 0, nullptr, &available, nullptr)) {
            return Read::Ended;
        }
        if (available > 0) {
            std::string bytes(available, '\0');
            DWORD read = 0;
            if (!ReadFile(child.output, bytes.data(), available, &read, nullptr))
                return Read::Ended;
            child.pending.append(bytes, 0, read);
            continue;
        }
        if (WaitForSingleObject(child.process.hProcess, 0) == WAIT_OBJECT_0) {
            // Whatever it wrote before it ended is still in the pipe.
            if (PeekNamedPipe(child.output, nullptr, 0, nullptr, &available, nullptr) &&
                available > 0) {
                continue;
            }
            return Read::Ended;
        }
        if (GetTickCount64() > deadline) return Read::TimedOut;
        Sleep(2);
    }
}

DWORD ExitCode(const Child& child) {
    DWORD code = 0;
    WaitForSingleObject(child.process.hProcess, 5000);
    GetExitCodeProcess(child.process.hProcess, &code);
    return code;
}

std::string CodeText(DWORD code) {
    char text[16];
    std::snprintf(text, sizeof(text), "%08lx", code);
    return text;
}

class Supervisor {
public:
    Supervisor(const Options& options, uint64_t seedCount)
        : options_(options), seedCount_(seedCount) {
        SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
        errors_ = CreateFileA((options.work + "\\child-errors.log").c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    ~Supervisor() { CloseHandle(errors_); }

    // False when a child could not start or ended before trying any file.
    bool Run() {
        const uint64_t total = seedCount_ + options_.mutants;
        for (uint64_t next = 0; next < total;) {
            const uint64_t from = next;
            if (!RunFrom(next)) return false;
            if (next == from) {
                std::fprintf(stderr, "qfuzz: a child ended before trying a file\n");
                return false;
            }
        }
        return true;
    }

    // Pictures, then movies.
    const std::array<Counts, 2>& counts() const { return counts_; }
    const std::map<std::string, unsigned long long>& refusals() const { return refusals_; }
    const std::vector<std::string>& failures() const { return failures_; }
    bool seedsLoaded() const { return seedsLoaded_; }

private:
    // One child from file `next` on; `next` becomes the file after the last one it finished,
    // crashed on or hung on.
    bool RunFrom(uint64_t& next) {
        Child child = StartChild(Arguments() + " --child " + std::to_string(next), errors_);
        if (child.process.hProcess == nullptr) return false;
        std::string current;  // the file begun and not finished, and what was done to it
        std::string recipe;
        std::string crash;
        uint64_t currentIndex = 0;
        ULONGLONG deadline = GetTickCount64() + options_.timeoutMs * 3;
        for (;;) {
            std::string line;
            const Read read = NextLine(child, line, deadline);
            if (read == Read::Line) {
                char word[16] = {};
                unsigned long long index = 0;
                int used = 0;
                if (std::sscanf(line.c_str(), "%15s %llu %n", word, &index, &used) < 1) continue;
                const std::string rest = used > 0 ? line.substr(used) : "";
                if (std::strcmp(word, "begin") == 0) {
                    current = rest.substr(0, rest.find(' '));
                    recipe = rest.substr(current.size());
                    currentIndex = index;
                    deadline = GetTickCount64() + options_.timeoutMs;
                } else if (std::strcmp(word, "result") == 0) {
                    Count(index, current, rest);
                    DeleteFileA((options_.work + "\\" + current).c_str());
                    current.clear();
                    next = index + 1;
                    deadline = GetTickCount64() + options_.timeoutMs;
                } else if (std::strcmp(word, "crash") == 0) {
                    crash = line;
                } else if (std::strcmp(word, "done") == 0) {
                    next = seedCount_ + options_.mutants;
                }
                continue;
            }
            if (current.empty()) {
                EndChild(child);
                return true;
            }
            Counts& counts = counts_[IsMovie(current)];
            ++counts.tried;
            if (read == Read::TimedOut) {
                ++counts.hung;
                EndChild(child);
                Fail(currentIndex, current + recipe, "hung");
            } else {
                ++counts.crashed;
                const std::string why = crash.empty() ? "exit " + CodeText(ExitCode(child)) : crash;
                EndChild(child);
                Fail(currentIndex, current + recipe, "crashed (" + why + ")");
            }
            next = currentIndex + 1;
            return true;
        }
    }

    std::string Arguments() const {
        return "--movies \"" + options_.movies + "\" --work \"" + options_.work + "\" --mutants " +
               std::to_string(options_.mutants) + " --seed " + std::to_string(options_.seed);
    }

    void Count(uint64_t index, const std::string& name, const std::string& result) {
        Counts& counts = counts_[IsMovie(name)];
        ++counts.tried;
        if (result == "loaded") {
            ++counts.loaded;
        } else if (result == "partly") {
            ++counts.partly;
        } else {
            ++counts.refused;
            ++refusals_[result.substr(result.find(' ') + 1)];
        }
        const bool refuse = name.starts_with("refused-");
        if (index < seedCount_ && (refuse ? !result.starts_with("refused") : result != "loaded")) {
            seedsLoaded_ = false;
            failures_.push_back("seed " + name + " was " + result + ", not " +
                                (refuse ? "refused" : "loaded"));
        }
    }

    // A file that crashed or hung the child: kept for reproduction, and tried again alone,
    // since damage done by an earlier file can surface later.
    void Fail(uint64_t index, const std::string& file, const std::string& what) {
        if (index < seedCount_) seedsLoaded_ = false;
        const std::string path = options_.work + "\\" + file.substr(0, file.find(' '));
        Child alone = StartChild("--child 0 --load \"" + path + "\"", errors_);
        std::string line;
        bool finished = false;
        Read read = Read::Line;
        const ULONGLONG deadline = GetTickCount64() + options_.timeoutMs;
        while ((read = NextLine(alone, line, deadline)) == Read::Line) {
            finished = finished || line.rfind("result", 0) == 0;
        }
        EndChild(alone);
        failures_.push_back(file + ": " + what +
                            (finished ? ", not when loaded alone" : ", also alone"));
    }

    const Options& options_;
    uint64_t seedCount_;
    HANDLE errors_ = INVALID_HANDLE_VALUE;
    std::array<Counts, 2> counts_{};
    std::map<std::string, unsigned long long> refusals_;
    std::vector<std::string> failures_;
    bool seedsLoaded_ = true;
};

int RunParent(const Options& options) {
    CreateDirectoryA(options.work.c_str(), nullptr);
    const uint64_t seedCount = SeedFiles(options.movies).size();
    const ULONGLONG start = GetTickCount64();
    Supervisor supervisor(options, seedCount);
    if (!supervisor.Run()) return 2;
    std::printf("qfuzz: %llu seed files and %llu mutants (seed %llu) in %.1f s\n",
                static_cast<unsigned long long>(seedCount),
                static_cast<unsigned long long>(options.mutants),
                static_cast<unsigned long long>(options.seed), (GetTickCount64() - start) / 1000.0);
    Counts all;
    for (int kind = 0; kind < 2; ++kind) {
        const Counts& c = supervisor.counts()[kind];
        std::printf(
            "%-9s files tried %5llu, refused %5llu, loaded %5llu (%llu with a frame or the "
            "sound unreadable), crashed %llu, hung %llu\n",
            kind == 0 ? "pictures:" : "movies:", c.tried, c.refused, c.loaded + c.partly, c.partly,
            c.crashed, c.hung);
        all.crashed += c.crashed;
        all.hung += c.hung;
    }
    std::printf("refused, by reason (\"platform\": the check passed, the platform refused):\n");
    for (const auto& [reason, count] : supervisor.refusals())
        std::printf("  %-28s %5llu\n", reason.c_str(), count);
    for (const std::string& failure : supervisor.failures()) std::printf("  %s\n", failure.c_str());
    return all.crashed == 0 && all.hung == 0 && supervisor.seedsLoaded() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: qfuzz --movies DIR --work DIR [--mutants N] [--seed S] "
                     "[--timeout MS]\n       qfuzz --load FILE\n");
        return 2;
    }
    if (options.child) return RunChild(options);
    if (!options.load.empty()) {
        // Here, not in a child: a crash ends this process as it would the saver.
        SetUnhandledExceptionFilter(ReportCrash);
        if (!MakeGlContext()) return 2;
        std::printf("%s: %s\n", options.load.c_str(), Load(options.load).c_str());
        return 0;
    }
    return RunParent(options);
}
