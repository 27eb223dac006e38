#include "formats/SheetRowEmitter.h"
#include "platform/LexomatError.h"

bool SheetRowEmitter::Give(qint64 rowNumber, QStringList cells) {
    if (stopped)
        return false;
    while (!cells.isEmpty() && cells.constLast().isEmpty())
        cells.removeLast();
    if (cells.isEmpty())
        return true; // held back until a filled row follows
    if (rowNumber < nextRow || rowNumber > MaxRows)
        throw LexomatError(
            QStringLiteral("The sheet's rows are out of order (row %1).").arg(rowNumber));
    for (; nextRow < rowNumber; ++nextRow) {
        if (!row(int(nextRow), QStringList())) {
            stopped = true;
            return false;
        }
    }
    ++nextRow;
    if (!row(int(rowNumber), cells))
        stopped = true;
    return !stopped;
}
