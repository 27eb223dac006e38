#include "store/CollationSort.h"

#include "store/TextCollator.h"

#include <algorithm>
#include <cstring>
#include <thread>

namespace CollationSort {

void Texts::Add(const char *text, int size) {
    bytes.insert(bytes.end(), text, text + size);
    starts.push_back(bytes.size());
}

namespace {
// Long enough that texts beginning with the same few words are told apart at once
// (about one byte a letter of a Latin script).
constexpr int PartBytes = 48;
constexpr size_t Chunk = 4096;

struct Entry {
    uint8_t key[PartBytes];
    uint32_t index;
    uint32_t state[2]; // where the key goes on
    bool more;         // the key may go on past this part
};

bool KeyLess(const Entry &a, const Entry &b) {
    const int c = std::memcmp(a.key, b.key, PartBytes);
    return c != 0 ? c < 0 : a.index < b.index;
}

bool SameKey(const Entry &a, const Entry &b) {
    return std::memcmp(a.key, b.key, PartBytes) == 0;
}

unsigned Threads(size_t count) {
    const unsigned cores = std::max(1u, std::min(4u, std::thread::hardware_concurrency()));
    return count < 2 * Chunk ? 1u : cores;
}

void NextPart(const TextCollator &collator, const Texts &texts, Entry &e) {
    if (!e.more) {
        std::memset(e.key, 0, PartBytes);
        return;
    }
    const uint64_t start = texts.starts[e.index];
    const int size = int(texts.starts[e.index + 1] - start);
    e.more =
        collator.KeyPart(texts.bytes.data() + start, size, e.state, e.key, PartBytes) == PartBytes;
}

// Runs work(collator, piece) for pieces 0..pieces-1 on every core, each thread with a
// collator of its own, until all are done or work is stopped.
template <typename Work>
bool OnEveryCore(size_t pieces, unsigned threads, const std::atomic<bool> &stop, Work work) {
    std::atomic<size_t> next{0};
    auto worker = [&] {
        const TextCollator collator;
        for (size_t piece; (piece = next.fetch_add(1)) < pieces;) {
            if (stop.load(std::memory_order_relaxed))
                return;
            work(collator, piece);
        }
    };
    std::vector<std::thread> helpers;
    for (unsigned t = 1; t < threads; ++t)
        helpers.emplace_back(worker);
    worker();
    for (std::thread &h : helpers)
        h.join();
    return !stop;
}

bool MakeFirstParts(const Texts &texts, std::vector<Entry> &entries, const std::atomic<bool> &stop,
                    std::atomic<int64_t> &done) {
    const size_t chunks = (entries.size() + Chunk - 1) / Chunk;
    return OnEveryCore(chunks, Threads(entries.size()), stop,
                       [&](const TextCollator &collator, size_t chunk) {
                           const size_t from = chunk * Chunk;
                           const size_t to = std::min(entries.size(), from + Chunk);
                           for (size_t i = from; i < to; ++i) {
                               Entry &e = entries[i];
                               e.index = uint32_t(i);
                               e.state[0] = e.state[1] = 0;
                               e.more = true;
                               NextPart(collator, texts, e);
                           }
                           done += int64_t(to - from);
                       });
}

// Sorts the two halves side by side, then merges them.
void SortEntries(std::vector<Entry> &entries) {
    if (Threads(entries.size()) < 2) {
        std::sort(entries.begin(), entries.end(), KeyLess);
        return;
    }
    const auto middle = entries.begin() + ptrdiff_t(entries.size() / 2);
    std::thread first([&] { std::sort(entries.begin(), middle, KeyLess); });
    std::sort(middle, entries.end(), KeyLess);
    first.join();
    std::inplace_merge(entries.begin(), middle, entries.end(), KeyLess);
}

// Entries [from, to) share their key so far: if any key goes on, every one takes its
// next part and the run is sorted by those; runs that still share keys go round again.
// A run whose keys have all ended holds equal texts.
void Refine(const TextCollator &collator, const Texts &texts, std::vector<Entry> &entries,
            size_t from, size_t to, Order &order) {
    std::vector<std::pair<size_t, size_t>> runs{{from, to}};
    while (!runs.empty()) {
        const auto [begin, end] = runs.back();
        runs.pop_back();
        const bool goesOn =
            std::any_of(entries.begin() + ptrdiff_t(begin), entries.begin() + ptrdiff_t(end),
                        [](const Entry &e) { return e.more; });
        if (!goesOn) {
            for (size_t i = begin + 1; i < end; ++i)
                order.sameAsBefore[i] = 1;
            continue;
        }
        for (size_t i = begin; i < end; ++i)
            NextPart(collator, texts, entries[i]);
        std::sort(entries.begin() + ptrdiff_t(begin), entries.begin() + ptrdiff_t(end), KeyLess);
        for (size_t i = begin; i < end;) {
            size_t j = i + 1;
            while (j < end && SameKey(entries[i], entries[j]))
                ++j;
            if (j - i > 1)
                runs.emplace_back(i, j);
            i = j;
        }
    }
}
} // namespace

bool Sort(const Texts &texts, Order &order, const std::atomic<bool> &stop,
          std::atomic<int64_t> &done) {
    const size_t count = texts.Count();
    std::vector<Entry> entries(count);
    if (!MakeFirstParts(texts, entries, stop, done))
        return false;
    SortEntries(entries);
    if (stop)
        return false;
    order.sameAsBefore.assign(count, 0);
    std::vector<std::pair<size_t, size_t>> runs;
    size_t inRuns = 0;
    for (size_t i = 0; i < count;) {
        size_t j = i + 1;
        while (j < count && SameKey(entries[i], entries[j]))
            ++j;
        if (j - i > 1) {
            runs.emplace_back(i, j);
            inRuns += j - i;
        }
        i = j;
    }
    // Runs are apart from each other, so threads can share them out.
    if (!OnEveryCore(runs.size(), Threads(inRuns), stop,
                     [&](const TextCollator &collator, size_t run) {
                         Refine(collator, texts, entries, runs[run].first, runs[run].second, order);
                     }))
        return false;
    order.indexes.resize(count);
    for (size_t i = 0; i < count; ++i)
        order.indexes[i] = entries[i].index;
    done += int64_t(count);
    return !stop;
}

} // namespace CollationSort
