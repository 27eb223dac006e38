#pragma once

#include "store/FileStamp.h"

#include <QString>
#include <cstdint>
#include <vector>

class TableAccess;

// The case-folded texts of one column of one table, kept in memory so that a search
// typed letter by letter does not read and fold every row again. It is rebuilt when
// the file changed since (a write of this connection or a commit of another).
class SearchIndex {
public:
    // Rows whose text of column contains needle without regard to case (the same
    // per-character folding as Qt::CaseInsensitive), ascending.
    std::vector<int64_t> RowsContaining(TableAccess &access, int column, const QString &needle);
    void Clear();
    // Kept across opening the unchanged file again (FileStamp::Suspend, Resume).
    void Suspend() { stamp.Suspend(); }
    void Resume(sqlite3 *db) { stamp.Resume(db); }

private:
    void Build(TableAccess &access, int column);

    FileStamp stamp;
    std::vector<int64_t> rowids;
    std::vector<uint32_t> starts; // where each row's text begins; one more at the end
    QString folded;               // the texts, each followed by a NUL
};
