#pragma once

#include "store/ProgressHistory.h"
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

class TLexomatList;
class Tdm;

// What the study reads from and writes back to the attached library file: the
// (ID, level) of every card and the study time, all through the data module's table
// dataset. Every failure throws LexomatError naming the file and the reason.
namespace SessionStore {
// Appends one entry per row of table Library, in ascending order of ID.
// A level that is NULL or not a whole 32-bit number makes the file unusable.
void PopulateList(Tdm &dm, TLexomatList &list);
// The first row of TotalTime, or 0 when the file has none yet (nothing is written: a
// library on a read-only disk opens too). The dataset is left serving Library, open.
int32_t LoadTotalTime(Tdm &dm);

// The study time to save and the time the file held when it was read (loaded or last
// saved by this session).
struct StudyTime {
    int32_t total = 0;
    int32_t read = 0;
};

// What another program wrote since this session read the file, among what a save would
// write over: the (ID, level the file holds) of the cards whose level is no longer the
// one read, and the time the file holds when it is no longer the one read. A value that
// another program changed to what this session writes anyway counts for nothing.
struct OtherChanges {
    std::vector<std::pair<int32_t, int32_t>> levels;
    std::optional<int32_t> seconds;
    bool Empty() const { return levels.empty() && !seconds; }
    bool operator==(const OtherChanges &) const = default;
};

// The learner's word on changes of another program, as they were when asked.
struct OverwriteAnswer {
    bool overwrite = false; // false keeps the other program's values
    OtherChanges asked;
};

struct SaveResult {
    // False when another program changed what the save would write over and no answer
    // covers those changes as they are now: nothing was written then.
    bool saved = false;
    // Not saved: what the other program changed. Saved: what of it was kept.
    OtherChanges changes;
    int32_t seconds = 0; // the study time the file holds after the save
};

// The levels that changed since the list was loaded or last saved (every level after a
// reset, in one statement), the time and the session's row of progress, if any, in one
// transaction: all are written or none. Afterwards the list counts them as saved.
//
// Inside the transaction, before anything is written, the stored levels of the cards to
// be written and the stored time are compared with what was read. When another program
// changed them, nothing is written unless `answer` was given for exactly those changes:
// overwriting writes this session's values; keeping leaves the other program's levels
// (the list takes them over) and adds this session's study time to the stored time.
// A reset writes every level and the time without looking: the learner asked for it.
SaveResult SaveLevelsAndTime(Tdm &dm, TLexomatList &list, StudyTime time,
                             const std::optional<ProgressRow> &progress = std::nullopt,
                             const std::optional<OverwriteAnswer> &answer = std::nullopt);
} // namespace SessionStore
