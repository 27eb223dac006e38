#include "store/TableColumns.h"

#include "store/SqliteStatement.h"

#include <QRegularExpression>

std::vector<TableColumn> ReadTableColumns(sqlite3 *db, const QString &table) {
    SqliteStatement info(db, "SELECT name, type, \"notnull\", pk FROM pragma_table_info(?)",
                         "Reading the table layout");
    info.BindText(1, table);
    std::vector<TableColumn> columns;
    static const QRegularExpression size(R"(\(\s*(\d+)\s*\))");
    while (info.Step()) {
        TableColumn c;
        c.name = info.Text(0);
        c.type = info.Text(1);
        c.notNull = info.Int(2) != 0;
        c.primaryKey = info.Int(3) != 0;
        // SQLite's own affinity rules, in their order.
        const QString upper = c.type.toUpper();
        c.integer = upper.contains("INT");
        c.text = !c.integer &&
                 (upper.contains("CHAR") || upper.contains("CLOB") || upper.contains("TEXT"));
        const QRegularExpressionMatch m = size.match(c.type);
        if (c.text && m.hasMatch())
            c.maxLength = m.captured(1).toInt();
        columns.push_back(c);
    }
    return columns;
}

int ColumnIndex(const std::vector<TableColumn> &columns, const QString &name) {
    for (size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name == name)
            return int(i);
    for (size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

QByteArray QuotedName(const QString &name) {
    QString quoted = name;
    quoted.replace('"', "\"\"");
    return ('"' + quoted + '"').toUtf8();
}
