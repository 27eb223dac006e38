#pragma once

#include <QStringList>
#include <functional>

// Hands a sheet's rows to a reader's caller in the promised shape: ascending
// 1-based row numbers, empty rows between filled ones as empty lists, no trailing
// empty cells, nothing after the last row that holds a non-empty cell.
class SheetRowEmitter {
public:
    using RowFunction = std::function<bool(int rowNumber, const QStringList &cells)>;
    // No spreadsheet holds more rows than this.
    static constexpr qint64 MaxRows = 1048576;

    explicit SheetRowEmitter(const RowFunction &row) : row(row) {}

    // Gives one stored row. Returns false once the caller has asked to stop. Throws
    // LexomatError when rows come out of order.
    bool Give(qint64 rowNumber, QStringList cells);
    bool Stopped() const { return stopped; }

private:
    const RowFunction &row;
    qint64 nextRow = 1;
    bool stopped = false;
};
