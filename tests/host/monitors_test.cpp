#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "host/monitors.h"

namespace {

std::string Text(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

TEST(LayoutSaver, TheWindowSpansEveryMonitorAndTheSceneSitsOnThePrimary) {
    const struct {
        const char* what;
        std::vector<MonitorArea> monitors;
        const char* window;  // screen coordinates
        const char* scene;   // the saver window's client coordinates
    } cases[] = {
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
        {"no flagged primary: the first",
         {{{1920, 0, 3200, 1024}, false}, {{0, 0, 1920, 1080}, false}},
         "0,0,3200,1080",
         "1920,0,3200,1024"},
        {"none", {}, "0,0,0,0", "0,0,0,0"},
    };
    for (const auto& c : cases) {
        const SaverLayout layout = LayoutSaver(c.monitors);
        EXPECT_EQ(Text(layout.window), c.window) << c.what;
        EXPECT_EQ(Text(layout.scene), c.scene) << c.what;
    }
}

}  // namespace
