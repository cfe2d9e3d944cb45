// The one pseudo-random sequence every random decision of the program draws from.
#pragma once
#include <cstdint>

extern uint32_t randomState;

void SeedRandom(uint32_t seed);
// 0 to 32767: bits 16 to 30 of the next state.
int NextRandom();
