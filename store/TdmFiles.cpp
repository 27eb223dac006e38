// The data module's whole-file operations: creating, copying and probing library files.
#include "store/Tdm.h"

#include "platform/DurableFiles.h"
#include "platform/FileIdentity.h"
#include "platform/LexomatError.h"
#include "store/CardReader.h"

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

namespace {
// The permissions a new file gets from the user's umask, or the replaced file's own.
void TakePermissions(QFile &copy, const QString &target) {
    struct stat st {};
    mode_t mode;
    if (::stat(QFile::encodeName(target).constData(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(copy.handle(), mode);
}
} // namespace

void Tdm::CopyLibraryFile(const QString &from, const QString &target) {
    auto fail = [&](const QString &reason) {
        throw LexomatError(
            QString("The library could not be saved as \"%1\": %2").arg(target, reason));
    };
    // The file itself, not the path: a link to the library is the library.
    if (SameFile(from, target))
        fail("it is the library being saved.");
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        fail(QString("\"%1\" cannot be read (%2).").arg(from, source.errorString()));
    const QFileInfo info(target);
    if (info.isDir())
        fail("a folder of that name is in the way.");
    // A name that is a link saves into the file it links to.
    const QString finalPath = !info.isSymLink()                    ? info.absoluteFilePath()
                              : info.canonicalFilePath().isEmpty() ? info.symLinkTarget()
                                                                   : info.canonicalFilePath();
    // The copy is written beside the target, flushed, and renamed over it only when
    // complete; the folder is flushed before anyone relies on the new name.
    QTemporaryFile copy(QFileInfo(finalPath).absolutePath() + "/." + info.fileName() +
                        ".XXXXXX.part");
    if (!copy.open())
        fail(QFileInfo(QFileInfo(finalPath).absolutePath()).isWritable()
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
        fail("the copy could not go on.");
    QByteArray chunk;
    while (!source.atEnd()) {
        chunk = source.read(4 << 20);
        if (chunk.isEmpty() && source.error() != QFileDevice::NoError)
            fail(QString("reading \"%1\" failed (%2).").arg(from, source.errorString()));
        if (copy.write(chunk) != chunk.size())
            fail(copy.errorString() + ".");
    }
    if (!copy.flush())
        fail(copy.errorString() + ".");
    if (::fsync(copy.handle()) != 0)
        fail(QString::fromLocal8Bit(std::strerror(errno)) + ".");
    TakePermissions(copy, finalPath);
    try {
        DurableFiles::MoveOver(copy.fileName(), finalPath);
    } catch (const LexomatError &error) {
        fail(error.message());
    }
    copy.setAutoRemove(false);
}

int Tdm::CardCount(const QString &path) {
    if (!QFileInfo(path).isFile())
        throw LexomatError(QString("The library file \"%1\" does not exist.").arg(path));
    // Read-only and without a journal of its own: looking must not change the file.
    LibraryConnection library(path, LibraryConnection::Mode::ReadOnly);
    return int(CardReader::Count(library));
}
