#include "formats/BiffSheetCells.h"
#include "formats/SheetRowEmitter.h"
#include "platform/LexomatError.h"

void BiffSheetCells::Put(int row, int column, const QString &text) {
    if (column >= MaxColumns)
        throw LexomatError(
            QStringLiteral("The workbook is damaged: a cell of “%1” lies in column %2.")
                .arg(sheetName)
                .arg(column + 1));
    if (text.isEmpty())
        return;
    QStringList &cells = rows[row];
    while (cells.size() <= column)
        cells.append(QString());
    cells[column] = text;
}

void BiffSheetCells::AwaitText(int row, int column) {
    awaitedRow = row;
    awaitedColumn = column;
}

void BiffSheetCells::GiveAwaitedText(const QString &text) {
    if (awaitedRow >= 0)
        Put(awaitedRow, awaitedColumn, text);
    awaitedRow = -1;
}

void BiffSheetCells::Emit(
    const std::function<bool(int rowNumber, const QStringList &cells)> &row) const {
    SheetRowEmitter emitter(row);
    for (const auto &[number, cells] : rows)
        if (!emitter.Give(number + 1, cells))
            return;
}
