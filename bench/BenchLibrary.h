#pragma once

#include <QString>

// Path of a library of 1,000,000 cards: words of 5-12 letters (some not ASCII),
// definitions of ~60-200 characters, levels spread over -2..4, and a TotalTime row.
// Made once under $LEXOMAT_BENCH_CACHE (default: the build folder) and reused; a
// benchmark that changes it must work on a copy.
QString BenchLibraryPath();

// Cards in the library made by BenchLibraryPath(); IDs run from 1 to this.
constexpr int BenchLibraryCards = 1'000'000;
