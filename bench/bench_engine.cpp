// Prints:
//   engine.answer_cycle.median <us> us  - record, ApplyAnswer and the next picks
//   engine.cardlist_1m.memory <MB> MB   - heap held by a 1,000,000-card list
#include "engine/LexomatList.h"
#include "engine/Random.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <malloc.h>
#include <memory>
#include <random>
#include <vector>

namespace {
constexpr int32_t Cards = 1'000'000;
constexpr int Cycles = 20'000;

size_t heapInUse() {
    return mallinfo2().uordblks;
}

void fill(TLexomatList &list) {
    std::mt19937 levels(11);
    std::uniform_int_distribution<int32_t> level(-3, 5);
    for (int32_t id = 1; id <= Cards; ++id)
        list.AddCard(id, level(levels));
    list.SortByLevel();
}
} // namespace

int main() {
    LexomatRandom::Seed(2026);
    const size_t before = heapInUse();
    auto list = std::make_unique<TLexomatList>();
    fill(*list);
    const size_t after = heapInUse();

    std::mt19937 answers(5);
    std::bernoulli_distribution right(0.5);
    int32_t index = list->PickQuestionIndex();
    std::vector<double> micros;
    micros.reserve(Cycles);
    for (int cycle = 0; cycle < Cycles + 2000; ++cycle) {
        const bool isRight = right(answers);
        const auto start = std::chrono::steady_clock::now();
        if (isRight)
            list->RecordRight();
        else
            list->RecordWrong();
        list->ApplyAnswer(index);
        index = list->PickQuestionIndex();
        const auto others = list->PickOtherIds(index);
        const auto end = std::chrono::steady_clock::now();
        if (others.first == others.second) // keeps the picks from being optimised away
            return 1;
        if (cycle >= 2000) // the first cycles warm the caches
            micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    std::nth_element(micros.begin(), micros.begin() + Cycles / 2, micros.end());
    std::printf("engine.answer_cycle.median %.2f us\n", micros[Cycles / 2]);
    std::printf("engine.cardlist_1m.memory %.1f MB\n", double(after - before) / (1024.0 * 1024.0));
    return 0;
}
