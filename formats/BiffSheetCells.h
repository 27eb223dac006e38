#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <map>

// The cells of one .xls sheet, gathered by row: the records of a sheet may come in
// any order, the rows are handed on in order once the sheet has been read.
class BiffSheetCells {
public:
    static constexpr int MaxColumns = 256;

    explicit BiffSheetCells(const QString &sheetName) : sheetName(sheetName) {}

    // Throws LexomatError for a column beyond the format's 256.
    void Put(int row, int column, const QString &text);
    // A formula whose text result comes in the STRING record after it.
    void AwaitText(int row, int column);
    // The STRING record's text goes to the formula before it, if any.
    void GiveAwaitedText(const QString &text);
    void ForgetAwaitedText() { awaitedRow = -1; }

    void Emit(const std::function<bool(int rowNumber, const QStringList &cells)> &row) const;

private:
    QString sheetName;
    std::map<int, QStringList> rows;
    int awaitedRow = -1;
    int awaitedColumn = -1;
};
