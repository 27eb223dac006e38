#include "app/SessionStore.h"

#include "engine/LexomatList.h"
#include "platform/LexomatError.h"
#include "store/SqliteStatement.h"
#include "store/TTable.h"
#include "store/Tdm.h"
#include <QSqlDatabase>
#include <QSqlDriver>
#include <algorithm>
#include <limits>
#include <sqlite3.h>
#include <vector>

namespace {

sqlite3 *connectionOf(Tdm &dm) {
    const QSqlDatabase db = QSqlDatabase::database(dm.ConnectionName(), false);
    if (db.isOpen() && db.driver()) {
        const QVariant handle = db.driver()->handle();
        if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
            if (sqlite3 *raw = *static_cast<sqlite3 *const *>(handle.constData()))
                return raw;
    }
    throw LexomatError(QStringLiteral("No library file is open (\"%1\").").arg(dm.DatabasePath()));
}

// A stored number as a level or a time: whole and within 32 bits, or the file is
// refused rather than guessed at.
int32_t wholeNumber(sqlite3 *db, sqlite3_stmt *st, int column, const QString &what) {
    const auto fail = [&](const QString &why) -> int32_t {
        throw LexomatError(QStringLiteral("The library file \"%1\" has %2 %3.")
                               .arg(SqliteFileName(db), what, why));
    };
    switch (sqlite3_column_type(st, column)) {
    case SQLITE_INTEGER: {
        const sqlite3_int64 v = sqlite3_column_int64(st, column);
        if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
            return fail(QStringLiteral("out of range (%1)").arg(v));
        return static_cast<int32_t>(v);
    }
    case SQLITE_FLOAT: {
        const double v = sqlite3_column_double(st, column);
        if (v != static_cast<double>(static_cast<int64_t>(v)) ||
            v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
            return fail(QStringLiteral("that is not a whole number (%1)").arg(v));
        return static_cast<int32_t>(v);
    }
    case SQLITE_NULL:
        return fail(QStringLiteral("that is empty"));
    default:
        return fail(QStringLiteral("that is not a number"));
    }
}

struct Statement {
    sqlite3_stmt *st = nullptr;
    Statement(sqlite3 *db, const char *sql, const QString &what) {
        if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK)
            ThrowSqliteError(db, what);
    }
    ~Statement() { sqlite3_finalize(st); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
};

void stepDone(sqlite3 *db, sqlite3_stmt *st, const QString &what) {
    if (sqlite3_step(st) != SQLITE_DONE)
        ThrowSqliteError(db, what);
    sqlite3_reset(st);
}

} // namespace

namespace SessionStore {

void PopulateList(Tdm &dm, TLexomatList &list) {
    sqlite3 *db = connectionOf(dm);
    const QString what = QStringLiteral("Reading the cards");
    Statement select(db, "SELECT ID, ImportanceField FROM Library", what);
    int rc;
    while ((rc = sqlite3_step(select.st)) == SQLITE_ROW) {
        const int32_t id = wholeNumber(db, select.st, 0, QStringLiteral("a card whose ID"));
        const int32_t level =
            wholeNumber(db, select.st, 1, QStringLiteral("a card (ID %1) whose level").arg(id));
        list.AddCard(id, level);
    }
    if (rc != SQLITE_DONE)
        ThrowSqliteError(db, what);
}

int32_t LoadTotalTime(Tdm &dm) {
    sqlite3 *db = connectionOf(dm);
    const QString what = QStringLiteral("Reading the study time");
    {
        Statement select(db, "SELECT TotalTime FROM TotalTime LIMIT 1", what);
        const int rc = sqlite3_step(select.st);
        if (rc == SQLITE_ROW)
            return wholeNumber(db, select.st, 0, QStringLiteral("a study time"));
        if (rc != SQLITE_DONE)
            ThrowSqliteError(db, what);
    }
    Statement insert(db, "INSERT INTO TotalTime (TotalTime) VALUES (0)", what);
    stepDone(db, insert.st, what);
    return 0;
}

void SaveLevelsAndTime(Tdm &dm, const TLexomatList &list, int32_t totalSeconds) {
    sqlite3 *db = connectionOf(dm);
    // The dataset may hold rows it has read; it is reopened after the write.
    const bool wasActive = dm.tb_library->Active();
    dm.tb_library->Close();
    dm.BeginTransaction();
    try {
        const QString levels = QStringLiteral("Saving the levels");
        Statement update(db, "UPDATE Library SET ImportanceField = ?1 WHERE ID = ?2", levels);
        // In ID order the updates walk the table's pages once instead of at random.
        std::vector<std::pair<int32_t, int32_t>> rows(static_cast<size_t>(list.Count()));
        for (int32_t i = 0; i < list.Count(); ++i)
            rows[static_cast<size_t>(i)] = {list.IdAt(i), list.LevelAt(i)};
        std::sort(rows.begin(), rows.end());
        for (const auto &[id, level] : rows) {
            sqlite3_bind_int(update.st, 1, level);
            sqlite3_bind_int(update.st, 2, id);
            stepDone(db, update.st, levels);
        }
        const QString time = QStringLiteral("Saving the study time");
        Statement setTime(db,
                          "UPDATE TotalTime SET TotalTime = ?1 WHERE rowid ="
                          " (SELECT rowid FROM TotalTime LIMIT 1)",
                          time);
        sqlite3_bind_int(setTime.st, 1, totalSeconds);
        stepDone(db, setTime.st, time);
        if (sqlite3_changes(db) == 0) {
            Statement insert(db, "INSERT INTO TotalTime (TotalTime) VALUES (?1)", time);
            sqlite3_bind_int(insert.st, 1, totalSeconds);
            stepDone(db, insert.st, time);
        }
        dm.CommitTransaction();
    } catch (...) {
        dm.RollbackTransaction();
        throw;
    }
    if (wasActive)
        dm.tb_library->Open();
}

} // namespace SessionStore
