#pragma once

#include <QString>
#include <cstdint>

struct sqlite3;

// The layout of a library file: table Library (ID, Word, ImportanceField, Definition)
// and table TotalTime (TotalTime). Files written by other tools may spell the names in
// another letter case; every lookup of a field by name is case-blind.
namespace LibrarySchema {
extern const char *const CreateLibraryTable;
extern const char *const CreateTimeTable;
extern const char *const CreateStatements; // both, in that order

// The field of a table whose whole numbers the store keeps in memory (the level of a
// card, the study time); empty for a table the program does not know.
QString KeptIntegerField(const QString &table);

// Throws LexomatError naming the file and the first thing that is wrong with it:
// a missing Library table or field, a field of the wrong type, a card ID that does not
// fit in 32 bits. TotalTime may be missing (it is made with the first save); when it is
// there it must have its field.
void Check(sqlite3 *db, const QString &fileName);

// Throws LexomatError when a new card would get this ID, which no 32-bit field holds.
void RefuseCardIdBeyondRange(sqlite3 *db, int64_t id);
} // namespace LibrarySchema
