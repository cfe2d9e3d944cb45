#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "host/monitors.h"

namespace {

std::string Text(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

struct LayoutCase {
    const char* what;
    std::vector<MonitorArea> monitors;
    const char* window;  // screen coordinates
    const char* scene;   // the saver window's client coordinates
};

TEST(LayoutSaver, TheWindowSpansEveryMonitorAndTheSceneSitsOnThePrimary) {
    const LayoutCase cases[] = {
        {"one monitor", {{{0, 0, 1920, 1080}, true}}, "0,0,1920,1080", "0,0,1920,1080"},
        {"two side by side",
         {{{0, 0, 1920, 1080}, true}, {{1920, 0, 3840, 1080}, false}},
         "0,0,3840,1080",
         "0,0,1920,1080"},
        {"a secondary to the left",
         {{{0, 0, 1920, 1080}, true}, {{-1280, 0, 0, 1024}, false}},
         "-1280,0,1920,1080",
         "1280,0,3200,1080"},
        {"a larger secondary above, listed first",
         {{{-200, -1440, 2360, 0}, false}, {{0, 0, 1920, 1080}, true}},
         "-200,-1440,2360,1080",
         "200,1440,2120,2520"},
        {"a portrait secondary left and higher",
         {{{0, 0, 2560, 1440}, true}, {{-1080, -300, 0, 1620}, false}},
         "-1080,-300,2560,1620",
         "1080,300,3640,1740"},
        {"three in a row, the primary in the middle",
         {{{-1024, 0, 0, 768}, false},
          {{0, 0, 1280, 1024}, true},
          {{1280, 100, 2880, 1000}, false}},
         "-1024,0,2880,1024",
         "1024,0,2304,1024"},
        // Mirrored outputs, and two X screens under Xinerama, both start at the origin.
        {"two overlapping at the origin",
         {{{0, 0, 1024, 768}, true}, {{0, 0, 1280, 800}, false}},
         "0,0,1280,800",
         "0,0,1024,768"},
    };
    for (const LayoutCase& c : cases) {
        const SaverLayout layout = LayoutSaver(c.monitors);
        EXPECT_EQ(Text(layout.window), c.window) << c.what;
        EXPECT_EQ(Text(layout.scene), c.scene) << c.what;
    }
}

TEST(LayoutSaver, WithoutAFlaggedPrimaryTheFirstMonitorTakesTheScene) {
    const std::vector<MonitorArea> monitors{{{1920, 0, 3200, 1024}, false},
                                            {{0, 0, 1920, 1080}, false}};
    EXPECT_EQ(Text(LayoutSaver(monitors).scene), "1920,0,3200,1024");
    EXPECT_EQ(Text(LayoutSaver({}).window), "0,0,0,0");
}

}  // namespace
