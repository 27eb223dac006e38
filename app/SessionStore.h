#pragma once

#include <cstdint>

class TLexomatList;
class Tdm;

// What the study reads from and writes back to the attached library file: the
// (ID, level) of every card and the study time, all through the data module's table
// dataset. Every failure throws LexomatError naming the file and the reason.
namespace SessionStore {
// Appends one entry per row of table Library, in the order the table delivers them.
// A level that is NULL or not a whole 32-bit number makes the file unusable.
void PopulateList(Tdm &dm, TLexomatList &list);
// The first row of TotalTime; an empty table gets its row with 0. The dataset is left
// serving Library, open.
int32_t LoadTotalTime(Tdm &dm);
// Every level and the time in one transaction: all are written or none.
void SaveLevelsAndTime(Tdm &dm, const TLexomatList &list, int32_t totalSeconds);
} // namespace SessionStore
