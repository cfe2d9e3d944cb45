// The overlay banner: the product name as a glowing logo on a black key ground.
#include "art.h"
#include "text.h"

Indexed DrawBanner() {
    Canvas c(BANNER_BITMAP.width, BANNER_BITMAP.height);
    const Font& font = BoldFont();
    const std::string name = "QUORVEL";
    const float size = 25, spacing = 3;
    float width = -spacing;
    for (char ch : name) width += font.Advance(std::string(1, ch), size) + spacing;
    Path letters;
    float x = 128 - width / 2;
    for (char ch : name) {
        letters.Append(font.Outline(std::string(1, ch), x, 25, size));
        x += font.Advance(std::string(1, ch), size) + spacing;
    }
    const float left = 128 - width / 2, right = 128 + width / 2;

    Canvas glow = c.Layer();
    glow.Fill(letters, Rgb(40, 120, 255));
    Path lines;
    lines.Rect(6, 15, left - 14, 2).Rect(right + 8, 15, 256 - right - 14, 2);
    glow.Fill(lines, Rgb(60, 150, 255));
    glow.Blur(3);
    c.Composite(glow, Blend::Add, 1.6f);

    c.Fill(lines, Linear({0, 0}, {256, 0},
                         {{0, Rgb(60, 140, 255, 0)},
                          {0.3f, Rgb(150, 210, 255)},
                          {0.7f, Rgb(150, 210, 255)},
                          {1, Rgb(60, 140, 255, 0)}}));
    Path dots;
    dots.Circle(left - 6, 16, 1.8f).Circle(right + 5, 16, 1.8f);
    c.Fill(dots, Rgb(220, 240, 255));
    c.Fill(letters, Linear({0, 6}, {0, 26},
                           {{0, Rgb(255, 255, 255)},
                            {0.45f, Rgb(190, 225, 255)},
                            {0.55f, Rgb(110, 170, 250)},
                            {1, Rgb(170, 215, 255)}}));
    return Keyed(c.Resolve(), kBlackKey, 0.12f);
}
