#include "formats/SheetRowEmitter.h"
#include "platform/LexomatError.h"

SheetRowEmitter::SheetRowEmitter(const RowFunction &row, const ReadBudget &budget,
                                 const QString &sheetName)
    : row(row), limits(budget, sheetName) {}

void SheetRowEmitter::CappedAppend(QString &text, QStringView more) {
    const qsizetype room = MaxCellText + 1 - text.size();
    if (room > 0)
        text.append(more.left(room));
}

bool SheetRowEmitter::Give(qint64 rowNumber, const SheetRow &cells) {
    if (stopped)
        return false;
    if (cells.IsEmpty())
        return true; // held back until a filled row follows
    if (rowNumber < nextRow || rowNumber > MaxRows)
        throw LexomatError(
            QStringLiteral("The sheet's rows are out of order (row %1).").arg(rowNumber));
    limits.Check(rowNumber, cells.Cell(0), cells.Cell(1));
    for (; nextRow < rowNumber; ++nextRow) {
        if (!row(int(nextRow), QStringList())) {
            stopped = true;
            return false;
        }
    }
    ++nextRow;
    QStringList given{cells.Cell(0)};
    if (!cells.Cell(1).isEmpty())
        given.append(cells.Cell(1));
    if (!row(int(rowNumber), given))
        stopped = true;
    return !stopped;
}
