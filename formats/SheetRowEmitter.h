#pragma once

#include "formats/ReadBudget.h"
#include "formats/RowLimits.h"

#include <QString>
#include <QStringList>
#include <functional>

// The cells of one sheet row that a reader keeps: columns A and B (the word and the
// definition). Every other cell is dropped as it is read, so that a row never costs
// more than two texts, wherever its cells lie.
class SheetRow {
public:
    static constexpr int KeptColumns = 2;

    // Whether a 0-based column is kept: a reader need not even decode the others.
    static bool Keeps(qint64 column) { return column >= 0 && column < KeptColumns; }

    // Keeps the text of a 0-based column; other columns are ignored.
    void Put(qint64 column, const QString &text) {
        if (Keeps(column))
            cells[column] = text;
    }
    const QString &Cell(int column) const { return cells[column]; }
    bool IsEmpty() const { return cells[0].isEmpty() && cells[1].isEmpty(); }
    void Clear() { *this = SheetRow(); }

private:
    QString cells[KeptColumns];
};

// Hands a sheet's rows to a reader's caller in the promised shape and within the
// limits every reader keeps: ascending 1-based row numbers up to MaxRows, empty rows
// between filled ones as empty lists, columns A and B only, no trailing empty cells,
// nothing after the last row that holds a non-empty cell, no cell text longer than a
// spreadsheet cell can hold, and no more text than the file's read budget allows.
class SheetRowEmitter {
public:
    using RowFunction = std::function<bool(int rowNumber, const QStringList &cells)>;
    // No spreadsheet holds more rows than this.
    static constexpr qint64 MaxRows = 1048576;
    // Nor more characters in a cell. Readers gather at most one character more (see
    // CappedAppend), which is enough to know that a cell is too long.
    static constexpr qsizetype MaxCellText = RowLimits::MaxCellText;

    SheetRowEmitter(const RowFunction &row, const ReadBudget &budget, const QString &sheetName);

    // Gives one stored row. Returns false once the caller has asked to stop. Throws
    // LexomatError when rows come out of order, a kept cell is too long or the
    // budget is spent.
    bool Give(qint64 rowNumber, const SheetRow &cells);
    bool Stopped() const { return stopped; }

    // Appends to a cell's text while it is read, never beyond MaxCellText + 1
    // characters.
    static void CappedAppend(QString &text, QStringView more);

private:
    const RowFunction &row;
    RowLimits limits;
    qint64 nextRow = 1;
    bool stopped = false;
};
