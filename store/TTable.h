#pragma once

#include "store/TableLink.h"

#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

class LibraryConnection;
class QAbstractItemModel;

// A table dataset in the classic sense over one table of the library file: a
// current row, navigation, edit states, a filter and a sort, and display links
// (an item model for grids and the current-row signals for bound edit boxes).
//
// Rows are presented on demand: the dataset keeps the presented order as a list of
// row identities and reads a row's texts only when something asks for them, so
// a million-row table stays cheap to open, count, filter and show.
//
// Its roles are in classes of their own: the edit buffer (TableEditBuffer), the
// presented rows with filter, sort and the current row (TableCursor), the tables it
// serves on the connection (ConnectionTables) and the link to grids (TableLink).
//
// Every failure throws LexomatError with the driver's message and the file name.
class TTable : public TableLink {
    Q_OBJECT
public:
    // The connection belongs to the data module and outlives the table.
    explicit TTable(LibraryConnection &connection, QObject *parent = nullptr);
    ~TTable() override;

    QString TableName() const;
    void SetTableName(const QString &name); // "Library" or "TotalTime"; table must be closed

    // Open/close. Open is cheap: rows are listed only when first needed.
    void Open();
    void Close();
    bool Active() const override;
    void SetActive(bool on);
    State GetState() const override;

    // Navigation over the presented rows (filtered and sorted).
    void First();
    void Last();
    void Next();
    void Prior();
    bool Eof() const;
    bool Bof() const;
    int RecNo() const override; // 0-based index of the current row, -1 when there is none
    void SetRecNo(int index) override;
    int RecordCount() override; // rows presented, exact under a filter
    bool IsEmpty();

    // Moves to the first presented row whose field equals value (exact match).
    bool Locate(const QString &fieldName, const QVariant &value);

    // Field access on the current row (or on the edit buffer in Edit/Insert).
    QVariant FieldByName(const QString &fieldName) const override;
    int FieldAsInteger(const QString &fieldName) const;
    QString FieldAsString(const QString &fieldName) const;
    void SetFieldValue(const QString &fieldName, const QVariant &value); // Edit/Insert only
    QStringList FieldNames() const override;

    // Edit states. Insert and Append both add a new row at Post; Post writes it and
    // makes it current. Cancel drops the edit buffer. Delete removes the current row.
    void Edit();
    void Insert();
    void Append();
    void Post();
    void Cancel();
    void Delete();
    // Every row of the table, whatever the filter, with the whole-number field the store
    // keeps in memory (a card's level), in ascending order of ID. One scan of the file
    // when it changed, else nothing; valid until the table or the file changes.
    struct KeptValues {
        const std::vector<int64_t> *ids;
        const std::vector<int32_t> *values;
    };
    KeptValues AllKeptValues();
    // Sets one field of every row of the table, whatever the filter, in one statement.
    // Browse state only; the current row stays where it is.
    void SetFieldInAllRows(const QString &fieldName, const QVariant &value);

    // Filter: "ID=12 OR ID=7 OR ID=-1" (any length) or "Word Like '%text%'" with
    // quotes doubled. Anything else is refused with LexomatError when applied.
    QString Filter() const;
    void SetFilter(const QString &filterText);
    bool Filtered() const;
    void SetFiltered(bool on);

    // Sort: "Word ASC", "Word DESC", "Definition ASC", "Definition DESC",
    // "ImportanceField ASC", "ImportanceField DESC", or empty for the table's order.
    // A sort on a text field of many rows takes a while: it is made at once, telling the
    // work progress how far it came, and returns false when that stopped it (the
    // previous sort and order then stay). The order is kept while the file is unchanged,
    // so the other direction and sorts under a filter are quick.
    QString Sort() const;
    bool SetSort(const QString &sortText);
    using WorkProgress = std::function<bool(qint64 done, qint64 total)>;
    void SetWorkProgress(WorkProgress progress);

    // The table closed when the scope is left, however it is left.
    class ClosedAtEnd {
    public:
        explicit ClosedAtEnd(TTable &table) : table(table) {}
        ~ClosedAtEnd() { table.Close(); }
        ClosedAtEnd(const ClosedAtEnd &) = delete;
        ClosedAtEnd &operator=(const ClosedAtEnd &) = delete;

    private:
        TTable &table;
    };

    // The model through which grids show the presented rows: one column per field in
    // table order, headers are the field names. Read-only through the model.
    QAbstractItemModel *Model();

    // For the model: all values of the presented row at index (table order).
    QVariantList RowValuesAt(int index) override;
    // All values of the row with this ID (rowid), whatever the filter; empty when the
    // table has no such row. One primary-key lookup; the current row does not move.
    QVariantList RowValuesByID(qint64 id);

    // Reads the rows again, keeping the current row where it still is (after the file
    // changed behind the dataset, e.g. a rolled-back save).
    void Refresh();
    // Closes and drops every statement on the connection, before it is closed.
    void ReleaseConnection();
    // Around closing the file and opening it again under another name, with nothing
    // changed in it: the table stays open with its rows, filter, sort, current row and
    // edit. LetGoOfFile drops the statements before the connection closes; TakeFileAgain
    // goes on with the connection open again, keeping what was read of the file and still
    // current; ForgetReads reads it all again, should the file have changed meanwhile.
    void LetGoOfFile();
    void TakeFileAgain();
    void ForgetReads();

protected:
    QString FieldNameAt(int column) const override;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
