#include "store/LibraryConnection.h"

#include "formats/LibraryFileKind.h"
#include "platform/LexomatError.h"
#include "store/LibrarySchema.h"
#include "store/SqliteStatement.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

namespace {
constexpr int BusyWaitMs = 5000;

[[noreturn]] void RefuseOpen(const QString &path, const QString &reason) {
    throw LexomatError(QString("The library file \"%1\" cannot be opened: %2").arg(path, reason));
}

[[noreturn]] void RefuseCreate(const QString &path, const QString &reason) {
    throw LexomatError(QString("The library file \"%1\" cannot be created: %2").arg(path, reason));
}

// Makes the file, empty, only when the name is free: an existing file is never taken
// over, also when another program makes one at the same moment.
void CreateEmptyFile(const QString &path) {
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
        ::close(fd);
        return;
    }
    const int error = errno;
    if (error == EEXIST)
        RefuseCreate(path, QStringLiteral("the file already exists."));
    if (error == EACCES || error == EROFS)
        RefuseCreate(path, QStringLiteral("the folder cannot be written."));
    if (error == ENOSPC)
        RefuseCreate(path, QStringLiteral("the disk is full."));
    RefuseCreate(path, QString::fromLocal8Bit(std::strerror(error)) + '.');
}
} // namespace

LibraryConnection::LibraryConnection() = default;

LibraryConnection::LibraryConnection(const QString &p, Mode mode) {
    Open(p, mode);
}

LibraryConnection::~LibraryConnection() {
    Close();
}

void LibraryConnection::Open(const QString &newPath, Mode mode) {
    Close();
    if (mode == Mode::CreateNew) {
        CreateEmptyFile(newPath);
    } else {
        // SQLite would create a missing file; a library that is not there is an error.
        const QFileInfo info(newPath);
        if (!info.exists() || !info.isFile())
            RefuseOpen(newPath, QStringLiteral("the file does not exist."));
    }
    const int flags = mode == Mode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    sqlite3 *opened = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(newPath).constData(), &opened, flags, nullptr);
    db = opened;
    path = newPath;
    identity = IdentityOf(newPath);
    try {
        if (rc != SQLITE_OK)
            RefuseOpen(newPath, opened ? QString::fromUtf8(sqlite3_errmsg(opened))
                                       : QStringLiteral("out of memory."));
        Setup(mode);
    } catch (...) {
        Close();
        if (mode == Mode::CreateNew) {
            QFile::remove(newPath);
            QFile::remove(newPath + QStringLiteral("-journal"));
        }
        throw;
    }
}

void LibraryConnection::Setup(Mode mode) {
    sqlite3_busy_handler(db, &LibraryConnection::BusyCallback, this);
    // The first read of the file: a file that is no database fails here.
    if (sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) !=
        SQLITE_OK) {
        const int code = sqlite3_errcode(db);
        if (code == SQLITE_NOTADB && IsLegacyAccessKind(DetectLibraryFileKind(path)))
            RefuseOpen(path, QStringLiteral("it is a library in the older Access format."));
        RefuseOpen(path, code == SQLITE_NOTADB
                             ? QStringLiteral("it is not a library file (not an SQLite database).")
                             : PlainSqliteReason(db, path));
    }
    if (mode != Mode::ReadOnly) {
        // The learner's own file, maybe on a stick: no side files, every commit on disk.
        // A file that another program holds in WAL mode keeps that mode, which is just as
        // safe for one transaction per save.
        sqlite3_busy_handler(db, nullptr, nullptr);
        sqlite3_exec(db, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
        sqlite3_busy_handler(db, &LibraryConnection::BusyCallback, this);
        ExecSql(db, "PRAGMA synchronous=FULL", "Setting up the connection");
    }
    if (mode == Mode::CreateNew) {
        if (sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK ||
            sqlite3_exec(db, LibrarySchema::CreateStatements, nullptr, nullptr, nullptr) !=
                SQLITE_OK ||
            sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
            RefuseCreate(path, PlainSqliteReason(db, path));
    }
    LibrarySchema::Check(db, path);
    ExecSql(db, "PRAGMA cache_size=-32768", "Setting up the connection");
    sqlite3_progress_handler(db, 20000, &LibraryConnection::ProgressCallback, this);
}

void LibraryConnection::Close() {
    if (!db)
        return;
    // An open transaction ends unwritten, as an unsaved session does.
    if (!sqlite3_get_autocommit(db))
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db);
    db = nullptr;
    identity.reset();
    writeClock.invalidate();
}

sqlite3 *LibraryConnection::Handle() const {
    if (!db)
        throw LexomatError(QStringLiteral("No library file is open."));
    return db;
}

bool LibraryConnection::IsFile(const QString &other) const {
    return db && identity && identity == IdentityOf(other);
}

void LibraryConnection::Begin(const QString &what) {
    ExecSql(Handle(), "BEGIN IMMEDIATE", what);
    writeClock.start();
}

void LibraryConnection::Commit(const QString &what) {
    if (sqlite3_exec(Handle(), "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        const QString file = SqliteFileName(db);
        throw LexomatError(QString("%1 failed on the library file \"%2\": %3")
                               .arg(what, file, PlainSqliteReason(db, file)));
    }
    writeClock.invalidate();
}

bool LibraryConnection::Rollback() {
    writeClock.invalidate();
    if (!db || sqlite3_get_autocommit(db))
        return true;
    return sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool LibraryConnection::InTransaction() const {
    return db && !sqlite3_get_autocommit(db);
}

void LibraryConnection::Exec(const char *sql, const QString &what) {
    ExecSql(Handle(), sql, what);
}

void LibraryConnection::SetWaitHandler(WaitHandler handler) {
    waitHandler = std::move(handler);
}

int LibraryConnection::BusyCallback(void *self, int count) {
    auto *c = static_cast<LibraryConnection *>(self);
    if (count == 0)
        c->busyClock.start();
    const qint64 elapsed = c->busyClock.elapsed();
    if (elapsed >= BusyWaitMs)
        return 0;
    if (c->waitHandler && !c->waitHandler(Wait::FileInUse, elapsed))
        return 0;
    sqlite3_sleep(20);
    return 1;
}

int LibraryConnection::ProgressCallback(void *self) {
    auto *c = static_cast<LibraryConnection *>(self);
    if (c->waitHandler && c->writeClock.isValid())
        c->waitHandler(Wait::LongWrite, c->writeClock.elapsed());
    return 0;
}
