#include "noise.h"

#include <algorithm>
#include <cmath>

uint32_t Rng::Next() {
    // splitmix64
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<uint32_t>((z ^ (z >> 31)) >> 32);
}

float Rng::Uniform() {
    return (Next() >> 8) * (1.f / 16777216.f);
}

float Rng::Range(float lo, float hi) {
    return lo + (hi - lo) * Uniform();
}

namespace {

float Lattice(int x, int y, uint32_t seed) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
                 seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / 16777215.f;
}

float Fade(float t) {
    return t * t * (3 - 2 * t);
}

}  // namespace

float Noise(float x, float y, uint32_t seed) {
    const float fx = std::floor(x), fy = std::floor(y);
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    const float u = Fade(x - fx), v = Fade(y - fy);
    const float a = Lattice(ix, iy, seed), b = Lattice(ix + 1, iy, seed);
    const float c = Lattice(ix, iy + 1, seed), d = Lattice(ix + 1, iy + 1, seed);
    return (a + (b - a) * u) + ((c + (d - c) * u) - (a + (b - a) * u)) * v;
}

float Fbm(float x, float y, uint32_t seed, int octaves) {
    float sum = 0, amplitude = 0.5f, total = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += Noise(x, y, seed + i * 101) * amplitude;
        total += amplitude;
        x = x * 2.03f + 17.1f;
        y = y * 2.03f - 9.3f;
        amplitude *= 0.5f;
    }
    return sum / total;
}

float Ridged(float x, float y, uint32_t seed, int octaves) {
    float sum = 0, amplitude = 0.5f, total = 0;
    for (int i = 0; i < octaves; ++i) {
        const float n = 1 - std::abs(Noise(x, y, seed + i * 131) * 2 - 1);
        sum += n * n * amplitude;
        total += amplitude;
        x = x * 2.1f + 5.7f;
        y = y * 2.1f + 3.1f;
        amplitude *= 0.5f;
    }
    return sum / total;
}

float Smoothstep(float edge0, float edge1, float x) {
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.f, 1.f);
    return t * t * (3 - 2 * t);
}
