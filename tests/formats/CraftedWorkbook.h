#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

// Workbooks whose XML the test writes itself, zipped by Python's zipfile: for the
// shapes that no writer makes on purpose (references at the edge, escapes cut short,
// relationships outside the package, entries that lie about their size).
namespace CraftedWorkbook {
struct Part {
    QString name;
    QByteArray content;
};
using Parts = QList<Part>;

// A one-sheet .xlsx ("Sheet1") around the rows given as <sheetData> content.
// sharedStrings: the <si> elements, or empty for no shared-string part. styles: the
// <cellXfs> content (cell formats), or empty for none.
Parts Xlsx(const QByteArray &rows, const QByteArray &sharedStrings = {}, bool date1904 = false,
           const QByteArray &cellFormats = {});
// A one-sheet .ods ("Sheet1") around the <table:table-row> elements given.
Parts Ods(const QByteArray &rows);
// Replaces (or adds) a part.
void Put(Parts &parts, const QString &name, const QByteArray &content);

// Zips the parts into path; an entry named in sizeDelta declares that many bytes
// more than it inflates to. Returns what went wrong, or an empty text.
QString Write(const QString &path, const Parts &parts, const QHash<QString, int> &sizeDelta = {});
} // namespace CraftedWorkbook
