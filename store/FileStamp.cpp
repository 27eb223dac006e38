#include "store/FileStamp.h"

#include <sqlite3.h>

int64_t FileStamp::FileVersion(sqlite3 *handle) {
    unsigned int value = 0;
    // Changes with every commit to the file, this connection's included.
    if (sqlite3_file_control(handle, "main", SQLITE_FCNTL_DATA_VERSION, &value) != SQLITE_OK)
        return -2;
    return value;
}

void FileStamp::Take(sqlite3 *handle, const QString &tableName, int columnIndex) {
    db = handle;
    table = tableName;
    column = columnIndex;
    changes = sqlite3_total_changes64(db);
    version = sqlite3_get_autocommit(db) ? FileVersion(db) : -2;
}

bool FileStamp::Holds(sqlite3 *handle, const QString &tableName, int columnIndex) const {
    return db && db == handle && table == tableName && column == columnIndex &&
           changes == sqlite3_total_changes64(db) && version != -2 && version == FileVersion(db);
}

void FileStamp::Clear() {
    db = nullptr;
    table.clear();
    column = -1;
}

void FileStamp::Suspend() {
    held = Holds(db, table, column);
    db = nullptr;
}

bool FileStamp::Resume(sqlite3 *handle) {
    const bool kept = held;
    held = false;
    if (kept)
        Take(handle, table, column);
    else
        Clear();
    return kept;
}
