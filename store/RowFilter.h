#pragma once

#include <cstdint>
#include <vector>

class SearchIndex;
class TableAccess;
struct TableFilter;

// Applies a parsed filter to a table: the rows that pass, in ascending rowid order.
namespace RowFilter {
// Throws LexomatError when the filter names a column the table lacks or cannot test.
void Validate(const TableFilter &filter, TableAccess &access);
// A search that may use index (when given) for contains-patterns.
std::vector<int64_t> Rows(const TableFilter &filter, TableAccess &access,
                          SearchIndex *index = nullptr);
} // namespace RowFilter
