#include "store/SqliteStatement.h"

#include "platform/LexomatError.h"

#include <QFileInfo>
#include <limits>
#include <sqlite3.h>
#include <utility>

QString SqliteFileName(sqlite3 *db) {
    const char *name = db ? sqlite3_db_filename(db, "main") : nullptr;
    return name ? QString::fromUtf8(name) : QString();
}

QString PlainSqliteReason(sqlite3 *db, const QString &fileName) {
    if (!db)
        return QStringLiteral("no connection");
    const QString words = QString::fromUtf8(sqlite3_errmsg(db));
    const QString plain = PlainFileReason(sqlite3_extended_errcode(db), fileName);
    return plain.isEmpty() ? words : plain + QStringLiteral(".\n") + words;
}

QString PlainFileReason(int sqliteCode, const QString &fileName) {
    const QFileInfo file(fileName);
    // A file deleted or moved away while open reads as read-only to SQLite.
    if (!fileName.isEmpty() && !file.exists())
        return QStringLiteral("the file is no longer there");
    switch (sqliteCode & 0xff) {
    case SQLITE_READONLY:
        if (sqliteCode == SQLITE_READONLY_DBMOVED)
            return QStringLiteral("the file is no longer there");
        return file.isWritable() && !QFileInfo(file.absolutePath()).isWritable()
                   ? QStringLiteral("the folder cannot be written")
                   : QStringLiteral("the file is read-only");
    case SQLITE_CANTOPEN:
        return QFileInfo(file.absolutePath()).isWritable()
                   ? QString()
                   : QStringLiteral("the folder cannot be written");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("another program is using the file");
    case SQLITE_FULL:
        return QStringLiteral("the disk is full");
    case SQLITE_IOERR:
        return QStringLiteral("the disk could not be read or written");
    default:
        return {};
    }
}

void ThrowSqliteError(sqlite3 *db, const QString &what) {
    const QString file = SqliteFileName(db);
    const QString words = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString();
    const QString plain = db ? PlainFileReason(sqlite3_extended_errcode(db), file) : QString();
    // The learner's words first; SQLite's own stay as the detail after them.
    if (plain.isEmpty())
        throw LexomatError(QString("%1 failed on the library file \"%2\": %3")
                               .arg(what, file, db ? words : QStringLiteral("no connection")));
    throw LexomatError(QString("%1 failed on the library file \"%2\": %3.").arg(what, file, plain),
                       words);
}

void ExecSql(sqlite3 *db, const char *sql, const QString &what) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        ThrowSqliteError(db, what);
}

SqliteStatement::SqliteStatement(sqlite3 *db, const QByteArray &sql, const QString &what)
    : db(db), what(what) {
    if (sqlite3_prepare_v3(db, sql.constData(), int(sql.size()), SQLITE_PREPARE_PERSISTENT, &st,
                           nullptr) != SQLITE_OK) {
        st = nullptr;
        ThrowSqliteError(db, what);
    }
}

SqliteStatement::~SqliteStatement() {
    Finalize();
}

SqliteStatement::SqliteStatement(SqliteStatement &&other) noexcept
    : db(std::exchange(other.db, nullptr)), st(std::exchange(other.st, nullptr)),
      what(std::move(other.what)) {}

SqliteStatement &SqliteStatement::operator=(SqliteStatement &&other) noexcept {
    if (this != &other) {
        Finalize();
        db = std::exchange(other.db, nullptr);
        st = std::exchange(other.st, nullptr);
        what = std::move(other.what);
    }
    return *this;
}

void SqliteStatement::Finalize() {
    if (st)
        sqlite3_finalize(st);
    st = nullptr;
}

void SqliteStatement::BindInt(int index, int64_t value) {
    sqlite3_bind_int64(st, index, value);
}

void SqliteStatement::BindText(int index, const QString &value) {
    const QByteArray bytes = value.toUtf8();
    sqlite3_bind_text(st, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
}

void SqliteStatement::BindNull(int index) {
    sqlite3_bind_null(st, index);
}

void SqliteStatement::Bind(int index, const QVariant &value) {
    if (value.isNull()) {
        BindNull(index);
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
        BindInt(index, value.toLongLong());
        break;
    case QMetaType::Double:
        sqlite3_bind_double(st, index, value.toDouble());
        break;
    default:
        BindText(index, value.toString());
    }
}

bool SqliteStatement::Step() {
    const int rc = sqlite3_step(st);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE) {
        sqlite3_reset(st);
        return false;
    }
    // Read the message before the reset, which keeps the code but may reword it.
    const QString file = SqliteFileName(db);
    const QString words = QString::fromUtf8(sqlite3_errmsg(db));
    const QString plain = PlainFileReason(sqlite3_extended_errcode(db), file);
    sqlite3_reset(st);
    if (plain.isEmpty())
        throw LexomatError(
            QString("%1 failed on the library file \"%2\": %3").arg(what, file, words));
    throw LexomatError(QString("%1 failed on the library file \"%2\": %3.").arg(what, file, plain),
                       words);
}

void SqliteStatement::Reset() {
    sqlite3_reset(st);
}

int64_t SqliteStatement::Int(int column) const {
    return sqlite3_column_int64(st, column);
}

QString SqliteStatement::Text(int column) const {
    int size = 0;
    const char *bytes = TextBytes(column, &size);
    return QString::fromUtf8(bytes, size);
}

const char *SqliteStatement::TextBytes(int column, int *size) const {
    const char *bytes = reinterpret_cast<const char *>(sqlite3_column_text(st, column));
    *size = sqlite3_column_bytes(st, column);
    return bytes;
}

int SqliteStatement::Type(int column) const {
    return sqlite3_column_type(st, column);
}

bool SqliteStatement::IsNull(int column) const {
    return sqlite3_column_type(st, column) == SQLITE_NULL;
}

QVariant SqliteStatement::Value(int column) const {
    switch (sqlite3_column_type(st, column)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER: {
        const int64_t v = Int(column);
        if (v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max())
            return QVariant(int(v));
        return QVariant(qlonglong(v));
    }
    case SQLITE_FLOAT:
        return sqlite3_column_double(st, column);
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char *>(sqlite3_column_blob(st, column)),
                          sqlite3_column_bytes(st, column));
    default:
        return Text(column);
    }
}
