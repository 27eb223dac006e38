#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

// Sorts many texts in TextCollator's order on every core: each text gets the first
// part of its sort key in a flat array, the array is sorted, and only runs of texts
// whose parts are equal get further parts of their keys, until their keys end or differ.
// No pair of texts ever goes back to the collator.
namespace CollationSort {

// The UTF-8 bytes of the texts one after another; starts has one more entry than there
// are texts, the end of the last.
struct Texts {
    std::vector<char> bytes;
    std::vector<uint64_t> starts{0};

    size_t Count() const { return starts.size() - 1; }
    void Add(const char *text, int size);
};

// Positions of the texts in ascending order (equal texts in ascending position), and
// for each place whether its text equals the one before.
struct Order {
    std::vector<uint32_t> indexes;
    std::vector<uint8_t> sameAsBefore; // bytes, so that threads can mark places side by side
};

// Work is counted in `done`, two units a text; `stop` is looked at between pieces of
// work. Returns false, with `order` unspecified, when stopped.
bool Sort(const Texts &texts, Order &order, const std::atomic<bool> &stop,
          std::atomic<int64_t> &done);
inline int64_t WorkUnits(size_t texts) {
    return int64_t(texts) * 2;
}

} // namespace CollationSort
