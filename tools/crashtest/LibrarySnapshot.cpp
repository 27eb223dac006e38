#include "tools/crashtest/LibrarySnapshot.h"

#include <sqlite3.h>

LibrarySnapshot LibrarySnapshot::Read(const QString &path) {
    LibrarySnapshot s;
    sqlite3 *db = nullptr;
    // Read-write, so that a journal left by the killed program is rolled back first.
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != 0) {
        s.problem = "cannot open";
        sqlite3_close(db);
        return s;
    }
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr);
    const bool intact =
        sqlite3_step(st) == SQLITE_ROW &&
        QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0))) == "ok";
    sqlite3_finalize(st);
    if (!intact) {
        s.problem = "integrity check failed";
        sqlite3_close(db);
        return s;
    }
    sqlite3_prepare_v2(db, "SELECT ID, ImportanceField FROM Library ORDER BY ID", -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW)
        s.levels.emplace_back(sqlite3_column_int(st, 0), sqlite3_column_int(st, 1));
    sqlite3_finalize(st);
    if (sqlite3_prepare_v2(db, "SELECT TotalTime FROM TotalTime LIMIT 1", -1, &st, nullptr) == 0 &&
        sqlite3_step(st) == SQLITE_ROW)
        s.seconds = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    if (sqlite3_prepare_v2(db, "SELECT count(*) FROM Progress", -1, &st, nullptr) == 0 &&
        sqlite3_step(st) == SQLITE_ROW)
        s.sessions = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    sqlite3_close(db);
    s.ok = true;
    return s;
}
