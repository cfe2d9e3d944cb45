// Deterministic randomness: a small seeded generator and smooth value noise.
#pragma once

#include <cstdint>

class Rng {
public:
    explicit Rng(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint32_t Next();
    float Uniform();                  // [0, 1)
    float Range(float lo, float hi);  // [lo, hi)
    bool Chance(float p) { return Uniform() < p; }

private:
    uint64_t state_;
};

// Value noise in [0, 1] on an integer lattice, smoothly interpolated.
float Noise(float x, float y, uint32_t seed);
// Sum of octaves of Noise, in [0, 1].
float Fbm(float x, float y, uint32_t seed, int octaves = 4);
// Ridged variant: sharp crests, in [0, 1].
float Ridged(float x, float y, uint32_t seed, int octaves = 4);
float Smoothstep(float edge0, float edge1, float x);
