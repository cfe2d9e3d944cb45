// Renders chosen frames of the saver's scene to BMP files: the saver's own creation path,
// a given random seed instead of the clock, and given frame times instead of the counter.
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>
#include "host/command_line.h"
#include "host/saver_window.h"
#include "offscreen_window.h"
#include "render/gl_window.h"
#include "render/scene.h"
#include "settings/settings.h"
#include "show/animation.h"
#include "show/director.h"

namespace {

struct Options {
    uint32_t seed = 1;
    int width = 800;
    int height = 600;
    double fps = 30.0;
    std::vector<double> times;
    std::string out = ".";
    bool preview = false;
    int item = -1;
    int scheme = -1;
    double yaw = 0.0;
    bool yawGiven = false;
};

std::vector<double> ParseTimes(const std::string& text) {
    std::vector<double> times;
    std::stringstream stream(text);
    std::string part;
    while (std::getline(stream, part, ',')) times.push_back(std::atof(part.c_str()));
    std::sort(times.begin(), times.end());
    return times;
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "--preview") {
            options.preview = true;
            continue;
        }
        if (i + 1 >= argc) return false;
        const char* value = argv[++i];
        if (name == "--seed") {
            options.seed = static_cast<uint32_t>(std::strtoul(value, nullptr, 0));
        } else if (name == "--size") {
            if (std::sscanf(value, "%dx%d", &options.width, &options.height) != 2) return false;
        } else if (name == "--fps") {
            options.fps = std::atof(value);
        } else if (name == "--times") {
            options.times = ParseTimes(value);
        } else if (name == "--out") {
            options.out = value;
        } else if (name == "--item") {
            options.item = std::atoi(value);
        } else if (name == "--scheme") {
            options.scheme = std::atoi(value);
        } else if (name == "--yaw") {
            options.yaw = std::atof(value);
            options.yawGiven = true;
        } else {
            return false;
        }
    }
    return !options.times.empty() && options.fps > 0.0;
}

LRESULT CALLBACK QuietSceneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        ValidateRect(window, nullptr);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The tool draws the frames itself: the scene window's own paint loop is stopped.
void StopPaintLoop() {
    KillTimer(renderWindow.glWindow, scene.frameTimerId);
    SetWindowLongPtrA(renderWindow.glWindow, GWLP_WNDPROC,
                      reinterpret_cast<LONG_PTR>(QuietSceneProc));
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: qsnapshot --times T1,T2,... [--seed N] [--size WxH] [--fps F]\n"
                     "                 [--out DIR] [--preview] [--item INDEX] [--scheme 0-6]\n"
                     "                 [--yaw DEGREES]\n");
        return 2;
    }
    saver.appInstance = GetModuleHandleA(nullptr);
    if (options.scheme >= 0) {
        HKEY key;
        RegCreateKeyExA(HKEY_CURRENT_USER, SETTINGS_KEY, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr);
        const DWORD scheme = static_cast<DWORD>(options.scheme);
        RegSetValueExA(key, "Mekan Colour", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&scheme),
                       sizeof(scheme));
        RegCloseKey(key);
    }
    saver.isPreviewMode = options.preview ? 1 : 0;
    HWND window = CreateStandInWindow(options.width, options.height);
    if (window == nullptr || !CreateScene(window, options.seed)) return 1;
    StopPaintLoop();
    if (options.item >= 0) {
        showState.nextIndex = options.item;
        showState.recentPicks[0] = options.item;
    }
    if (options.yawGiven) robotPose.bodyYaw = static_cast<float>(options.yaw - 180.0);
    size_t next = 0;
    for (int frame = 1; next < options.times.size(); ++frame) {
        const double time = frame / options.fps;
        RenderFrame(time);
        while (next < options.times.size() && time >= options.times[next] - 1e-9) {
            char name[64];
            std::snprintf(name, sizeof(name), "frame_%09.3f.bmp", options.times[next]);
            const std::string path = options.out + "\\" + name;
            if (!WriteBackBufferBmp(path, options.width, options.height)) return 1;
            std::printf("%s\n", path.c_str());
            ++next;
        }
        PumpMessages();
    }
    DestroyScene();
    return 0;
}
