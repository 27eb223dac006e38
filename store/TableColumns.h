#pragma once

#include <QString>
#include <vector>

struct sqlite3;

// One column of a table as the file declares it.
struct TableColumn {
    QString name;
    QString type;
    bool notNull = false;
    bool primaryKey = false;
    bool integer = false; // integer affinity
    bool text = false;    // text affinity
    int maxLength = 0;    // from a declared size such as VARCHAR(100); 0 = none
};

// The columns of a table in table order; empty when the table does not exist.
std::vector<TableColumn> ReadTableColumns(sqlite3 *db, const QString &table);
// Index of a column by name (case-insensitive, as SQL names are), or -1.
int ColumnIndex(const std::vector<TableColumn> &columns, const QString &name);
// A name quoted for SQL text.
QByteArray QuotedName(const QString &name);
