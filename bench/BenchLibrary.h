#pragma once

#include <QString>

// Path of a library of 1,000,000 cards: words of 5-12 letters (some not ASCII),
// definitions of ~60-200 characters (most beginning with one of a few common phrases,
// as a real library's do), levels spread over -2..4, and a TotalTime row.
// Made once under $LEXOMAT_BENCH_CACHE (default: the build folder) and reused; a
// benchmark that changes it must work on a copy.
QString BenchLibraryPath();

// Cards in the library made by BenchLibraryPath(); IDs run from 1 to this.
constexpr int BenchLibraryCards = 1'000'000;

// Seconds that the sqlite3 shell takes to list the IDs of a library ordered by one
// column (its output thrown away): what a sort of ours is measured against. -1 when
// the shell cannot be run.
double SqliteOrderBySeconds(const QString &library, const QString &column);
