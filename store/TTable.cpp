#include "store/TTable.h"

#include "platform/LexomatError.h"
#include "store/ConnectionTables.h"
#include "store/SqliteStatement.h"
#include "store/TTableModel.h"
#include "store/TableAccess.h"
#include "store/TableCursor.h"
#include "store/TableEditBuffer.h"
#include "store/TableFilter.h"
#include "store/WholeNumber.h"

struct TTable::Impl {
    ConnectionTables tables;
    TableCursor cursor{tables};
    TableEditBuffer buffer;
    TTableModel *model = nullptr;

    explicit Impl(LibraryConnection &connection) : tables(connection) {}

    const QString &TableName() const { return tables.TableName(); }
    TableAccess &Access() const { return *tables.Access(); }

    void RequireActive() const {
        if (!cursor.IsOpen())
            throw LexomatError(QString("The table %1 is not open.").arg(TableName()));
    }

    void RequireEditing() const {
        if (!buffer.Editing())
            throw LexomatError(QString("The table %1 is not being edited.").arg(TableName()));
    }

    int Column(const QString &fieldName) const {
        RequireActive();
        const int column = ColumnIndex(Access().Columns(), fieldName);
        if (column < 0)
            throw LexomatError(
                QString("The table %1 has no field %2.").arg(TableName(), fieldName));
        return column;
    }
};

TTable::TTable(LibraryConnection &connection, QObject *parent)
    : TableLink(parent), d(std::make_unique<Impl>(connection)) {}

TTable::~TTable() = default;

void TTable::ReleaseConnection() {
    Close();
    d->tables.Release();
}

void TTable::LetGoOfFile() {
    d->tables.Suspend();
}

void TTable::TakeFileAgain() {
    d->tables.Resume();
    // Rows a view painted meanwhile could not be read.
    Notify(NoticeReset);
}

void TTable::ForgetReads() {
    d->tables.Forget();
    Refresh();
}

QString TTable::TableName() const {
    return d->TableName();
}

void TTable::SetTableName(const QString &name) {
    if (Active())
        throw LexomatError(QString("The table %1 must be closed before it serves table %2.")
                               .arg(d->TableName(), name));
    d->tables.SetTableName(name);
}

void TTable::Open() {
    if (Active())
        return;
    d->tables.Serve();
    d->cursor.Open();
    d->buffer.Clear();
    Notify(NoticeState | NoticeReset | NoticeRow);
}

void TTable::Close() {
    if (!Active())
        return;
    d->buffer.Clear();
    d->cursor.Close();
    Notify(NoticeState | NoticeReset | NoticeRow);
}

bool TTable::Active() const {
    return d->cursor.IsOpen();
}

void TTable::SetActive(bool on) {
    if (on)
        Open();
    else
        Close();
}

TTable::State TTable::GetState() const {
    if (!Active())
        return State::Inactive;
    const TableEditBuffer::Mode mode = d->buffer.GetMode();
    return mode == TableEditBuffer::Mode::Edit     ? State::Edit
           : mode == TableEditBuffer::Mode::Insert ? State::Insert
                                                   : State::Browse;
}

void TTable::First() {
    Post(); // a row in edit is written first
    d->cursor.First();
    Notify(NoticeRow);
}

void TTable::Last() {
    Post();
    d->cursor.Last();
    Notify(NoticeRow);
}

void TTable::Next() {
    Post();
    if (d->cursor.Next())
        Notify(NoticeRow);
}

void TTable::Prior() {
    Post();
    if (d->cursor.Prior())
        Notify(NoticeRow);
}

bool TTable::Eof() const {
    return d->cursor.Eof();
}

bool TTable::Bof() const {
    return d->cursor.Bof();
}

int TTable::RecNo() const {
    return d->cursor.RecNo();
}

void TTable::SetRecNo(int index) {
    Post();
    if (d->cursor.SetRecNo(index))
        Notify(NoticeRow);
}

int TTable::RecordCount() {
    return d->cursor.Count();
}

bool TTable::IsEmpty() {
    return RecordCount() == 0;
}

bool TTable::Locate(const QString &fieldName, const QVariant &value) {
    const int column = d->Column(fieldName);
    if (d->buffer.Editing())
        Post();
    if (!d->cursor.Locate(column, value))
        return false;
    Notify(NoticeRow);
    return true;
}

QVariant TTable::FieldByName(const QString &fieldName) const {
    return d->buffer.FieldValue(d->Column(fieldName), d->cursor);
}

int TTable::FieldAsInteger(const QString &fieldName) const {
    const QVariant value = FieldByName(fieldName);
    if (const std::optional<int32_t> n = WholeNumberOf(value))
        return *n;
    QString where;
    if (GetState() == State::Browse && d->cursor.HasCurrent())
        where = QString(" in row %1").arg(d->cursor.CurrentRowid());
    throw LexomatError(QString("The library file \"%1\" has a %2 that is not a whole number "
                               "(%3)%4.")
                           .arg(SqliteFileName(d->tables.Handle()), fieldName,
                                value.isNull() ? QString("empty") : "\"" + value.toString() + "\"",
                                where));
}

QString TTable::FieldAsString(const QString &fieldName) const {
    return FieldByName(fieldName).toString();
}

void TTable::SetFieldValue(const QString &fieldName, const QVariant &value) {
    const int column = d->Column(fieldName);
    d->RequireEditing();
    d->buffer.Set(column, value);
    Notify(NoticeRow);
}

QStringList TTable::FieldNames() const {
    return d->tables.FieldNames();
}

QString TTable::FieldNameAt(int column) const {
    const TableAccess *access = d->tables.Access();
    if (access && column >= 0 && size_t(column) < access->Columns().size())
        return access->Columns()[size_t(column)].name;
    return {};
}

void TTable::Edit() {
    d->RequireActive();
    if (d->buffer.Editing())
        return;
    if (!d->cursor.HasCurrent()) {
        // Editing an empty table starts a new row, as adding does.
        Append();
        return;
    }
    d->buffer.Start(TableEditBuffer::Mode::Edit, d->cursor.CurrentRowid(),
                    d->Access().Columns().size());
    Notify(NoticeState | NoticeRow);
}

void TTable::Insert() {
    d->RequireActive();
    if (d->buffer.Editing())
        Post();
    d->buffer.Start(TableEditBuffer::Mode::Insert, 0, d->Access().Columns().size());
    Notify(NoticeState | NoticeRow);
}

void TTable::Append() {
    Insert();
}

void TTable::Post() {
    d->RequireActive();
    if (d->buffer.Post(d->Access(), d->cursor))
        Notify(NoticeState | NoticeReset | NoticeRow);
}

void TTable::Cancel() {
    if (!d->buffer.Editing())
        return;
    d->buffer.Clear();
    Notify(NoticeState | NoticeRow);
}

void TTable::Delete() {
    d->RequireActive();
    if (d->buffer.GetMode() == TableEditBuffer::Mode::Insert) {
        Cancel();
        return;
    }
    Cancel();
    d->cursor.DeleteCurrent();
    Notify(NoticeReset | NoticeRow);
}

TTable::KeptValues TTable::AllKeptValues() {
    d->RequireActive();
    TableAccess &access = d->Access();
    if (access.CachedColumn() < 0)
        throw LexomatError(QString("The table %1 has no level field.").arg(d->TableName()));
    access.Unseek();
    const std::vector<int64_t> &ids = access.BaseIds();
    return {&ids, &access.Ints()};
}

// Before other rows are presented: a row in edit is written, or dropped when nothing
// was set in it (a new row left empty would fail its NOT NULL columns).
static void CheckBrowseMode(TTable &table, const TableEditBuffer &buffer) {
    if (!buffer.Editing())
        return;
    if (buffer.AnySet())
        table.Post();
    else
        table.Cancel();
}

void TTable::SetFieldInAllRows(const QString &fieldName, const QVariant &value) {
    const int column = d->Column(fieldName);
    CheckBrowseMode(*this, d->buffer);
    d->Access().UpdateAll(column, value);
    d->cursor.AfterWriteAll(column);
    Notify(NoticeReset | NoticeRow);
}

QString TTable::Filter() const {
    return d->cursor.FilterText();
}

void TTable::SetFilter(const QString &filterText) {
    if (d->cursor.Filtered()) {
        const TableFilter parsed = TableFilter::Parse(filterText);
        CheckBrowseMode(*this, d->buffer);
        d->cursor.ApplyFilter(parsed);
        d->cursor.SetFilterText(filterText);
        Notify(NoticeReset | NoticeRow);
    } else {
        d->cursor.SetFilterText(filterText);
    }
}

bool TTable::Filtered() const {
    return d->cursor.Filtered();
}

void TTable::SetFiltered(bool on) {
    if (on == d->cursor.Filtered())
        return;
    const TableFilter parsed = on ? TableFilter::Parse(d->cursor.FilterText()) : TableFilter();
    CheckBrowseMode(*this, d->buffer);
    d->cursor.ApplyFilter(parsed);
    d->cursor.SetFilteredFlag(on);
    Notify(NoticeReset | NoticeRow);
}

QString TTable::Sort() const {
    return d->cursor.SortText();
}

bool TTable::SetSort(const QString &sortText) {
    const TableSort parsed = d->cursor.ParseSort(sortText);
    CheckBrowseMode(*this, d->buffer);
    if (!d->cursor.ApplySort(sortText, parsed))
        return false;
    Notify(NoticeReset | NoticeRow);
    return true;
}

void TTable::SetWorkProgress(WorkProgress progress) {
    d->cursor.SetWorkProgress(std::move(progress));
}

QAbstractItemModel *TTable::Model() {
    if (!d->model)
        d->model = new TTableModel(this, this);
    return d->model;
}

QVariantList TTable::RowValuesAt(int index) {
    return d->cursor.RowValuesAt(index);
}

QVariantList TTable::RowValuesByID(qint64 id) {
    d->RequireActive();
    const std::vector<QVariant> values = d->Access().ReadRow(id);
    return QVariantList(values.begin(), values.end());
}

void TTable::Refresh() {
    if (d->tables.Access())
        d->tables.Access()->Unseek();
    d->tables.MarkAllStale();
    if (!Active())
        return;
    d->cursor.Refresh();
    Notify(NoticeReset | NoticeRow);
}
