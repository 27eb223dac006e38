#include "store/PresentedRows.h"

#include "store/RowFilter.h"
#include "store/RowSorter.h"
#include "store/TableAccess.h"
#include "store/TableFilter.h"
#include "store/TextCollator.h"

#include <algorithm>

PresentedRows::PresentedRows() = default;
PresentedRows::~PresentedRows() = default;

void PresentedRows::Clear() {
    all = true;
    shown.clear();
    shown.shrink_to_fit();
}

void PresentedRows::Build(TableAccess &table, const TableFilter &rowFilter, int column,
                          bool isDescending, TextColumnOrders &orders, SearchIndex *index) {
    access = &table;
    filter = &rowFilter;
    sortColumn = column;
    descending = isDescending;
    if (filter->kind == TableFilter::Kind::None && sortColumn < 0) {
        access->BaseIds();
        Clear();
        return;
    }
    std::vector<int64_t> rows = RowFilter::Rows(*filter, *access, index);
    if (sortColumn >= 0)
        RowSorter::Sort(rows, *access, sortColumn, descending, orders);
    all = false;
    shown = std::move(rows);
}

int PresentedRows::Count() const {
    return int(all ? access->Ids().size() : shown.size());
}

int64_t PresentedRows::RowidAt(int index) const {
    return all ? access->Ids()[size_t(index)] : shown[size_t(index)];
}

int PresentedRows::IndexOf(int64_t rowid) const {
    if (all)
        return int(access->IndexUnchecked(rowid));
    if (sortColumn < 0) {
        const auto it = std::lower_bound(shown.begin(), shown.end(), rowid);
        return it != shown.end() && *it == rowid ? int(it - shown.begin()) : -1;
    }
    const auto it = std::find(shown.begin(), shown.end(), rowid);
    return it != shown.end() ? int(it - shown.begin()) : -1;
}

void PresentedRows::RemoveAt(int index) {
    if (!all)
        shown.erase(shown.begin() + index);
}

bool PresentedRows::Passes(int64_t rowid, const std::vector<QVariant> &values) const {
    switch (filter->kind) {
    case TableFilter::Kind::None:
        return true;
    case TableFilter::Kind::IdList:
        return std::binary_search(filter->ids.begin(), filter->ids.end(), rowid);
    case TableFilter::Kind::Pattern:
        return filter->Matches(
            values[size_t(ColumnIndex(access->Columns(), filter->field))].toString());
    }
    return false;
}

bool PresentedRows::Before(const std::vector<QVariant> &a, int64_t rowidA, int64_t rowidB) const {
    const std::vector<QVariant> b = access->ReadRow(rowidB);
    int c = 0;
    if (!b.empty()) {
        const QVariant &x = a[size_t(sortColumn)];
        const QVariant &y = b[size_t(sortColumn)];
        if (sortColumn == access->IdentityColumn())
            c = rowidA < rowidB ? -1 : rowidA > rowidB ? 1 : 0;
        else if (access->Columns()[size_t(sortColumn)].integer)
            c = x.toLongLong() < y.toLongLong() ? -1 : x.toLongLong() > y.toLongLong() ? 1 : 0;
        else {
            if (!collator)
                collator = std::make_unique<TextCollator>();
            c = collator->Compare(x.toString(), y.toString());
        }
    }
    if (c != 0)
        return descending ? c > 0 : c < 0;
    return rowidA < rowidB;
}

void PresentedRows::Place(int64_t rowid) {
    if (all)
        return; // the table's own list already holds the change
    const int at = IndexOf(rowid);
    if (at >= 0)
        shown.erase(shown.begin() + at);
    const std::vector<QVariant> values = access->ReadRow(rowid);
    if (values.empty() || !Passes(rowid, values))
        return;
    if (sortColumn < 0) {
        shown.insert(std::lower_bound(shown.begin(), shown.end(), rowid), rowid);
        return;
    }
    // About twenty comparisons, each reading one row.
    size_t lo = 0, hi = shown.size();
    while (lo < hi) {
        const size_t mid = (lo + hi) / 2;
        if (Before(values, rowid, shown[mid]))
            hi = mid;
        else
            lo = mid + 1;
    }
    shown.insert(shown.begin() + ptrdiff_t(lo), rowid);
}
