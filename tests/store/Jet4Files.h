#pragma once

#include <QString>
#include <QStringList>

// The Jet 4 test files made by the project's own generator, with expected.json
// listing every row. Tests work on copies, since the converter writes beside them.
namespace Jet4Files {
// Older libraries are read by the built program in a child process: call this once.
void UseBuiltReader();
QString original(const QString &name);
QString copyInto(const QString &folder, const QString &name); // returns the copy's path
// Empty when the library file holds exactly the rows of the named test file that
// have no NULL, and its study time (0 when it had none); else the first difference.
// Read through a plain SQLite connection of its own.
QString compareWithExpected(const QString &copyPath, const QString &name);
QByteArray checksum(const QString &path);
QStringList listing(const QString &folder); // file names, sorted, hidden ones too
} // namespace Jet4Files
