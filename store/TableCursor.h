#pragma once

#include "store/PresentedRows.h"
#include "store/TableFilter.h"
#include "store/TableSort.h"

#include <QString>
#include <QVariant>
#include <cstdint>
#include <functional>
#include <vector>

class ConnectionTables;
class TableAccess;

// The rows a table dataset presents, filtered and sorted, and where it stands among
// them: the current row and the two ends. Rows are listed only when first needed: a row
// found by a direct lookup before that is current without listing anything, so a
// million-row table stays cheap to open, count, filter and show.
//
// Methods that move the current row say so; telling the views is the dataset's.
class TableCursor {
public:
    using WorkProgress = std::function<bool(qint64 done, qint64 total)>;

    explicit TableCursor(ConnectionTables &tables);
    ~TableCursor();
    TableCursor(const TableCursor &) = delete;
    TableCursor &operator=(const TableCursor &) = delete;

    // Presents the rows of the table served (its access made), checking the filter and
    // sort against its columns first; throws LexomatError when they do not fit it.
    void Open();
    // A sort lasts until the rows are closed; the filter stays.
    void Close();
    bool IsOpen() const { return open; }

    // Navigation; throws LexomatError when the rows are not open.
    void First();
    void Last();
    bool Next(); // false at the end: eof is set, the row stays
    bool Prior();
    bool Eof();
    bool Bof();
    int RecNo();
    bool SetRecNo(int index); // throws for a row that is not presented; true when it moved
    int Count();              // rows presented, 0 when not open
    // Moves to the first presented row whose column equals value; false when none.
    bool Locate(int column, const QVariant &value);

    bool HasCurrent();
    int64_t CurrentRowid();
    QVariant CurrentValue(int column);
    // All values of the presented row at index; empty when there is no such row.
    QVariantList RowValuesAt(int index);

    // After the dataset wrote one row: keeps it current while it is presented, else
    // stays where the list was. moved: a column that places it (sort, filter) changed.
    void AfterWrite(int64_t rowid, bool inserted, bool moved);
    // Deletes the current row from the table; throws when there is none.
    void DeleteCurrent();
    // After the dataset wrote column in every row.
    void AfterWriteAll(int column);
    // True when column decides which rows are presented or their order.
    bool DependsOn(int column) const;
    // Reads the rows again after the file changed behind them, keeping the current row
    // where it still is.
    void Refresh();

    // Filter: the text as set, whether it is switched on, and the parsed filter applied.
    const QString &FilterText() const { return filterText; }
    void SetFilterText(const QString &text) { filterText = text; }
    bool Filtered() const { return filtered; }
    void SetFilteredFlag(bool on) { filtered = on; }
    void ApplyFilter(const TableFilter &parsed);

    // Sort: the text as set. ParseSort resolves a text against the open table's columns
    // (nothing to resolve while closed) and throws when it is not a sort; ApplySort
    // makes the order, telling the work progress how far it came, and returns false when
    // that stopped it (the previous sort and order stay).
    const QString &SortText() const { return sortText; }
    TableSort ParseSort(const QString &text) const;
    bool ApplySort(const QString &text, const TableSort &parsed);
    void SetWorkProgress(WorkProgress progress) { workProgress = std::move(progress); }

private:
    void RequireOpen() const;
    void Materialize();
    void Represent(bool keepCurrent);
    void ResetRows();
    void MoveTo(int index);
    TableFilter ForThisTable(const TableFilter &parsed) const;
    TableAccess &Access() const;

    ConnectionTables &tables;
    bool open = false;
    bool materialized = false;
    PresentedRows rows;
    int cur = -1;
    bool eof = true;
    bool bof = true;
    // A row found by a direct lookup before the rows were listed.
    bool pending = false;
    int64_t pendingRowid = 0;

    bool rowCached = false;
    int64_t cachedRowid = 0;
    std::vector<QVariant> rowValues;

    QString filterText;
    bool filtered = false;
    TableFilter wanted; // the filter switched on, whatever table is served
    TableFilter filter; // the filter in force on the table served now
    QString sortText;
    TableSort sort;
    WorkProgress workProgress;
};
