#pragma once

#include <QVariant>
#include <cstdint>
#include <memory>
#include <vector>

class SearchIndex;
class TableAccess;
class TextCollator;
class TextColumnOrders;
struct TableFilter;

// The rows a dataset presents, in presented order: the table's own list when there is
// no filter and no sort, otherwise a list of rowids made by filtering and sorting it.
class PresentedRows {
public:
    PresentedRows();
    ~PresentedRows();
    void Clear();
    // filter must outlive the list (the dataset owns it), and so must orders.
    void Build(TableAccess &access, const TableFilter &filter, int sortColumn, bool descending,
               TextColumnOrders &orders, SearchIndex *index = nullptr);
    bool IsAll() const { return all; }
    int Count() const;
    int64_t RowidAt(int index) const;
    int IndexOf(int64_t rowid) const; // -1 when not presented
    // After one row was written: puts it at its place, or leaves it out when the
    // filter does not pass it, without listing everything again.
    void Place(int64_t rowid);
    void RemoveAt(int index);

private:
    bool Passes(int64_t rowid, const std::vector<QVariant> &values) const;
    bool Before(const std::vector<QVariant> &a, int64_t rowidA, int64_t rowidB) const;

    TableAccess *access = nullptr;
    const TableFilter *filter = nullptr;
    int sortColumn = -1;
    bool descending = false;
    bool all = true;
    std::vector<int64_t> shown;
    mutable std::unique_ptr<TextCollator> collator;
};
