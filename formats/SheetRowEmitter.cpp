#include "formats/SheetRowEmitter.h"
#include "platform/LexomatError.h"

#include <QLocale>

SheetRowEmitter::SheetRowEmitter(const RowFunction &row, const ReadBudget &budget,
                                 const QString &sheetName)
    : row(row), budget(budget), sheetName(sheetName) {}

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
    for (int column = 0; column < SheetRow::KeptColumns; ++column) {
        if (cells.Cell(column).size() > MaxCellText)
            throw LexomatError(QStringLiteral("Cell %1%2 of the sheet “%3” holds more than %4 "
                                              "characters, more than a spreadsheet cell can.")
                                   .arg(QChar(u'A' + column))
                                   .arg(rowNumber)
                                   .arg(sheetName)
                                   .arg(QLocale(QLocale::English).toString(MaxCellText)));
    }
    budget.HandOut(cells.Cell(0).size() + cells.Cell(1).size());
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
