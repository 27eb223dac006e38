#pragma once

#include <QString>

struct sqlite3;

// The layout of a library file: table Library (ID, Word, ImportanceField, Definition)
// and table TotalTime (TotalTime).
namespace LibrarySchema {
extern const char *const CreateStatements;
// Throws LexomatError naming the file and the first thing that is wrong with it.
void Check(sqlite3 *db, const QString &fileName);
} // namespace LibrarySchema
