#include "store/TableCursor.h"

#include "platform/LexomatError.h"
#include "store/ConnectionTables.h"
#include "store/RowFilter.h"
#include "store/TableAccess.h"
#include "store/TextColumnOrders.h"

#include <algorithm>

TableCursor::TableCursor(ConnectionTables &tables) : tables(tables) {}

TableCursor::~TableCursor() = default;

TableAccess &TableCursor::Access() const {
    return *tables.Access();
}

void TableCursor::RequireOpen() const {
    if (!open)
        throw LexomatError(QString("The table %1 is not open.").arg(tables.TableName()));
}

void TableCursor::Open() {
    filter = ForThisTable(wanted);
    RowFilter::Validate(filter, Access());
    sort = TableSort::Parse(sortText, Access().Columns());
    open = true;
    ResetRows();
}

void TableCursor::Close() {
    open = false;
    ResetRows();
    sortText.clear();
    sort.column = -1;
}

void TableCursor::Materialize() {
    if (materialized)
        return;
    RequireOpen();
    Access().Unseek();
    rows.Build(Access(), filter, sort.column, sort.descending, tables.Orders(), &tables.Index());
    materialized = true;
    const int count = rows.Count();
    if (pending) {
        pending = false;
        cur = rows.IndexOf(pendingRowid);
        if (cur >= 0) {
            bof = eof = false;
            return;
        }
    }
    cur = count > 0 ? 0 : -1;
    bof = true;
    eof = count == 0;
}

void TableCursor::Represent(bool keepCurrent) {
    if (!open)
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

void TableCursor::ResetRows() {
    if (tables.Access())
        tables.Access()->Unseek();
    materialized = false;
    pending = false;
    rows.Clear();
    cur = -1;
    eof = bof = true;
    rowCached = false;
}

void TableCursor::MoveTo(int index) {
    cur = index;
    bof = eof = false;
}

void TableCursor::First() {
    Materialize();
    cur = rows.Count() > 0 ? 0 : -1;
    bof = true;
    eof = cur < 0;
}

void TableCursor::Last() {
    Materialize();
    cur = rows.Count() - 1;
    eof = true;
    bof = cur < 0;
}

bool TableCursor::Next() {
    Materialize();
    if (cur + 1 < rows.Count()) {
        ++cur;
        bof = false;
        return true;
    }
    eof = true;
    return false;
}

bool TableCursor::Prior() {
    Materialize();
    if (cur > 0) {
        --cur;
        eof = false;
        return true;
    }
    bof = true;
    return false;
}

bool TableCursor::Eof() {
    if (!open)
        return true;
    if (pending)
        return false;
    Materialize();
    return eof;
}

bool TableCursor::Bof() {
    if (!open)
        return true;
    if (pending)
        return false;
    Materialize();
    return bof;
}

int TableCursor::RecNo() {
    if (!open)
        return -1;
    Materialize();
    return cur;
}

bool TableCursor::SetRecNo(int index) {
    Materialize();
    if (index < 0 || index >= rows.Count())
        throw LexomatError(
            QString("The table %1 has no row %2.").arg(tables.TableName()).arg(index + 1));
    if (index == cur && !pending)
        return false;
    MoveTo(index);
    return true;
}

int TableCursor::Count() {
    if (!open)
        return 0;
    Materialize();
    return rows.Count();
}

bool TableCursor::Locate(int column, const QVariant &value) {
    TableAccess &access = Access();
    const bool plain = filter.kind == TableFilter::Kind::None && sort.column < 0;
    if (column == access.IdentityColumn()) {
        bool ok = false;
        const int64_t id = value.toLongLong(&ok);
        if (!ok)
            return false;
        if (!materialized && plain) {
            // Before the rows are listed, the table's list (when in memory and current)
            // or else one primary-key lookup is all it takes.
            const bool listed = access.BaseCurrent();
            if (listed ? access.IndexUnchecked(id) < 0 : !access.Seek(id))
                return false;
            pending = true;
            pendingRowid = id;
            rowCached = false;
            return true;
        }
        Materialize();
        const int index = rows.IndexOf(id);
        if (index < 0)
            return false;
        MoveTo(index);
        return true;
    }
    const std::vector<int64_t> found = access.RowsWhereEquals(column, value);
    if (found.empty())
        return false;
    if (!materialized && plain) {
        pending = true;
        pendingRowid = found.front();
        rowCached = false;
        return true;
    }
    Materialize();
    for (int i = 0, n = rows.Count(); i < n; ++i)
        if (std::binary_search(found.begin(), found.end(), rows.RowidAt(i))) {
            MoveTo(i);
            return true;
        }
    return false;
}

bool TableCursor::HasCurrent() {
    if (pending)
        return true;
    Materialize();
    return cur >= 0;
}

int64_t TableCursor::CurrentRowid() {
    return pending ? pendingRowid : rows.RowidAt(cur);
}

QVariant TableCursor::CurrentValue(int column) {
    if (!HasCurrent())
        return {};
    TableAccess &access = Access();
    const int64_t rowid = CurrentRowid();
    if (column == access.IdentityColumn())
        return QVariant(int(rowid));
    if (column == access.CachedColumn() && !pending && access.Valid()) {
        if (rows.IsAll())
            return QVariant(access.Ints()[size_t(cur)]);
        const int64_t b = access.IndexUnchecked(rowid);
        if (b >= 0)
            return QVariant(access.Ints()[size_t(b)]);
    }
    if (pending && access.Seeked(rowid))
        return access.SeekedValue(column);
    if (!rowCached || cachedRowid != rowid) {
        rowValues = access.ReadRow(rowid);
        cachedRowid = rowid;
        rowCached = true;
    }
    return rowValues.empty() ? QVariant() : rowValues[size_t(column)];
}

QVariantList TableCursor::RowValuesAt(int index) {
    // A grid held off by DisableControls may still paint rows of a closed table.
    if (!open)
        return {};
    Materialize();
    if (index < 0 || index >= rows.Count())
        return {};
    const std::vector<QVariant> values = Access().ReadRow(rows.RowidAt(index));
    return QVariantList(values.begin(), values.end());
}

void TableCursor::AfterWrite(int64_t rowid, bool inserted, bool moved) {
    rowCached = false;
    if (!materialized) {
        // Without a filter or sort a new row is surely presented, and a row that did
        // not move stays where it was; otherwise only the listed rows can tell where
        // it is, or that it is left out.
        const bool plain = filter.kind == TableFilter::Kind::None && sort.column < 0;
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
    if (Access().Valid()) {
        if (inserted || moved)
            rows.Place(rowid);
    } else {
        Represent(false);
        Materialize();
    }
    // Stay on the written row while it is presented, else where the list was.
    cur = rows.IndexOf(rowid);
    const int count = rows.Count();
    if (cur < 0)
        cur = count == 0 ? -1 : std::clamp(before, 0, count - 1);
    bof = eof = count == 0;
}

void TableCursor::DeleteCurrent() {
    // Listing the rows resolves a row found by lookup to its index.
    Materialize();
    if (cur < 0)
        throw LexomatError(QString("The table %1 has no row to delete.").arg(tables.TableName()));
    const int64_t rowid = CurrentRowid();
    Access().Delete(rowid);
    rowCached = false;
    if (!Access().Valid()) {
        const int before = cur;
        Represent(false);
        Materialize();
        cur = std::min(before, rows.Count() - 1);
    } else {
        rows.RemoveAt(cur);
    }
    const int count = rows.Count();
    if (cur >= count)
        cur = count - 1;
    bof = eof = count == 0;
}

bool TableCursor::DependsOn(int column) const {
    return sort.column == column || (filter.kind == TableFilter::Kind::Pattern &&
                                     ColumnIndex(Access().Columns(), filter.field) == column);
}

void TableCursor::AfterWriteAll(int column) {
    rowCached = false;
    // A filter or sort on that field may present other rows now.
    if (DependsOn(column) || !Access().Valid())
        Represent(true);
}

void TableCursor::Refresh() {
    if (!open)
        return;
    Represent(true);
    // The kept row may be gone or filtered out now: only the listed rows can tell.
    if (pending)
        Materialize();
}

// Filters are searches and box lists over the cards: they belong to Library, and the
// table's switch to TotalTime neither applies nor checks them.
TableFilter TableCursor::ForThisTable(const TableFilter &parsed) const {
    return tables.TableName().compare(QLatin1String("Library"), Qt::CaseInsensitive) == 0
               ? parsed
               : TableFilter();
}

void TableCursor::ApplyFilter(const TableFilter &parsed) {
    const TableFilter inForce = ForThisTable(parsed);
    // A filter switched on while another table is served is a mistake of the caller.
    if (open)
        RowFilter::Validate(parsed, Access());
    wanted = parsed;
    filter = inForce;
    Represent(false);
}

TableSort TableCursor::ParseSort(const QString &text) const {
    return open ? TableSort::Parse(text, Access().Columns()) : TableSort();
}

bool TableCursor::ApplySort(const QString &text, const TableSort &parsed) {
    if (parsed.column >= 0 && !Access().Columns()[size_t(parsed.column)].integer) {
        Access().Unseek();
        if (!tables.Orders().Prepare(Access(), parsed.column, workProgress))
            return false;
    }
    sortText = text;
    sort = parsed;
    Represent(true);
    return true;
}
