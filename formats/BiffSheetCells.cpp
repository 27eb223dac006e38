#include "formats/BiffSheetCells.h"
#include "platform/LexomatError.h"

namespace {
constexpr qint64 RowBytes = 96; // a row's node in the map and its two empty texts
}

bool BiffSheetCells::Keeps(int column) const {
    if (column >= MaxColumns)
        throw LexomatError(
            QStringLiteral("The workbook is damaged: a cell of “%1” lies in column %2.")
                .arg(sheetName)
                .arg(column + 1));
    return SheetRow::Keeps(column);
}

void BiffSheetCells::Put(int row, int column, const QString &text) {
    if (!Keeps(column) || text.isEmpty())
        return;
    auto it = rows.find(row);
    if (it == rows.end()) {
        budget.Keep(RowBytes);
        it = rows.emplace(row, SheetRow()).first;
    }
    budget.Keep(ReadBudget::TextBytes(text.size()));
    it->second.Put(column, text);
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
    SheetRowEmitter emitter(row, budget, sheetName);
    for (const auto &[number, cells] : rows)
        if (!emitter.Give(number + 1, cells))
            return;
}
