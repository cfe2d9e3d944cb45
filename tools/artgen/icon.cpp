// The program icon at 16, 32, 48 and 256 pixels: the robot on a transparent ground.
#include <algorithm>
#include <cmath>

#include "art.h"

std::vector<RgbaImage> DrawIcons() {
    std::vector<RgbaImage> icons;
    for (int size : PROGRAM_ICON.sizes) {
        Canvas c(size, size, size < 64 ? 8 : 4);
        const float scale = size * (size < 32 ? 0.99f : 0.93f) / 3.65f;
        const float top = (size - 3.65f * scale) / 2;
        DrawRobotFigure(c, {size / 2.f, top + 1.4f * scale, scale, size >= 48});
        const ImageF image = c.Resolve();
        RgbaImage icon{size, size, {}};
        for (const Color& p : image.pixels) {
            auto byte = [&](float v) {
                return static_cast<uint8_t>(
                    std::lround(std::clamp(p.a > 0 ? v / p.a : 0.f, 0.f, 1.f) * 255));
            };
            const uint8_t alpha =
                static_cast<uint8_t>(std::lround(std::clamp(p.a, 0.f, 1.f) * 255));
            icon.pixels.push_back(alpha == 0 ? RgbaPixel{}
                                             : RgbaPixel{byte(p.r), byte(p.g), byte(p.b), alpha});
        }
        icons.push_back(std::move(icon));
    }
    return icons;
}
