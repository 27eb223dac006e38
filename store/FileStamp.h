#pragma once

#include <QString>
#include <cstdint>

struct sqlite3;

// Marks the moment something was read from one column of a table, and tells later
// whether the file is still as it was then: nothing written through this connection and
// no commit by another. What is read inside a transaction may be rolled back without a
// trace in either counter, so a mark taken there holds for nothing later.
class FileStamp {
public:
    void Take(sqlite3 *db, const QString &table, int column);
    bool Holds(sqlite3 *db, const QString &table, int column) const;
    void Clear();
    // Across closing the file and opening it again (under another name) with nothing
    // changed in it: Suspend notes, before the connection closes, whether the mark holds;
    // Resume marks the same moment on the new connection when it did, else forgets it.
    void Suspend();
    bool Resume(sqlite3 *db); // true when the mark was kept

private:
    static int64_t FileVersion(sqlite3 *db);

    sqlite3 *db = nullptr;
    QString table;
    int column = -1;
    int64_t changes = -1;
    int64_t version = -1;
    bool held = false;
};
