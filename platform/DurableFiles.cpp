#include "platform/DurableFiles.h"

#include "platform/LexomatError.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace DurableFiles {

namespace {
QString SystemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

void Flush(const QString &path, int flags, const QString &what) {
    const int fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
        const int error = errno;
        if (fd >= 0)
            ::close(fd);
        throw LexomatError(what.arg(path, SystemReason(error)));
    }
    ::close(fd);
}
} // namespace

void FlushFile(const QString &path) {
    Flush(path, O_RDONLY, QStringLiteral("The file \"%1\" cannot be written to disk: %2"));
}

void FlushFolderOf(const QString &path) {
    Flush(QFileInfo(path).absolutePath(), O_RDONLY | O_DIRECTORY,
          QStringLiteral("The folder \"%1\" cannot be written to disk: %2"));
}

Renamed Rename(const QString &from, const QString &to, bool replace) {
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    int result = 0;
    if (replace) {
        result = std::rename(source.constData(), target.constData());
    } else {
        result = ::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(),
                             RENAME_NOREPLACE);
        if (result != 0 && (errno == EINVAL || errno == ENOSYS)) {
            // A file system without the no-replace rename: a hard link refuses a taken name
            // too.
            result = ::link(source.constData(), target.constData());
            if (result == 0)
                ::unlink(source.constData());
        }
    }
    const int error = errno;
    if (result == 0)
        return Renamed::Done;
    if (error == EEXIST && !replace)
        return Renamed::NameTaken;
    if (error == EXDEV)
        return Renamed::OtherFileSystem;
    throw LexomatError(QString(replace ? "The file \"%1\" cannot be replaced: %2"
                                       : "The file \"%1\" cannot be given its name: %2")
                           .arg(to, SystemReason(error)));
}

bool MoveToFreeName(const QString &from, const QString &to) {
    switch (Rename(from, to, false)) {
    case Renamed::NameTaken:
        return false;
    case Renamed::OtherFileSystem:
        throw LexomatError(
            QString("The file \"%1\" cannot be given its name: %2").arg(to, SystemReason(EXDEV)));
    case Renamed::Done:
        break;
    }
    FlushFolderOf(to);
    return true;
}

void MoveOver(const QString &from, const QString &to) {
    if (Rename(from, to, true) != Renamed::Done)
        throw LexomatError(
            QString("The file \"%1\" cannot be replaced: %2").arg(to, SystemReason(EXDEV)));
    FlushFolderOf(to);
}

mode_t ModeFor(const QString &target) {
    struct stat st {};
    if (::stat(QFile::encodeName(target).constData(), &st) == 0)
        return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace DurableFiles
