#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <cstdint>

struct sqlite3;
struct sqlite3_stmt;

// The file a raw connection works on, for messages.
QString SqliteFileName(sqlite3 *db);
// A failure in the learner's words ("the file is read-only", "another program is using
// the file", ...) followed by SQLite's own words on a line of their own.
QString PlainSqliteReason(sqlite3 *db, const QString &fileName);
// The learner's words for an SQLite result code on this file; empty when there are none.
QString PlainFileReason(int sqliteCode, const QString &fileName);
// Throws LexomatError: "<what> failed on the library file "<file>": <SQLite's message>".
[[noreturn]] void ThrowSqliteError(sqlite3 *db, const QString &what);
// Runs statements without results; throws on failure.
void ExecSql(sqlite3 *db, const char *sql, const QString &what);

// One prepared statement on the raw handle of the store's connection. Every failure
// throws LexomatError naming the file, so no step result can be ignored.
class SqliteStatement {
public:
    SqliteStatement() = default;
    SqliteStatement(sqlite3 *db, const QByteArray &sql, const QString &what);
    ~SqliteStatement();
    SqliteStatement(SqliteStatement &&other) noexcept;
    SqliteStatement &operator=(SqliteStatement &&other) noexcept;
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;

    bool Valid() const { return st != nullptr; }
    sqlite3 *Handle() const { return db; }
    void BindInt(int index, int64_t value);
    void BindText(int index, const QString &value);
    void BindNull(int index);
    void Bind(int index, const QVariant &value);

    bool Step(); // true while it delivers a row; resets itself after the last row
    void Reset();
    int64_t Int(int column) const;
    QString Text(int column) const;
    QVariant Value(int column) const;
    bool IsNull(int column) const;
    int Type(int column) const; // SQLITE_INTEGER, SQLITE_TEXT, ...
    // UTF-8 bytes of a text column, valid until the next Step.
    const char *TextBytes(int column, int *size) const;

private:
    void Finalize();
    sqlite3 *db = nullptr;
    sqlite3_stmt *st = nullptr;
    QString what;
};
