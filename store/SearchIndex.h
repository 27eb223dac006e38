#pragma once

#include <QString>
#include <cstdint>
#include <vector>

class TableAccess;
struct sqlite3;

// The case-folded texts of one column of one table, kept in memory so that a search
// typed letter by letter does not read and fold every row again. It is rebuilt when
// the file changed since (a write of this connection or a commit of another).
class SearchIndex {
public:
    // Rows whose text of column contains needle without regard to case (the same
    // per-character folding as Qt::CaseInsensitive), ascending.
    std::vector<int64_t> RowsContaining(TableAccess &access, int column, const QString &needle);
    void Clear();

private:
    bool Current(TableAccess &access, int column) const;
    void Build(TableAccess &access, int column);
    static int64_t FileVersion(sqlite3 *db);

    sqlite3 *db = nullptr;
    QString table;
    int column = -1;
    int64_t changes = -1;
    int64_t version = -1;
    std::vector<int64_t> rowids;
    std::vector<uint32_t> starts; // where each row's text begins; one more at the end
    QString folded;               // the texts, each followed by a NUL
};
