#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>

// The Jet 4 test files made by the project's own generator, with expected.json
// listing every row; tests work on copies in a folder of their own, since the
// converter writes beside the original.
namespace Jet4Files {
QString original(const QString &name); // in the shared test data
// Copies the named test file into folder; returns the copy's path.
QString copyInto(const QString &folder, const QString &name);

// Empty when the library file at copyPath holds exactly the rows of the named test
// file that have no NULL, and its study time (0 when the original had none); else
// what differs. Read through a plain SQLite connection of its own.
QString compareWithExpected(const QString &copyPath, const QString &name);
// IDs of the rows the expected data lists with a NULL value.
QList<qint64> idsWithNulls(const QString &name);

QByteArray checksum(const QString &path);
QStringList listing(const QString &folder); // file names, sorted, hidden ones too
} // namespace Jet4Files
