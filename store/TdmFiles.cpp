// The data module's whole-file operations: creating, copying and probing library files.
#include "store/Tdm.h"

#include "platform/LexomatError.h"
#include "store/LibrarySchema.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <sqlite3.h>
#include <unistd.h>

void Tdm::CreateDatabase(const QString &newPath) {
    CloseDatabase();
    CreateLibraryFile(newPath);
    SetDatabasePath(newPath);
    OpenDatabase();
}

void Tdm::CopyLibraryFile(const QString &from, const QString &target) {
    auto fail = [&](const QString &reason) {
        throw LexomatError(
            QString("The library could not be saved as \"%1\": %2").arg(target, reason));
    };
    if (QFileInfo(from).absoluteFilePath() == QFileInfo(target).absoluteFilePath())
        fail("it is the library being saved.");
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        fail(QString("\"%1\" cannot be read (%2).").arg(from, source.errorString()));
    if (QFileInfo(target).isDir())
        fail("a folder of that name is in the way.");
    // QSaveFile writes a new file beside the target and renames it over the target
    // only at commit, after flushing it to disk; cancelling removes it.
    QSaveFile copy(target);
    if (!copy.open(QIODevice::WriteOnly))
        fail(copy.errorString() + ".");
    // The kernel copies without passing the bytes through the program when it can.
    qint64 left = source.size();
    while (left > 0) {
        const ssize_t copied =
            copy_file_range(source.handle(), nullptr, copy.handle(), nullptr, size_t(left), 0);
        if (copied <= 0)
            break;
        left -= copied;
    }
    if (left == 0)
        source.seek(source.size());
    else if (!source.seek(source.size() - left) || !copy.seek(source.size() - left))
        fail("the copy could not go on.");
    QByteArray chunk;
    while (!source.atEnd()) {
        chunk = source.read(4 << 20);
        if (chunk.isEmpty() && source.error() != QFileDevice::NoError) {
            copy.cancelWriting();
            fail(QString("reading \"%1\" failed (%2).").arg(from, source.errorString()));
        }
        if (copy.write(chunk) != chunk.size()) {
            const QString reason = copy.errorString();
            copy.cancelWriting();
            fail(reason + ".");
        }
    }
    if (!copy.commit())
        fail(copy.errorString() + ".");
}

int Tdm::CardCount(const QString &path) {
    if (!QFileInfo(path).isFile())
        throw LexomatError(QString("The library file \"%1\" does not exist.").arg(path));
    sqlite3 *db = nullptr;
    // Read-only and without a journal of its own: looking must not change the file.
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    QString failure;
    int count = -1;
    if (rc != SQLITE_OK) {
        failure = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString("out of memory");
    } else {
        try {
            LibrarySchema::Check(db, path);
            sqlite3_stmt *statement = nullptr;
            if (sqlite3_prepare_v2(db, "SELECT count(*) FROM Library", -1, &statement, nullptr) ==
                    SQLITE_OK &&
                sqlite3_step(statement) == SQLITE_ROW)
                count = sqlite3_column_int(statement, 0);
            else
                failure = QString::fromUtf8(sqlite3_errmsg(db));
            sqlite3_finalize(statement);
        } catch (...) {
            sqlite3_close(db);
            throw;
        }
    }
    sqlite3_close(db);
    if (count < 0)
        throw LexomatError(
            QString("The library file \"%1\" cannot be read: %2").arg(path, failure));
    return count;
}
