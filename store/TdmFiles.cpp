// The data module's whole-file operations: creating, copying and probing library files.
#include "store/Tdm.h"

#include "platform/LexomatError.h"
#include "store/CardReader.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <unistd.h>

void Tdm::CreateDatabase(const QString &newPath) {
    SetDatabasePath(newPath);
    OpenAs(LibraryConnection::Mode::CreateNew);
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
    // Read-only and without a journal of its own: looking must not change the file.
    LibraryConnection library(path, LibraryConnection::Mode::ReadOnly);
    return int(CardReader::Count(library));
}
