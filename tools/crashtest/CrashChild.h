#pragma once

#include <QString>

// The program itself, offscreen: opens `library`, answers `answers` questions, writes
// the levels and time it is about to save to `expected` (as a library snapshot file),
// prints "YES" as it clicks Yes to the save (or reset) question, then "DONE" when the
// write is committed.
int RunCrashChild(int argc, char **argv, const QString &library, bool reset, int answers,
                  const QString &expected);
