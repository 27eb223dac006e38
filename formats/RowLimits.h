#pragma once

#include "formats/ReadBudget.h"

#include <QString>
#include <QStringList>
#include <limits>

// The limits every row a reader hands on must keep, whether it goes through
// SheetRowEmitter (sheets) or is handed on by a vocabulary reader itself (whose empty
// entries keep their rows): no more text in all than the file's read budget allows,
// and in a sheet no cell text longer than a spreadsheet cell can hold. Vocabulary
// files know no such cell: their texts are as long as the file makes them.
class RowLimits {
public:
    // The most characters a spreadsheet cell holds.
    static constexpr qsizetype MaxCellText = 32767;
    static constexpr qsizetype NoCellLimit = std::numeric_limits<qsizetype>::max();

    RowLimits(const ReadBudget &budget, const QString &sheetName,
              qsizetype maxCellText = MaxCellText)
        : budget(budget), sheetName(sheetName), maxCellText(maxCellText) {}

    // The cells of columns A and B of a row (1-based). Throws LexomatError for a cell
    // that is too long, or once the texts handed on exceed the budget.
    void Check(qint64 rowNumber, const QString &a, const QString &b);

private:
    ReadBudget budget; // a copy: what one read of a sheet hands out is counted afresh
    QString sheetName;
    qsizetype maxCellText;
};
