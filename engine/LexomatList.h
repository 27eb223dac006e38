#pragma once

#include "engine/CardEntry.h"
#include "engine/CardSequence.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

// The in-memory study state of the open library: (level, ID) entries in ascending
// order of level, the five box counters and the answer streak. Words and
// definitions stay in the file and are read by ID when a question is put.
class TLexomatList {
public:
    TLexomatList();

    void AddCard(int32_t id, int32_t level);
    int32_t Count() const;
    int32_t LevelAt(int32_t index) const;
    int32_t IdAt(int32_t index) const;
    void SortByLevel();

    int32_t PickQuestionIndex();
    int32_t PickFirstQuestionIndex();
    struct OtherIds {
        int32_t first, second, third;
    };
    OtherIds PickOtherIds(int32_t index);

    void RecordRight();
    void RecordWrong();
    int32_t ApplyAnswer(int32_t index);
    void ResetLevels();
    void Clear();
    std::string BoxFilter(int32_t boxCode) const;

    // What a save must write so that the file holds the levels in memory: every level
    // when the list was reset since the last save, then each card whose level differs
    // from what the file held, in ascending order of ID, with the level it was read with
    // (loaded or last saved), so that a save can tell whether another program wrote it.
    struct LevelWrite {
        int32_t id;
        int32_t level; // now
        int32_t read;  // as the file held it when read
        bool operator==(const LevelWrite &) const = default;
    };
    struct LevelWrites {
        bool resetAll = false;
        std::vector<LevelWrite> levels;
    };
    LevelWrites PendingLevelWrites() const;
    void MarkLevelsSaved(); // after the writes reached the file
    // Takes the levels the file holds for some cards (ID, level) as theirs, as if just
    // read: they move to their place, the counters follow, and nothing is left to save
    // for them. Cards not in the list are passed over.
    void AdoptLevels(const std::vector<std::pair<int32_t, int32_t>> &stored);
    int32_t IndexOfId(int32_t id) const; // -1 when no card has it
    bool AllKnown() const;

    // Tests seed the generator to make picks repeatable; the program seeds it once
    // from the clock. The generator is the program's shared one (engine/Random.h).
    void Seed(uint64_t seed);

    int32_t Streak = 0;
    int32_t DontKnowCount = 0;
    int32_t Box1Count = 0;
    int32_t Box2Count = 0;
    int32_t Box3Count = 0;
    int32_t KnowCount = 0;

private:
    int32_t RandomInRange(int32_t lo, int32_t hi); // both included
    void CountIntoBox(int32_t level, int32_t delta);
    void MoveBoxCount(int32_t oldLevel);
    int32_t NewLevel(int32_t oldLevel) const;
    int32_t InsertPosition(int32_t level) const;

    CardSequence Items;
    // ID -> (level the file holds, level now) for the cards answered since the last save.
    std::unordered_map<int32_t, std::pair<int32_t, int32_t>> changedLevels;
    bool resetPending = false;
    // True while the entries are known to be in non-decreasing order of level; then
    // the re-insert place is found by binary search instead of a walk.
    bool ordered = true;
};
