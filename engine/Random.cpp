#include "engine/Random.h"

#include <chrono>
#include <random>

namespace {
std::mt19937_64 &generator() {
    static std::mt19937_64 engine(0x4C65786F6D6174ULL);
    return engine;
}
} // namespace

namespace LexomatRandom {

void Seed(uint64_t seed) {
    generator().seed(seed);
}

void SeedFromClock() {
    const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    generator().seed(static_cast<uint64_t>(now));
}

int32_t InRange(int32_t lo, int32_t hi) {
    if (hi <= lo)
        return lo;
    return std::uniform_int_distribution<int32_t>(lo, hi)(generator());
}

} // namespace LexomatRandom
