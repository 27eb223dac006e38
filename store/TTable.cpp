#include "store/TTable.h"

#include "platform/LexomatError.h"
#include "store/PresentedRows.h"
#include "store/RowFilter.h"
#include "store/SearchIndex.h"
#include "store/SqliteStatement.h"
#include "store/TTableModel.h"
#include "store/TableAccess.h"
#include "store/TableFilter.h"
#include "store/TextColumnOrders.h"

#include "store/LibraryConnection.h"

#include <QHash>
#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <sqlite3.h>

namespace {
enum Notice { NoticeState = 1, NoticeRow = 2, NoticeReset = 4 };

} // namespace

struct TTable::Impl {
    TTable *q;
    LibraryConnection &connection;
    QString tableName = "Library";
    std::map<QString, std::unique_ptr<TableAccess>> accesses; // by lower-case table name
    TableAccess *access = nullptr;
    sqlite3 *db = nullptr;

    bool active = false;
    State state = State::Inactive;

    // The presented rows, listed when first needed.
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

    std::vector<QVariant> buffer;
    std::vector<bool> changed;
    int64_t editRowid = 0;

    QString filterText;
    bool filtered = false;
    TableFilter wanted; // the filter switched on, whatever table is served
    TableFilter filter; // the filter in force on the table served now
    QString sortText;
    int sortColumn = -1;
    bool sortDescending = false;

    int disabled = 0;
    int pendingNotices = 0;
    QHash<QString, GetTextHook> hooks;
    SearchIndex searchIndex;     // the searched texts, kept while the file does not change
    TextColumnOrders textOrders; // the same for the order of text fields
    TTable::WorkProgress workProgress;
    TTableModel *model = nullptr;

    Impl(TTable *q, LibraryConnection &connection) : q(q), connection(connection) {}

    // A rollback may undo writes that the listed rows already show.
    static void RollbackHook(void *self) { static_cast<Impl *>(self)->MarkAllStale(); }
    static int CommitHook(void *self) {
        for (auto &[name, table] : static_cast<Impl *>(self)->accesses)
            table->TransactionEnded();
        return 0; // let the commit go on
    }
    void MarkAllStale() {
        for (auto &[name, table] : accesses)
            table->MarkStale();
    }

    void Notify(int notices) {
        if (disabled > 0) {
            pendingNotices |= notices;
            return;
        }
        if (notices & NoticeState)
            emit q->stateChanged();
        if (notices & NoticeReset)
            emit q->dataReset();
        if (notices & NoticeRow)
            emit q->rowChanged();
    }

    sqlite3 *Handle() {
        if (!connection.IsOpen())
            throw LexomatError(
                QString("The table %1 cannot be used: no library file is open.").arg(tableName));
        return connection.Handle();
    }

    void EnsureAccess() {
        // The data module releases the table before it closes the connection, so a
        // handle once taken stays good until then.
        if (!db)
            db = Handle();
        auto &slot = accesses[tableName.toLower()];
        if (!slot)
            slot = std::make_unique<TableAccess>(db, tableName);
        if (!access) {
            sqlite3_rollback_hook(db, RollbackHook, this);
            sqlite3_commit_hook(db, CommitHook, this);
        }
        access = slot.get();
    }

    void DropAccesses() {
        if (db) {
            sqlite3_rollback_hook(db, nullptr, nullptr);
            sqlite3_commit_hook(db, nullptr, nullptr);
        }
        access = nullptr;
        accesses.clear();
        db = nullptr;
        searchIndex.Clear();
        textOrders.Clear();
    }

    void RequireActive() const {
        if (!active)
            throw LexomatError(QString("The table %1 is not open.").arg(tableName));
    }

    void RequireEditing() const {
        if (state != State::Edit && state != State::Insert)
            throw LexomatError(QString("The table %1 is not being edited.").arg(tableName));
    }

    int Column(const QString &fieldName) const {
        RequireActive();
        const int column = ColumnIndex(access->Columns(), fieldName);
        if (column < 0)
            throw LexomatError(QString("The table %1 has no field %2.").arg(tableName, fieldName));
        return column;
    }

    // --- presented rows ---------------------------------------------------------
    int Count() const { return rows.Count(); }
    int64_t RowidAt(int index) const { return rows.RowidAt(index); }
    int IndexOf(int64_t rowid) const { return rows.IndexOf(rowid); }

    void Materialize() {
        if (materialized)
            return;
        RequireActive();
        access->Unseek();
        rows.Build(*access, filter, sortColumn, sortDescending, textOrders, &searchIndex);
        materialized = true;
        const int count = Count();
        if (pending) {
            pending = false;
            cur = IndexOf(pendingRowid);
            if (cur >= 0) {
                bof = eof = false;
                return;
            }
        }
        cur = count > 0 ? 0 : -1;
        bof = true;
        eof = count == 0;
    }

    // Lists the rows again after a change of filter, sort or file.
    void Represent(bool keepCurrent) {
        if (!active)
            return;
        // Rows not listed yet have no current row to keep, and are not listed for it.
        const bool had = keepCurrent && (pending || (materialized && cur >= 0));
        const int64_t rowid = had ? CurrentRowid() : 0;
        materialized = false;
        pending = had;
        pendingRowid = rowid;
        rowCached = false;
        cur = -1;
    }

    bool HasCurrent() {
        if (pending)
            return true;
        Materialize();
        return cur >= 0;
    }

    int64_t CurrentRowid() { return pending ? pendingRowid : RowidAt(cur); }

    QVariant CurrentValue(int column) {
        if (!HasCurrent())
            return {};
        const int64_t rowid = CurrentRowid();
        if (column == access->IdentityColumn())
            return QVariant(int(rowid));
        if (column == access->CachedColumn() && !pending && access->Valid()) {
            if (rows.IsAll())
                return QVariant(access->Ints()[size_t(cur)]);
            const int64_t b = access->IndexUnchecked(rowid);
            if (b >= 0)
                return QVariant(access->Ints()[size_t(b)]);
        }
        if (pending && access->Seeked(rowid))
            return access->SeekedValue(column);
        if (!rowCached || cachedRowid != rowid) {
            rowValues = access->ReadRow(rowid);
            cachedRowid = rowid;
            rowCached = true;
        }
        return rowValues.empty() ? QVariant() : rowValues[size_t(column)];
    }

    void MoveTo(int index) {
        cur = index;
        bof = eof = false;
        Notify(NoticeRow);
    }

    // Filters are searches and box lists over the cards: they belong to Library, and
    // the table's switch to TotalTime neither applies nor checks them.
    TableFilter ForThisTable(const TableFilter &parsed) const {
        return tableName.compare(QLatin1String("Library"), Qt::CaseInsensitive) == 0
                   ? parsed
                   : TableFilter();
    }

    void ApplyFilter(const TableFilter &parsed) {
        const TableFilter inForce = ForThisTable(parsed);
        // A filter switched on while another table is served is a mistake of the caller.
        if (active)
            RowFilter::Validate(parsed, *access);
        wanted = parsed;
        filter = inForce;
        Represent(false);
    }

    void ResetRows() {
        if (access)
            access->Unseek();
        materialized = false;
        pending = false;
        rows.Clear();
        cur = -1;
        eof = bof = true;
        rowCached = false;
    }

    // Before other rows are presented: a row in edit is written, or dropped when
    // nothing was set in it (a new row left empty would fail its NOT NULL columns).
    void CheckBrowseMode() {
        if (!active || state == State::Browse)
            return;
        if (std::find(changed.begin(), changed.end(), true) != changed.end())
            q->Post();
        else
            q->Cancel();
    }

    void StartEdit(State to, int64_t rowid) {
        buffer.assign(access->Columns().size(), QVariant());
        changed.assign(access->Columns().size(), false);
        editRowid = rowid;
        state = to;
        Notify(NoticeState | NoticeRow);
    }

    void AfterWrite(int64_t rowid, bool inserted, bool moved) {
        rowCached = false;
        if (!materialized) {
            // Without a filter or sort a new row is surely presented, and a row that did
            // not move stays where it was; otherwise only the listed rows can tell where
            // it is, or that it is left out.
            const bool plain = filter.kind == TableFilter::Kind::None && sortColumn < 0;
            if (plain || (!inserted && !moved)) {
                if (inserted) {
                    pending = true;
                    pendingRowid = rowid;
                }
                return;
            }
            Materialize();
        }
        const int before = cur;
        if (access->Valid()) {
            if (inserted || moved)
                rows.Place(rowid);
        } else {
            Represent(false);
            Materialize();
        }
        // Stay on the written row while it is presented, else where the list was.
        cur = IndexOf(rowid);
        const int count = Count();
        if (cur < 0)
            cur = count == 0 ? -1 : std::clamp(before, 0, count - 1);
        bof = eof = count == 0;
    }

    // Resolves a sort text against the table's columns; throws when it is not one.
    static void ParseSort(const QString &text, const std::vector<TableColumn> &columns, int *column,
                          bool *descending) {
        const QStringList parts = text.simplified().split(' ', Qt::SkipEmptyParts);
        *column = -1;
        *descending = false;
        if (parts.isEmpty())
            return;
        const bool directionOk =
            parts.size() == 1 ||
            (parts.size() == 2 && (parts[1].compare("ASC", Qt::CaseInsensitive) == 0 ||
                                   parts[1].compare("DESC", Qt::CaseInsensitive) == 0));
        *column = ColumnIndex(columns, parts[0]);
        if (!directionOk || *column < 0)
            throw LexomatError(QString("The sort \"%1\" is not understood: a sort names a field "
                                       "and ASC or DESC, such as \"Word ASC\".")
                                   .arg(text));
        *descending = parts.size() == 2 && parts[1].compare("DESC", Qt::CaseInsensitive) == 0;
    }
};

TTable::TTable(LibraryConnection &connection, QObject *parent)
    : QObject(parent), d(std::make_unique<Impl>(this, connection)) {}

TTable::~TTable() {
    if (d->db && d->connection.IsOpen())
        d->DropAccesses();
}

void TTable::ReleaseConnection() {
    Close();
    if (d->db && d->connection.IsOpen())
        d->DropAccesses();
    d->access = nullptr;
    d->accesses.clear();
    d->db = nullptr;
    d->searchIndex.Clear();
    d->textOrders.Clear();
}

QString TTable::TableName() const {
    return d->tableName;
}

void TTable::SetTableName(const QString &name) {
    if (d->active)
        throw LexomatError(QString("The table %1 must be closed before it serves table %2.")
                               .arg(d->tableName, name));
    d->tableName = name;
    d->access = nullptr;
}

void TTable::Open() {
    if (d->active)
        return;
    d->EnsureAccess();
    d->filter = d->ForThisTable(d->wanted);
    RowFilter::Validate(d->filter, *d->access);
    Impl::ParseSort(d->sortText, d->access->Columns(), &d->sortColumn, &d->sortDescending);
    d->active = true;
    d->state = State::Browse;
    d->ResetRows();
    d->Notify(NoticeState | NoticeReset | NoticeRow);
}

void TTable::Close() {
    if (!d->active)
        return;
    d->active = false;
    d->state = State::Inactive;
    d->buffer.clear();
    d->changed.clear();
    d->ResetRows();
    // A sort lasts until the table is closed; the filter stays.
    d->sortText.clear();
    d->sortColumn = -1;
    d->Notify(NoticeState | NoticeReset | NoticeRow);
}

bool TTable::Active() const {
    return d->active;
}

void TTable::SetActive(bool on) {
    if (on)
        Open();
    else
        Close();
}

TTable::State TTable::GetState() const {
    return d->state;
}

void TTable::First() {
    if (d->state != State::Browse && d->active)
        Post();
    d->Materialize();
    d->cur = d->Count() > 0 ? 0 : -1;
    d->bof = true;
    d->eof = d->cur < 0;
    d->Notify(NoticeRow);
}

void TTable::Last() {
    if (d->state != State::Browse && d->active)
        Post();
    d->Materialize();
    d->cur = d->Count() - 1;
    d->eof = true;
    d->bof = d->cur < 0;
    d->Notify(NoticeRow);
}

void TTable::Next() {
    if (d->state != State::Browse && d->active)
        Post();
    d->Materialize();
    if (d->cur + 1 < d->Count()) {
        ++d->cur;
        d->bof = false;
        d->Notify(NoticeRow);
    } else {
        d->eof = true;
    }
}

void TTable::Prior() {
    if (d->state != State::Browse && d->active)
        Post();
    d->Materialize();
    if (d->cur > 0) {
        --d->cur;
        d->eof = false;
        d->Notify(NoticeRow);
    } else {
        d->bof = true;
    }
}

bool TTable::Eof() const {
    if (!d->active)
        return true;
    if (d->pending)
        return false;
    d->Materialize();
    return d->eof;
}

bool TTable::Bof() const {
    if (!d->active)
        return true;
    if (d->pending)
        return false;
    d->Materialize();
    return d->bof;
}

int TTable::RecNo() const {
    if (!d->active)
        return -1;
    d->Materialize();
    return d->cur;
}

void TTable::SetRecNo(int index) {
    if (d->state != State::Browse && d->active)
        Post();
    d->Materialize();
    if (index < 0 || index >= d->Count())
        throw LexomatError(QString("The table %1 has no row %2.").arg(d->tableName).arg(index + 1));
    if (index != d->cur || d->pending)
        d->MoveTo(index);
}

int TTable::RecordCount() {
    if (!d->active)
        return 0;
    d->Materialize();
    return d->Count();
}

bool TTable::IsEmpty() {
    return RecordCount() == 0;
}

bool TTable::Locate(const QString &fieldName, const QVariant &value) {
    const int column = d->Column(fieldName);
    if (d->state != State::Browse)
        Post();
    const bool plain = d->filter.kind == TableFilter::Kind::None && d->sortColumn < 0;
    if (column == d->access->IdentityColumn()) {
        bool ok = false;
        const int64_t id = value.toLongLong(&ok);
        if (!ok)
            return false;
        if (!d->materialized && plain) {
            // Before the rows are listed, the table's list (when in memory and current)
            // or else one primary-key lookup is all it takes.
            const bool listed = d->access->BaseCurrent();
            if (listed ? d->access->IndexUnchecked(id) < 0 : !d->access->Seek(id))
                return false;
            d->pending = true;
            d->pendingRowid = id;
            d->rowCached = false;
            d->Notify(NoticeRow);
            return true;
        }
        d->Materialize();
        const int index = d->IndexOf(id);
        if (index < 0)
            return false;
        d->MoveTo(index);
        return true;
    }
    const std::vector<int64_t> rows = d->access->RowsWhereEquals(column, value);
    if (rows.empty())
        return false;
    if (!d->materialized && plain) {
        d->pending = true;
        d->pendingRowid = rows.front();
        d->rowCached = false;
        d->Notify(NoticeRow);
        return true;
    }
    d->Materialize();
    for (int i = 0, n = d->Count(); i < n; ++i)
        if (std::binary_search(rows.begin(), rows.end(), d->RowidAt(i))) {
            d->MoveTo(i);
            return true;
        }
    return false;
}

QVariant TTable::FieldByName(const QString &fieldName) const {
    const int column = d->Column(fieldName);
    if (d->state == State::Insert || d->state == State::Edit) {
        if (d->changed[size_t(column)])
            return d->buffer[size_t(column)];
        if (d->state == State::Insert)
            return {};
    }
    return d->CurrentValue(column);
}

int TTable::FieldAsInteger(const QString &fieldName) const {
    const QVariant value = FieldByName(fieldName);
    if (value.typeId() == QMetaType::Int)
        return value.toInt();
    // Anything else that is not a whole 32-bit number is refused rather than read as 0
    // or rounded: a level or time made up here would be written back as if stored.
    bool ok = false;
    qlonglong n = 0;
    if (value.isNull()) {
        ok = false;
    } else if (value.typeId() == QMetaType::Double) {
        const double v = value.toDouble();
        ok = std::trunc(v) == v && v >= std::numeric_limits<int>::min() &&
             v <= std::numeric_limits<int>::max();
        n = ok ? qlonglong(v) : 0;
    } else if (value.typeId() == QMetaType::QString) {
        n = value.toString().trimmed().toLongLong(&ok);
    } else {
        n = value.toLongLong(&ok);
    }
    if (ok && n >= std::numeric_limits<int>::min() && n <= std::numeric_limits<int>::max())
        return int(n);
    QString where;
    if (d->state == State::Browse && d->HasCurrent())
        where = QString(" in row %1").arg(d->CurrentRowid());
    throw LexomatError(QString("The library file \"%1\" has a %2 that is not a whole number "
                               "(%3)%4.")
                           .arg(SqliteFileName(d->db), fieldName,
                                value.isNull() ? QString("empty") : "\"" + value.toString() + "\"",
                                where));
}

QString TTable::FieldAsString(const QString &fieldName) const {
    return FieldByName(fieldName).toString();
}

void TTable::SetFieldValue(const QString &fieldName, const QVariant &value) {
    const int column = d->Column(fieldName);
    d->RequireEditing();
    d->buffer[size_t(column)] = value;
    d->changed[size_t(column)] = true;
    d->Notify(NoticeRow);
}

QStringList TTable::FieldNames() const {
    if (!d->access) {
        try {
            d->EnsureAccess();
        } catch (const LexomatError &) {
            return {};
        }
    }
    QStringList names;
    for (const TableColumn &c : d->access->Columns())
        names.append(c.name);
    return names;
}

void TTable::Edit() {
    d->RequireActive();
    if (d->state != State::Browse)
        return;
    if (!d->HasCurrent()) {
        // Editing an empty table starts a new row, as adding does.
        Append();
        return;
    }
    d->StartEdit(State::Edit, d->CurrentRowid());
}

void TTable::Insert() {
    d->RequireActive();
    if (d->state != State::Browse)
        Post();
    d->StartEdit(State::Insert, 0);
}

void TTable::Append() {
    Insert();
}

void TTable::Post() {
    d->RequireActive();
    if (d->state == State::Browse)
        return;
    if (d->state == State::Edit) {
        d->access->Update(d->editRowid, d->buffer, d->changed);
        const bool moved = (d->sortColumn >= 0 && d->changed[size_t(d->sortColumn)]) ||
                           (d->filter.kind == TableFilter::Kind::Pattern &&
                            d->changed[size_t(ColumnIndex(d->access->Columns(), d->filter.field))]);
        d->state = State::Browse;
        d->AfterWrite(d->editRowid, false, moved);
    } else {
        const int64_t rowid = d->access->Insert(d->buffer, d->changed);
        d->state = State::Browse;
        d->AfterWrite(rowid, true, true);
    }
    d->buffer.clear();
    d->changed.clear();
    d->Notify(NoticeState | NoticeReset | NoticeRow);
}

void TTable::Cancel() {
    if (d->state != State::Edit && d->state != State::Insert)
        return;
    d->state = State::Browse;
    d->buffer.clear();
    d->changed.clear();
    d->Notify(NoticeState | NoticeRow);
}

void TTable::Delete() {
    d->RequireActive();
    if (d->state == State::Insert) {
        Cancel();
        return;
    }
    Cancel();
    // Listing the rows resolves a row found by lookup to its index.
    d->Materialize();
    if (d->cur < 0)
        throw LexomatError(QString("The table %1 has no row to delete.").arg(d->tableName));
    const int64_t rowid = d->CurrentRowid();
    d->access->Delete(rowid);
    d->rowCached = false;
    if (!d->access->Valid()) {
        const int before = d->cur;
        d->Represent(false);
        d->Materialize();
        d->cur = std::min(before, d->Count() - 1);
    } else {
        d->rows.RemoveAt(d->cur);
    }
    const int count = d->Count();
    if (d->cur >= count)
        d->cur = count - 1;
    d->bof = d->eof = count == 0;
    d->Notify(NoticeReset | NoticeRow);
}

TTable::KeptValues TTable::AllKeptValues() {
    d->RequireActive();
    if (d->access->CachedColumn() < 0)
        throw LexomatError(QString("The table %1 has no level field.").arg(d->tableName));
    d->access->Unseek();
    const std::vector<int64_t> &ids = d->access->BaseIds();
    return {&ids, &d->access->Ints()};
}

void TTable::SetFieldInAllRows(const QString &fieldName, const QVariant &value) {
    const int column = d->Column(fieldName);
    d->CheckBrowseMode();
    d->access->UpdateAll(column, value);
    d->rowCached = false;
    // A filter or sort on that field may present other rows now.
    if (d->sortColumn == column ||
        (d->filter.kind == TableFilter::Kind::Pattern &&
         ColumnIndex(d->access->Columns(), d->filter.field) == column) ||
        !d->access->Valid())
        d->Represent(true);
    d->Notify(NoticeReset | NoticeRow);
}

QString TTable::Filter() const {
    return d->filterText;
}

void TTable::SetFilter(const QString &filterText) {
    if (d->filtered) {
        const TableFilter parsed = TableFilter::Parse(filterText);
        d->CheckBrowseMode();
        d->ApplyFilter(parsed);
        d->filterText = filterText;
        d->Notify(NoticeReset | NoticeRow);
    } else {
        d->filterText = filterText;
    }
}

bool TTable::Filtered() const {
    return d->filtered;
}

void TTable::SetFiltered(bool on) {
    if (on == d->filtered)
        return;
    const TableFilter parsed = on ? TableFilter::Parse(d->filterText) : TableFilter();
    d->CheckBrowseMode();
    d->ApplyFilter(parsed);
    d->filtered = on;
    d->Notify(NoticeReset | NoticeRow);
}

QString TTable::Sort() const {
    return d->sortText;
}

bool TTable::SetSort(const QString &sortText) {
    int column = -1;
    bool descending = false;
    if (d->active)
        Impl::ParseSort(sortText, d->access->Columns(), &column, &descending);
    d->CheckBrowseMode();
    if (column >= 0 && !d->access->Columns()[size_t(column)].integer) {
        d->access->Unseek();
        if (!d->textOrders.Prepare(*d->access, column, d->workProgress))
            return false;
    }
    d->sortText = sortText;
    d->sortColumn = column;
    d->sortDescending = descending;
    d->Represent(true);
    d->Notify(NoticeReset | NoticeRow);
    return true;
}

void TTable::SetWorkProgress(WorkProgress progress) {
    d->workProgress = std::move(progress);
}

void TTable::DisableControls() {
    ++d->disabled;
}

void TTable::EnableControls() {
    if (d->disabled == 0 || --d->disabled > 0)
        return;
    const int notices = d->pendingNotices;
    d->pendingNotices = 0;
    if (notices)
        d->Notify(notices);
}

bool TTable::ControlsDisabled() const {
    return d->disabled > 0;
}

QAbstractItemModel *TTable::Model() {
    if (!d->model)
        d->model = new TTableModel(this, this);
    return d->model;
}

void TTable::SetOnGetText(const QString &fieldName, GetTextHook hook) {
    d->hooks.insert(fieldName.toLower(), std::move(hook));
    d->Notify(NoticeReset);
}

QVariantList TTable::RowValuesAt(int index) {
    // A grid held off by DisableControls may still paint rows of a closed table.
    if (!d->active)
        return {};
    d->Materialize();
    if (index < 0 || index >= d->Count())
        return {};
    const std::vector<QVariant> values = d->access->ReadRow(d->RowidAt(index));
    return QVariantList(values.begin(), values.end());
}

QVariantList TTable::RowValuesByID(qint64 id) {
    d->RequireActive();
    const std::vector<QVariant> values = d->access->ReadRow(id);
    return QVariantList(values.begin(), values.end());
}

QString TTable::DisplayText(int column, const QVariant &value) const {
    if (d->access && column >= 0 && size_t(column) < d->access->Columns().size()) {
        const auto it = d->hooks.constFind(d->access->Columns()[size_t(column)].name.toLower());
        if (it != d->hooks.constEnd() && *it)
            return (*it)(value);
    }
    return value.toString();
}

void TTable::Refresh() {
    if (d->access)
        d->access->Unseek();
    d->MarkAllStale();
    if (!d->active)
        return;
    d->Represent(true);
    // The kept row may be gone or filtered out now: only the listed rows can tell.
    if (d->pending)
        d->Materialize();
    d->Notify(NoticeReset | NoticeRow);
}
