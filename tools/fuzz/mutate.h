// Deterministic mutations of good BMP, JPEG, PNG, GIF, TIFF and AVI files: the same run seed and
// index always give the same file, named after its number and seed file, with a recipe of what was
// done to it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct FuzzFile {
    // Short, with its extension (".bmp" or ".avi"): the platform's movie library fails on
    // long file names whatever the file holds.
    std::string name;
    std::vector<uint8_t> bytes;
    std::string recipe;  // what was done to the seed file
};

// A small, fully specified generator (splitmix64), the same on every platform.
class FuzzRandom {
public:
    explicit FuzzRandom(uint64_t seed) : state_(seed) {}
    uint64_t Next();
    // 0 to n - 1 (0 when n is 0).
    uint64_t Below(uint64_t n) { return n == 0 ? 0 : Next() % n; }
    template <typename T>
    const T& Pick(const std::vector<T>& items) {
        return items[Below(items.size())];
    }

private:
    uint64_t state_;
};

// Mutant `index` of a run: a copy of a seed file (pictures and movies in turn) with one to three
// mutations (truncation, header fields set to extreme values, lying chunk sizes, renamed
// chunks, bad index entries, flipped header bits, changed pixel or frame bytes, trailing
// garbage).
FuzzFile MakeMutant(const std::vector<FuzzFile>& seeds, uint64_t runSeed, uint64_t index);
