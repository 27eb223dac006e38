#pragma once

#include "engine/Random.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <vector>

// The card rules written as plainly as possible over one vector, drawing from the
// same shared generator: the fast list must give exactly the same results.
struct ReferenceEntry {
    int32_t level;
    int32_t id;
    bool operator==(const ReferenceEntry &) const = default;
};

class ReferenceList {
public:
    std::vector<ReferenceEntry> items;
    int32_t streak = 0;

    void add(int32_t id, int32_t level) { items.push_back({level, id}); }
    void sort() {
        std::stable_sort(
            items.begin(), items.end(),
            [](const ReferenceEntry &a, const ReferenceEntry &b) { return a.level < b.level; });
    }
    void clear() {
        items.clear();
        streak = 0;
    }
    void reset() {
        for (auto &e : items)
            e.level = 0;
        streak = 0;
    }
    void right() { streak = streak > 0 ? (streak == INT_MAX ? streak : streak + 1) : 1; }
    void wrong() { streak = streak < 0 ? (streak == INT_MIN ? streak : streak - 1) : -1; }

    int32_t pick() {
        const int32_t n = static_cast<int32_t>(items.size());
        if (streak == 0)
            return pickFirst();
        float f;
        if (streak < 0)
            f = streak == -1 ? 0.8f : streak == -2 ? 0.85f : streak == -3 ? 0.9f : 0.95f;
        else
            f = streak == 1 ? 0.2f : streak == 2 ? 0.15f : streak == 3 ? 0.1f : 0.05f;
        const double product = double(n - 1) * double(f);
        const int32_t bound = static_cast<int32_t>(std::nearbyint(product));
        return streak < 0 ? LexomatRandom::InRange(bound, n - 1) : LexomatRandom::InRange(0, bound);
    }

    int32_t pickFirst() {
        const int32_t n = static_cast<int32_t>(items.size());
        int32_t walked = 0;
        while (walked < n && items[static_cast<size_t>(walked)].level <= 0)
            ++walked;
        int32_t first = 0;
        for (int32_t i = 0; i < walked; ++i)
            if (items[static_cast<size_t>(i)].level == 0) {
                first = i;
                break;
            }
        const int32_t last = walked == 0 ? n : walked - 1;
        return first == last ? first : LexomatRandom::InRange(first, last - 1);
    }

    std::vector<int32_t> others(int32_t index) {
        std::vector<int32_t> taken;
        while (taken.size() < 3) {
            const int32_t r = LexomatRandom::InRange(0, static_cast<int32_t>(items.size()) - 1);
            if (r != index && std::find(taken.begin(), taken.end(), r) == taken.end())
                taken.push_back(r);
        }
        return {items[size_t(taken[0])].id, items[size_t(taken[1])].id, items[size_t(taken[2])].id};
    }

    int32_t apply(int32_t index) {
        ReferenceEntry e = items[static_cast<size_t>(index)];
        items.erase(items.begin() + index);
        if (streak > 0)
            e.level = e.level <= -1 ? 0 : (e.level == INT_MAX ? e.level : e.level + 1);
        else if (streak < 0)
            e.level = e.level >= 0 ? -1 : (e.level == INT_MIN ? e.level : e.level - 1);
        size_t at = 0;
        if (items.empty() || e.level < items.front().level)
            at = 0;
        else if (e.level > items.back().level)
            at = items.size();
        else
            while (items[at].level < e.level)
                ++at;
        items.insert(items.begin() + static_cast<std::ptrdiff_t>(at), e);
        return static_cast<int32_t>(at);
    }

    std::vector<int32_t> recount() const {
        std::vector<int32_t> c(5, 0);
        for (const auto &e : items)
            ++c[e.level <= -1 ? 0 : e.level >= 3 ? 4 : static_cast<size_t>(e.level + 1)];
        return c;
    }
};
