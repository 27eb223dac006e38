#pragma once

#include <QObject>
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
// Every failure throws LexomatError with the driver's message and the file name.
class TTable : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };

    // The connection belongs to the data module and outlives the table.
    explicit TTable(LibraryConnection &connection, QObject *parent = nullptr);
    ~TTable() override;

    QString TableName() const;
    void SetTableName(const QString &name); // "Library" or "TotalTime"; table must be closed

    // Open/close. Open is cheap: rows are listed only when first needed.
    void Open();
    void Close();
    bool Active() const;
    void SetActive(bool on);
    State GetState() const;

    // Navigation over the presented rows (filtered and sorted).
    void First();
    void Last();
    void Next();
    void Prior();
    bool Eof() const;
    bool Bof() const;
    int RecNo() const; // 0-based index of the current row, -1 when there is none
    void SetRecNo(int index);
    int RecordCount(); // rows presented, exact under a filter
    bool IsEmpty();

    // Moves to the first presented row whose field equals value (exact match).
    bool Locate(const QString &fieldName, const QVariant &value);

    // Field access on the current row (or on the edit buffer in Edit/Insert).
    QVariant FieldByName(const QString &fieldName) const;
    int FieldAsInteger(const QString &fieldName) const;
    QString FieldAsString(const QString &fieldName) const;
    void SetFieldValue(const QString &fieldName, const QVariant &value); // Edit/Insert only
    QStringList FieldNames() const;

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

    // Display links: while disabled, grids and bound edits are not told of changes;
    // enabling them again tells them once.
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const;

    // The display links off for a scope, on again however the scope is left.
    class ControlsOff {
    public:
        explicit ControlsOff(TTable &table) : table(table) { table.DisableControls(); }
        ~ControlsOff() { table.EnableControls(); }
        ControlsOff(const ControlsOff &) = delete;
        ControlsOff &operator=(const ControlsOff &) = delete;

    private:
        TTable &table;
    };
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

    // A display hook on a text field: the grid shows what it returns for each value.
    using GetTextHook = std::function<QString(const QVariant &value)>;
    void SetOnGetText(const QString &fieldName, GetTextHook hook);

    // For the model: all values of the presented row at index (table order), and the
    // text a grid shows for a value of a column (through the display hook if any).
    QVariantList RowValuesAt(int index);
    // All values of the row with this ID (rowid), whatever the filter; empty when the
    // table has no such row. One primary-key lookup; the current row does not move.
    QVariantList RowValuesByID(qint64 id);
    QString DisplayText(int column, const QVariant &value) const;

    // Reads the rows again, keeping the current row where it still is (after the file
    // changed behind the dataset, e.g. a rolled-back save).
    void Refresh();
    // Closes and drops every statement on the connection, before it is closed.
    void ReleaseConnection();

signals:
    void stateChanged(); // Inactive/Browse/Edit/Insert changed
    void rowChanged();   // current row moved or its values changed
    void dataReset();    // presented rows changed (open, filter, sort, post, delete)

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
