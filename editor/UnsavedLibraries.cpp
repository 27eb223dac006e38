#include "editor/UnsavedLibraries.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>

namespace UnsavedLibraries {

QString LockPath(const QString &libraryPath) {
    return libraryPath + QStringLiteral(".lock");
}

bool IsTempName(const QString &fileName) {
    static const QRegularExpression name(QStringLiteral("^[0-9]+\\.mdb$"));
    return name.match(fileName).hasMatch();
}

QStringList Stranded(const QString &folder) {
    QStringList found;
    const QFileInfoList files = QDir(folder).entryInfoList({QStringLiteral("*.mdb")}, QDir::Files,
                                                           QDir::Time | QDir::Reversed);
    for (const QFileInfo &file : files) {
        if (!IsTempName(file.fileName()))
            continue;
        // A lock that a live process holds fails to lock; the lock of a crashed run is
        // recognised as stale (its process is gone) and taken over.
        QLockFile lock(LockPath(file.absoluteFilePath()));
        lock.setStaleLockTime(0);
        if (!lock.tryLock(0))
            continue;
        lock.unlock();
        found << file.absoluteFilePath();
    }
    return found;
}

} // namespace UnsavedLibraries
