#pragma once

#include <cstdint>
#include <vector>

class TableAccess;
class TextColumnOrders;

// Orders the presented rows by one column. Texts compare as people expect: without
// regard to case and by the rules of a real locale; numbers compare as numbers; equal
// values keep ascending rowid order so the result is stable.
namespace RowSorter {
// rows must be in ascending rowid order; texts keeps the orders of text columns.
void Sort(std::vector<int64_t> &rows, TableAccess &access, int column, bool descending,
          TextColumnOrders &texts);
} // namespace RowSorter
