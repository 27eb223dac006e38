// The data module's whole-file operations: creating, copying and probing library files.
#include "store/Tdm.h"

#include "platform/DurableFiles.h"
#include "platform/LexomatError.h"
#include "store/CardReader.h"
#include "store/LibrarySaveTarget.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

void Tdm::CreateDatabase(const QString &newPath) {
    SetDatabasePath(newPath);
    OpenAs(LibraryConnection::Mode::CreateNew);
}

void Tdm::CopyLibraryFile(const QString &from, const QString &chosen, bool replace) {
    const LibrarySaveTarget target(from, chosen);
    const QString &finalPath = target.Path();
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        target.Fail(QString("\"%1\" cannot be read (%2).").arg(from, source.errorString()));
    // The copy is written beside the target, flushed, and renamed over it only when
    // complete; the folder is flushed before anyone relies on the new name.
    QTemporaryFile copy(QFileInfo(finalPath).absolutePath() + "/." + QFileInfo(chosen).fileName() +
                        ".XXXXXX.part");
    if (!copy.open())
        target.Fail(QFileInfo(QFileInfo(finalPath).absolutePath()).isWritable()
                        ? copy.errorString() + "."
                        : QStringLiteral("the folder cannot be written."));
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
        target.Fail("the copy could not go on.");
    QByteArray chunk;
    while (!source.atEnd()) {
        chunk = source.read(4 << 20);
        if (chunk.isEmpty() && source.error() != QFileDevice::NoError)
            target.Fail(QString("reading \"%1\" failed (%2).").arg(from, source.errorString()));
        if (copy.write(chunk) != chunk.size())
            target.Fail(copy.errorString() + ".");
    }
    if (!copy.flush())
        target.Fail(copy.errorString() + ".");
    if (::fsync(copy.handle()) != 0)
        target.Fail(QString::fromLocal8Bit(std::strerror(errno)) + ".");
    ::fchmod(copy.handle(), target.Mode());
    bool named = true;
    try {
        if (replace)
            DurableFiles::MoveOver(copy.fileName(), finalPath);
        else
            named = DurableFiles::MoveToFreeName(copy.fileName(), finalPath);
    } catch (const LexomatError &error) {
        target.Fail(error.reason(), error.detail());
    }
    if (!named)
        target.Fail("another file of that name was made meanwhile.");
    copy.setAutoRemove(false);
}

int Tdm::CardCount(const QString &path) {
    if (!QFileInfo(path).isFile())
        throw LexomatError(QString("The library file \"%1\" does not exist.").arg(path));
    // Read-only and without a journal of its own: looking must not change the file.
    LibraryConnection library(path, LibraryConnection::Mode::ReadOnly);
    return int(CardReader::Count(library));
}
