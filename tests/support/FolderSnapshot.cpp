#include "tests/support/FolderSnapshot.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace FolderSnapshots {

FolderSnapshot Take(const QString &folder) {
    FolderSnapshot files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QString name = QDir(folder).relativeFilePath(info.filePath());
        if (info.isSymLink()) {
            files[name] = "link to " + info.symLinkTarget().toUtf8();
            continue;
        }
        QFile file(info.filePath());
        files[name] = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
    }
    return files;
}

QStringList Changed(const FolderSnapshot &before, const FolderSnapshot &after) {
    QStringList changed;
    for (auto it = before.constBegin(); it != before.constEnd(); ++it)
        if (!after.contains(it.key()) || after.value(it.key()) != it.value())
            changed << it.key();
    for (auto it = after.constBegin(); it != after.constEnd(); ++it)
        if (!before.contains(it.key()))
            changed << it.key();
    changed.sort();
    return changed;
}

} // namespace FolderSnapshots
