#pragma once

#include <QString>

// Opens a workbook with the program's own reader and reads every row of its first
// sheet, as an import does before it writes anything; returns the cells read, or -1
// when the workbook cannot be read.
qint64 ReadEveryCell(const QString &path);
