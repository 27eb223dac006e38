#pragma once

#include "store/ProgressHistory.h"
#include <cstdint>
#include <optional>

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
// The levels that changed since the list was loaded or last saved (every level after a
// reset, in one statement), the time and the session's row of progress, if any, in one
// transaction: all are written or none. Afterwards the list counts them as saved.
void SaveLevelsAndTime(Tdm &dm, TLexomatList &list, int32_t totalSeconds,
                       const std::optional<ProgressRow> &progress = std::nullopt);
} // namespace SessionStore
