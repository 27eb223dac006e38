#pragma once

#include <QString>
#include <QStringList>

// Untitled libraries are edited as "<random number>.mdb" in the start-up folder, with a
// lock file "<name>.lock" beside them while a running editor has them open.
namespace UnsavedLibraries {
QString LockPath(const QString &libraryPath);
bool IsTempName(const QString &fileName); // decimal digits + ".mdb"
// Temporary libraries in folder that no running program holds, oldest first.
QStringList Stranded(const QString &folder);
} // namespace UnsavedLibraries
