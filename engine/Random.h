#pragma once

#include <cstdint>

// The program's one random generator. The card list draws its questions and wrong
// choices from it and the main window the slot of the right definition, so that one
// seed repeats a whole session. The program seeds it once from the clock; tests seed
// it with a fixed value.
namespace LexomatRandom {
void Seed(uint64_t seed);
void SeedFromClock();
// A uniformly drawn integer from lo to hi, both included; lo when hi < lo.
int32_t InRange(int32_t lo, int32_t hi);
} // namespace LexomatRandom
