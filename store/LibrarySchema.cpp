#include "store/LibrarySchema.h"

#include "platform/LexomatError.h"
#include "store/TableColumns.h"

namespace LibrarySchema {

const char *const CreateStatements =
    "CREATE TABLE Library ([ID] INTEGER CONSTRAINT [Index1] PRIMARY KEY AUTOINCREMENT,"
    " [Word] VARCHAR(100) NOT NULL, [ImportanceField] INTEGER NOT NULL,"
    " [Definition] TEXT NOT NULL);"
    "CREATE TABLE TotalTime ([TotalTime] INTEGER NOT NULL);";

namespace {
enum class Kind { Identity, Integer, Text };
struct Expected {
    const char *name;
    Kind kind;
};

[[noreturn]] void Refuse(const QString &fileName, const QString &reason) {
    throw LexomatError(QString("The file \"%1\" is not a library file: %2.").arg(fileName, reason));
}

void CheckTable(sqlite3 *db, const QString &fileName, const QString &table,
                std::initializer_list<Expected> expected) {
    const std::vector<TableColumn> columns = ReadTableColumns(db, table);
    if (columns.empty())
        Refuse(fileName, QString("it has no table %1").arg(table));
    for (const Expected &e : expected) {
        const int i = ColumnIndex(columns, e.name);
        if (i < 0)
            Refuse(fileName, QString("the table %1 has no column %2").arg(table, e.name));
        const TableColumn &c = columns[size_t(i)];
        bool ok = false;
        switch (e.kind) {
        case Kind::Identity:
            // Only INTEGER PRIMARY KEY makes the column the row's own identity.
            ok = c.primaryKey && c.type.compare("INTEGER", Qt::CaseInsensitive) == 0;
            break;
        case Kind::Integer:
            ok = c.integer;
            break;
        case Kind::Text:
            ok = c.text;
            break;
        }
        if (!ok)
            Refuse(fileName, QString("the column %1 of the table %2 has the wrong type \"%3\"")
                                 .arg(e.name, table, c.type));
    }
}
} // namespace

void Check(sqlite3 *db, const QString &fileName) {
    CheckTable(db, fileName, "Library",
               {{"ID", Kind::Identity},
                {"Word", Kind::Text},
                {"ImportanceField", Kind::Integer},
                {"Definition", Kind::Text}});
    CheckTable(db, fileName, "TotalTime", {{"TotalTime", Kind::Integer}});
}

} // namespace LibrarySchema
