#pragma once

#include "store/CollationSort.h"
#include "store/FileStamp.h"

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

class TableAccess;

// The order of a table's text columns, each kept while the file does not change, so
// that the other direction, a filtered part of the rows or the same sort again costs one
// walk over the rows rather than a sort.
class TextColumnOrders {
public:
    // Told how far the work has come; returning false stops it.
    using Progress = std::function<bool(int64_t done, int64_t total)>;

    // Makes the order of column ready. False when progress stopped it; nothing is kept
    // then and the next sort starts again.
    bool Prepare(TableAccess &access, int column, const Progress &progress);
    // Sorts rows (ascending by rowid) by column; equal texts stay in ascending rowid order
    // in either direction.
    void Sort(std::vector<int64_t> &rows, TableAccess &access, int column, bool descending);
    void Clear();
    // Kept across opening the unchanged file again (FileStamp::Suspend, Resume).
    void Suspend();
    void Resume(sqlite3 *db);

private:
    struct Column {
        FileStamp stamp;
        std::vector<int64_t> rowids; // ascending; the order's indexes point here
        CollationSort::Order order;
    };

    bool Build(TableAccess &access, int column, const Progress &progress, Column &into);
    bool Current(TableAccess &access, int column) const;

    std::map<int, Column> columns;
};
