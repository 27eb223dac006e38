#include "tests/support/TestLibrary.h"

#include <sqlite3.h>
#include <stdexcept>

namespace {
struct Db {
    sqlite3 *db = nullptr;
    explicit Db(const QString &path) {
        if (sqlite3_open_v2(path.toUtf8().constData(), &db,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
            throw std::runtime_error("cannot open test library");
    }
    ~Db() { sqlite3_close(db); }
    void exec(const char *sql) {
        char *err = nullptr;
        if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
            std::string message = err ? err : "?";
            sqlite3_free(err);
            throw std::runtime_error(message);
        }
    }
};
} // namespace

namespace TestLibrary {

void create(const QString &path, const QList<TestCard> &cards, std::optional<int> total) {
    Db db(path);
    db.exec("CREATE TABLE Library ([ID] INTEGER CONSTRAINT [Index1] PRIMARY KEY AUTOINCREMENT,"
            " [Word] VARCHAR(100) NOT NULL, [ImportanceField] INTEGER NOT NULL,"
            " [Definition] TEXT NOT NULL);"
            "CREATE TABLE TotalTime ([TotalTime] INTEGER NOT NULL);");
    db.exec("BEGIN");
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db.db,
                       "INSERT INTO Library (Word, ImportanceField, Definition) VALUES (?,?,?)", -1,
                       &st, nullptr);
    for (const TestCard &card : cards) {
        const QByteArray w = card.word.toUtf8(), d = card.definition.toUtf8();
        sqlite3_bind_text(st, 1, w.constData(), w.size(), SQLITE_TRANSIENT);
        sqlite3_bind_int(st, 2, card.level);
        sqlite3_bind_text(st, 3, d.constData(), d.size(), SQLITE_TRANSIENT);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    if (total)
        db.exec(QString("INSERT INTO TotalTime VALUES (%1)").arg(*total).toUtf8().constData());
    db.exec("COMMIT");
}

QList<TestCard> numbered(int n) {
    QList<TestCard> cards;
    for (int i = 1; i <= n; ++i)
        cards.append({QString("word%1").arg(i), QString("definition of word%1").arg(i), 0});
    return cards;
}

QList<int> levels(const QString &path) {
    Db db(path);
    QList<int> result;
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db.db, "SELECT ImportanceField FROM Library ORDER BY ID", -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW)
        result.append(sqlite3_column_int(st, 0));
    sqlite3_finalize(st);
    return result;
}

std::optional<int> totalTime(const QString &path) {
    Db db(path);
    std::optional<int> result;
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db.db, "SELECT TotalTime FROM TotalTime LIMIT 1", -1, &st, nullptr);
    if (sqlite3_step(st) == SQLITE_ROW)
        result = sqlite3_column_int(st, 0);
    sqlite3_finalize(st);
    return result;
}

int totalTimeRows(const QString &path) {
    Db db(path);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db.db, "SELECT COUNT(*) FROM TotalTime", -1, &st, nullptr);
    int n = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : -1;
    sqlite3_finalize(st);
    return n;
}

void exec(const QString &path, const QString &sql) {
    Db db(path);
    db.exec(sql.toUtf8().constData());
}

} // namespace TestLibrary
