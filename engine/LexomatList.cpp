#include "engine/LexomatList.h"

#include "engine/BoxRules.h"
#include "engine/Random.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

TLexomatList::TLexomatList() = default;

void TLexomatList::AddCard(int32_t id, int32_t level) {
    if (Items.Size() > 0 && level < Items.Back().ImportanceField)
        ordered = false;
    Items.PushBack({level, id});
    CountIntoBox(level, 1);
}

int32_t TLexomatList::Count() const {
    return Items.Size();
}

int32_t TLexomatList::LevelAt(int32_t index) const {
    return Items.At(index).ImportanceField;
}

int32_t TLexomatList::IdAt(int32_t index) const {
    return Items.At(index).ID;
}

void TLexomatList::SortByLevel() {
    if (ordered)
        return; // already in order: a stable sort would change nothing
    // Stable, so that cards of one level keep the order in which the file gave them.
    // Levels take few distinct values: counting them places every card in one pass.
    int32_t low = std::numeric_limits<int32_t>::max(), high = std::numeric_limits<int32_t>::min();
    Items.ForEach([&](const TCardEntry &entry) {
        low = std::min(low, entry.ImportanceField);
        high = std::max(high, entry.ImportanceField);
    });
    std::vector<TCardEntry> sorted(static_cast<size_t>(Items.Size()));
    if (int64_t(high) - low < 4096) {
        std::vector<size_t> start(size_t(int64_t(high) - low) + 2, 0);
        Items.ForEach(
            [&](const TCardEntry &entry) { ++start[size_t(entry.ImportanceField - low) + 1]; });
        for (size_t i = 1; i < start.size(); ++i)
            start[i] += start[i - 1];
        Items.ForEach([&](const TCardEntry &entry) {
            sorted[start[size_t(entry.ImportanceField - low)]++] = entry;
        });
    } else {
        sorted = Items.Flatten();
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const TCardEntry &a, const TCardEntry &b) {
                             return a.ImportanceField < b.ImportanceField;
                         });
    }
    Items.Assign(sorted);
    ordered = true;
}

int32_t TLexomatList::PickQuestionIndex() {
    const int32_t last = Count() - 1;
    if (Streak == 0)
        return PickFirstQuestionIndex();
    const double span = static_cast<double>(last) * static_cast<double>(StreakFactor(Streak));
    const auto bound = static_cast<int32_t>(std::nearbyint(span));
    if (Streak < 0)
        return RandomInRange(bound, last);
    return RandomInRange(0, bound);
}

int32_t TLexomatList::PickFirstQuestionIndex() {
    const int32_t n = Count();
    int32_t first = -1;
    int32_t last = -1;
    for (int32_t i = 0; i < n; ++i) {
        const int32_t level = LevelAt(i);
        if (level > 0)
            break;
        if (level == 0 && first < 0)
            first = i;
        last = i;
    }
    if (first < 0)
        first = 0;
    if (last < 0)
        last = n;
    if (first >= last)
        return first;
    return RandomInRange(first, last - 1);
}

TLexomatList::OtherIds TLexomatList::PickOtherIds(int32_t index) {
    const int32_t last = Count() - 1;
    int32_t taken[3] = {index, index, index};
    int found = 0;
    while (found < 3) {
        const int32_t r = RandomInRange(0, last);
        if (r == index || std::find(taken, taken + found, r) != taken + found)
            continue;
        taken[found++] = r;
    }
    return {IdAt(taken[0]), IdAt(taken[1]), IdAt(taken[2])};
}

void TLexomatList::RecordRight() {
    if (Streak > 0)
        Streak += Streak < std::numeric_limits<int32_t>::max() ? 1 : 0;
    else
        Streak = 1;
}

void TLexomatList::RecordWrong() {
    if (Streak < 0)
        Streak -= Streak > std::numeric_limits<int32_t>::min() ? 1 : 0;
    else
        Streak = -1;
}

int32_t TLexomatList::NewLevel(int32_t oldLevel) const {
    if (Streak > 0)
        return RaisedLevel(oldLevel);
    if (Streak < 0)
        return LoweredLevel(oldLevel);
    return oldLevel;
}

int32_t TLexomatList::InsertPosition(int32_t level) const {
    if (ordered)
        return Items.LowerBoundLevel(level);
    // Entries loaded without sorting: the place follows the rule as written, by a walk.
    const int32_t n = Items.Size();
    if (n == 0 || level < Items.At(0).ImportanceField)
        return 0;
    if (level > Items.At(n - 1).ImportanceField)
        return n;
    for (int32_t i = 0; i < n; ++i)
        if (Items.At(i).ImportanceField >= level)
            return i;
    return n;
}

int32_t TLexomatList::ApplyAnswer(int32_t index) {
    TCardEntry entry = Items.At(index);
    MoveBoxCount(entry.ImportanceField);
    Items.Erase(index);
    auto change = changedLevels.try_emplace(entry.ID, entry.ImportanceField, 0).first;
    entry.ImportanceField = NewLevel(entry.ImportanceField);
    change->second.second = entry.ImportanceField;
    const int32_t position = InsertPosition(entry.ImportanceField);
    Items.Insert(position, entry);
    return position;
}

void TLexomatList::ResetLevels() {
    Items.ForEachMutable([](TCardEntry &entry) { entry.ImportanceField = 0; });
    DontKnowCount = Box2Count = Box3Count = KnowCount = 0;
    Box1Count = Count();
    Streak = 0;
    ordered = true;
    changedLevels.clear();
    resetPending = true;
}

TLexomatList::LevelWrites TLexomatList::PendingLevelWrites() const {
    LevelWrites writes;
    writes.resetAll = resetPending;
    for (const auto &[id, levels] : changedLevels)
        if (levels.first != levels.second)
            writes.levels.push_back({id, levels.second, levels.first});
    // In ID order the writes walk the table's pages once instead of at random.
    std::sort(writes.levels.begin(), writes.levels.end(),
              [](const LevelWrite &a, const LevelWrite &b) { return a.id < b.id; });
    return writes;
}

void TLexomatList::AdoptLevels(const std::vector<std::pair<int32_t, int32_t>> &stored) {
    if (stored.empty())
        return;
    const std::unordered_map<int32_t, int32_t> levels(stored.begin(), stored.end());
    std::vector<int32_t> places;
    int32_t index = 0;
    Items.ForEach([&](const TCardEntry &entry) {
        if (levels.count(entry.ID))
            places.push_back(index);
        ++index;
    });
    // From the back, so that the places still to visit stay where they are.
    std::vector<TCardEntry> moved;
    for (auto place = places.rbegin(); place != places.rend(); ++place) {
        TCardEntry entry = Items.Erase(*place);
        CountIntoBox(entry.ImportanceField, -1);
        entry.ImportanceField = levels.at(entry.ID);
        CountIntoBox(entry.ImportanceField, 1);
        changedLevels.erase(entry.ID);
        moved.push_back(entry);
    }
    for (const TCardEntry &entry : moved)
        Items.Insert(InsertPosition(entry.ImportanceField), entry);
}

int32_t TLexomatList::IndexOfId(int32_t id) const {
    int32_t index = 0, found = -1;
    Items.ForEach([&](const TCardEntry &entry) {
        if (found < 0 && entry.ID == id)
            found = index;
        ++index;
    });
    return found;
}

void TLexomatList::MarkLevelsSaved() {
    changedLevels.clear();
    resetPending = false;
}

void TLexomatList::Clear() {
    Items.Clear();
    changedLevels.clear();
    resetPending = false;
    DontKnowCount = Box1Count = Box2Count = Box3Count = KnowCount = 0;
    Streak = 0;
    ordered = true;
}

std::string TLexomatList::BoxFilter(int32_t boxCode) const {
    static constexpr char Prefix[] = "ID=";
    static constexpr char Separator[] = " OR ";
    std::string text;
    if (boxCode >= BoxDontKnow && boxCode <= BoxKnow) {
        const int32_t counts[] = {DontKnowCount, Box1Count, Box2Count, Box3Count, KnowCount};
        const size_t members = static_cast<size_t>(counts[boxCode - BoxDontKnow]);
        // "ID=" + up to 10 digits + " OR " per card.
        text.reserve(members * 17 + 8);
        Items.ForEach([&](const TCardEntry &entry) {
            if (BoxOfLevel(entry.ImportanceField) != boxCode)
                return;
            char digits[12];
            const auto end = std::to_chars(digits, digits + sizeof digits, entry.ID).ptr;
            text.append(Prefix, sizeof Prefix - 1);
            text.append(digits, end);
            text.append(Separator, sizeof Separator - 1);
        });
    }
    text += "ID=-1";
    return text;
}

bool TLexomatList::AllKnown() const {
    return Count() == KnowCount;
}

void TLexomatList::Seed(uint64_t seed) {
    LexomatRandom::Seed(seed);
}

int32_t TLexomatList::RandomInRange(int32_t lo, int32_t hi) {
    return LexomatRandom::InRange(lo, hi);
}

void TLexomatList::CountIntoBox(int32_t level, int32_t delta) {
    switch (BoxOfLevel(level)) {
    case BoxDontKnow:
        DontKnowCount += delta;
        break;
    case BoxOne:
        Box1Count += delta;
        break;
    case BoxTwo:
        Box2Count += delta;
        break;
    case BoxThree:
        Box3Count += delta;
        break;
    default:
        KnowCount += delta;
        break;
    }
}

void TLexomatList::MoveBoxCount(int32_t oldLevel) {
    const int32_t newLevel = NewLevel(oldLevel);
    if (BoxOfLevel(newLevel) == BoxOfLevel(oldLevel))
        return;
    CountIntoBox(oldLevel, -1);
    CountIntoBox(newLevel, 1);
}
