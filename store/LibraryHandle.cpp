#include "store/LibraryHandle.h"

#include "platform/LexomatError.h"
#include "store/LibrarySchema.h"
#include "store/SqliteStatement.h"
#include "store/Tdm.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <sqlite3.h>

sqlite3 *LibraryHandle(const Tdm &module) {
    const QSqlDatabase connection = QSqlDatabase::database(module.ConnectionName(), false);
    if (!connection.isValid() || !connection.isOpen())
        throw LexomatError("No library file is open.");
    const QVariant handle = connection.driver()->handle();
    if (qstrcmp(handle.typeName(), "sqlite3*") != 0 ||
        !*static_cast<sqlite3 *const *>(handle.constData()))
        throw LexomatError("The library connection is not an SQLite connection.");
    return *static_cast<sqlite3 *const *>(handle.constData());
}

OwnLibraryConnection::OwnLibraryConnection(const QString &path) {
    // SQLite would create a missing file; a library that is not there is an error.
    if (!QFileInfo(path).isFile())
        throw LexomatError(
            QString("The library file \"%1\" cannot be opened: the file does not exist.")
                .arg(path));
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK) {
        const QString reason = db ? QString::fromUtf8(sqlite3_errmsg(db)) : "out of memory";
        sqlite3_close(db);
        throw LexomatError(
            QString("The library file \"%1\" cannot be opened: %2.").arg(path, reason));
    }
    try {
        sqlite3_busy_timeout(db, 5000);
        if (sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) !=
            SQLITE_OK)
            throw LexomatError(
                QString("The library file \"%1\" cannot be opened: %2.")
                    .arg(path, sqlite3_errcode(db) == SQLITE_NOTADB
                                   ? QString("it is not a library file (not an SQLite database)")
                                   : QString::fromUtf8(sqlite3_errmsg(db))));
        LibrarySchema::Check(db, path);
        ExecSql(db, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL;",
                "Setting up the connection");
    } catch (...) {
        sqlite3_close(db);
        throw;
    }
}

OwnLibraryConnection::~OwnLibraryConnection() {
    sqlite3_close(db);
}
