#pragma once

#include <cstdint>
#include <vector>

class TableAccess;
struct TableFilter;

// Applies a parsed filter to a table: the rows that pass, in ascending rowid order.
namespace RowFilter {
// Throws LexomatError when the filter names a column the table lacks or cannot test.
void Validate(const TableFilter &filter, TableAccess &access);
std::vector<int64_t> Rows(const TableFilter &filter, TableAccess &access);
} // namespace RowFilter
