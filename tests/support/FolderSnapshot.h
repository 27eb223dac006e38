#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

// Every file under a folder (links as links, hidden files too) with its bytes, to see
// what a step changed and what it left alone.
using FolderSnapshot = QMap<QString, QByteArray>; // relative path -> bytes

namespace FolderSnapshots {
FolderSnapshot Take(const QString &folder);
// The relative paths that differ between two snapshots (changed, made or gone).
QStringList Changed(const FolderSnapshot &before, const FolderSnapshot &after);
} // namespace FolderSnapshots
