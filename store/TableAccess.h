#pragma once

#include "store/SqliteStatement.h"
#include "store/TableColumns.h"

#include <QVariant>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

struct sqlite3;

// Every read and write of one table on the raw handle, by SQLite rowid (the ID column
// of Library is that rowid; TotalTime has none of its own).
//
// It keeps the "base list": all rowids in ascending order with the values of one
// integer column (ImportanceField, TotalTime), 12 bytes a row. The list outlives a
// close of the dataset and stays valid while nothing else changed the file: another
// connection's commit changes PRAGMA data_version, a statement of ours changes
// sqlite3_total_changes, a rollback marks it stale.
class TableAccess {
public:
    TableAccess(sqlite3 *db, const QString &table); // throws when the table is missing
    ~TableAccess();

    const QString &Table() const { return table; }
    const std::vector<TableColumn> &Columns() const { return columns; }
    int IdentityColumn() const { return identityColumn; } // -1 when rows have only a rowid
    int CachedColumn() const { return cachedColumn; }     // -1 when no integer column
    sqlite3 *Handle() const { return db; }

    void MarkStale() {
        stale = true;
        verifiedInTransaction = false;
    }
    // Called when a transaction ends: another connection may write from then on.
    void TransactionEnded() { verifiedInTransaction = false; }
    // Across closing the file and opening it again (under another name) with nothing
    // changed in it: Suspend lets go of the connection before it closes, noting whether
    // the list is current; Resume goes on with the new connection, keeping the list when
    // it was.
    void Suspend();
    void Resume(sqlite3 *db);
    bool BaseCurrent();
    const std::vector<int64_t> &BaseIds(); // builds the list when needed
    const std::vector<int32_t> &BaseInts() { return BaseIds(), baseInts; }
    // Position of a rowid in the base list, or -1.
    int64_t BaseIndex(int64_t rowid);
    // The list as it stands, without checking the file (for a dataset that has listed
    // its rows and keeps them while open). Valid() says whether writes kept it true.
    bool Valid() const;
    const std::vector<int64_t> &Ids() const { return baseIds; }
    const std::vector<int32_t> &Ints() const { return baseInts; }
    int64_t IndexUnchecked(int64_t rowid) const;

    bool Exists(int64_t rowid);
    // Positions the row reader on a row and keeps it there, so that finding a row and
    // reading some of its fields costs one lookup. Any other use of the table, and
    // Unseek, lets go of it (and of the read lock it holds).
    bool Seek(int64_t rowid);
    bool Seeked(int64_t rowid) const { return seeked && seekedRowid == rowid; }
    QVariant SeekedValue(int column) const { return readRow.Value(column); }
    void Unseek();
    int64_t MaxRowid();
    // All columns of one row in table order; empty when the row does not exist.
    std::vector<QVariant> ReadRow(int64_t rowid);
    // Calls back for each row in rowid order with the UTF-8 text of one column.
    void ScanText(int column, const std::function<void(int64_t, const char *, int)> &each);
    // Rows whose column equals value, ascending.
    std::vector<int64_t> RowsWhereEquals(int column, const QVariant &value);

    // Values in table order; only columns whose flag is set are written. Values are
    // converted to the column's type first (a text that is no whole number in an
    // integer column is refused).
    int64_t Insert(const std::vector<QVariant> &values, const std::vector<bool> &set);
    void Update(int64_t rowid, const std::vector<QVariant> &values, const std::vector<bool> &set);
    void Delete(int64_t rowid);
    // One statement that sets a column in every row of the table.
    void UpdateAll(int column, const QVariant &value);

private:
    void PrepareStatements();
    void RequireConnection() const;
    QVariant Converted(int column, const QVariant &value) const;
    bool TryConverted(int column, const QVariant &value, QVariant *converted,
                      QString *refusal) const;
    // Refuses an insert whose new rowid would not fit a 32-bit ID.
    void CheckNextIdentity(const std::vector<bool> &set);
    bool ConvertedSet(const std::vector<QVariant> &values, const std::vector<bool> &set,
                      std::vector<QVariant> &converted) const;
    void BuildBase();
    void Resnapshot(bool wasCurrent);
    int64_t DataVersion();

    sqlite3 *db;
    QString table;
    QByteArray quotedTable;
    std::vector<TableColumn> columns;
    int identityColumn = -1;
    int cachedColumn = -1;

    std::vector<int64_t> baseIds;
    std::vector<int32_t> baseInts;
    bool baseValid = false;
    bool stale = false;
    // Inside a write transaction no other connection can commit, so one check of the
    // file's version holds until the transaction ends.
    bool verifiedInTransaction = false;
    bool carried = false; // the list was current when the connection was let go
    int64_t snapVersion = 0;
    int64_t snapChanges = 0;

    SqliteStatement readRow, exists, dataVersion, deleteRow;
    bool seeked = false;
    int64_t seekedRowid = 0;
    // Keyed by the columns a statement writes.
    std::map<std::vector<bool>, SqliteStatement> inserts, updates;
};
