#pragma once

#include "formats/ReadBudget.h"

#include <QString>
#include <QStringList>

// The limits every row a reader hands on must keep, whether it goes through
// SheetRowEmitter (sheets) or is handed on by a vocabulary reader itself (whose empty
// entries keep their rows): no cell text longer than a spreadsheet cell can hold, and
// no more text in all than the file's read budget allows.
class RowLimits {
public:
    // Nor more characters in a cell.
    static constexpr qsizetype MaxCellText = 32767;

    RowLimits(const ReadBudget &budget, const QString &sheetName)
        : budget(budget), sheetName(sheetName) {}

    // The cells of columns A and B of a row (1-based). Throws LexomatError for a cell
    // that is too long, or once the texts handed on exceed the budget.
    void Check(qint64 rowNumber, const QString &a, const QString &b);

private:
    ReadBudget budget; // a copy: what one read of a sheet hands out is counted afresh
    QString sheetName;
};
