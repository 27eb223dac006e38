#include "store/RowSorter.h"

#include "store/TableAccess.h"
#include "store/TextColumnOrders.h"

#include <algorithm>

namespace RowSorter {

namespace {
void SortByInteger(std::vector<int64_t> &rows, TableAccess &access, int column, bool descending) {
    std::vector<std::pair<int64_t, int64_t>> keyed;
    keyed.reserve(rows.size());
    if (column == access.IdentityColumn()) {
        if (descending)
            std::reverse(rows.begin(), rows.end());
        return;
    }
    if (column == access.CachedColumn()) {
        const std::vector<int64_t> &ids = access.BaseIds();
        const std::vector<int32_t> &ints = access.BaseInts();
        size_t b = 0;
        for (int64_t row : rows) {
            // Both lists ascend, so one forward walk finds every row.
            while (b < ids.size() && ids[b] < row)
                ++b;
            keyed.emplace_back(b < ids.size() && ids[b] == row ? ints[b] : 0, row);
        }
    } else {
        for (int64_t row : rows) {
            const std::vector<QVariant> values = access.ReadRow(row);
            keyed.emplace_back(values.empty() ? 0 : values[size_t(column)].toLongLong(), row);
        }
    }
    std::stable_sort(keyed.begin(), keyed.end(), [descending](const auto &a, const auto &b) {
        return descending ? a.first > b.first : a.first < b.first;
    });
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = keyed[i].second;
}

} // namespace

void Sort(std::vector<int64_t> &rows, TableAccess &access, int column, bool descending,
          TextColumnOrders &texts) {
    const TableColumn &c = access.Columns()[size_t(column)];
    if (c.integer)
        SortByInteger(rows, access, column, descending);
    else
        texts.Sort(rows, access, column, descending);
}

} // namespace RowSorter
