// Good BMP files of every kind the saver shows, all of one small lopsided picture (so a file
// shown upside down or mirrored is caught): the fuzzer's seeds and the loader's test pictures.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct SeedColour {
    uint8_t red, green, blue;
    bool operator==(const SeedColour&) const = default;
};

struct BmpSeed {
    std::string name;
    std::vector<uint8_t> bytes;
    int width = 0;
    int height = 0;
    // What the file shows, top row first, and how far a channel may differ from it (the
    // 5- and 6-bit channels of 16-bit pixels round).
    std::vector<SeedColour> picture;
    int tolerance = 0;
    // False for alpha masks (BI_ALPHABITFIELDS), which the platform's drawer refuses.
    bool drawn = true;
};

// Pictures of 29 x 14 cells of `scale` x `scale` pixels.
std::vector<BmpSeed> MakeBmpSeeds(int scale);
