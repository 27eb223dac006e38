#pragma once

#include "formats/ReadBudget.h"
#include "formats/SheetRowEmitter.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <map>

// The kept cells (columns A and B) of one .xls sheet, gathered by row: the records
// of a sheet may come in any order, the rows are handed on in order once the sheet
// has been read. Cells of other columns are dropped as they come.
class BiffSheetCells {
public:
    static constexpr int MaxColumns = 256;

    BiffSheetCells(const QString &sheetName, const ReadBudget &budget)
        : sheetName(sheetName), budget(budget) {}

    // Whether a cell of this 0-based column is kept; throws LexomatError for a
    // column beyond the format's 256.
    bool Keeps(int column) const;
    void Put(int row, int column, const QString &text);
    // A formula whose text result comes in the STRING record after it.
    void AwaitText(int row, int column);
    // The STRING record's text goes to the formula before it, if any.
    void GiveAwaitedText(const QString &text);
    void ForgetAwaitedText() { awaitedRow = -1; }

    void Emit(const std::function<bool(int rowNumber, const QStringList &cells)> &row) const;

private:
    QString sheetName;
    ReadBudget budget; // what gathering the rows keeps, on top of the workbook's tables
    std::map<int, SheetRow> rows;
    int awaitedRow = -1;
    int awaitedColumn = -1;
};
