#include "store/LibrarySchema.h"

#include "platform/LexomatError.h"
#include "store/SqliteStatement.h"
#include "store/TableColumns.h"

#include <cstdint>
#include <limits>
#include <optional>

namespace LibrarySchema {

#define LEXOMAT_LIBRARY_TABLE                                                                      \
    "CREATE TABLE Library ([ID] INTEGER CONSTRAINT [Index1] PRIMARY KEY AUTOINCREMENT,"            \
    " [Word] VARCHAR(100) NOT NULL, [ImportanceField] INTEGER NOT NULL,"                           \
    " [Definition] TEXT NOT NULL);"
#define LEXOMAT_TIME_TABLE "CREATE TABLE TotalTime ([TotalTime] INTEGER NOT NULL);"
const char *const CreateLibraryTable = LEXOMAT_LIBRARY_TABLE;
const char *const CreateTimeTable = LEXOMAT_TIME_TABLE;
const char *const CreateStatements = LEXOMAT_LIBRARY_TABLE LEXOMAT_TIME_TABLE;
#undef LEXOMAT_LIBRARY_TABLE
#undef LEXOMAT_TIME_TABLE

QString KeptIntegerField(const QString &table) {
    if (table.compare(QLatin1String("Library"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("ImportanceField");
    if (table.compare(QLatin1String("TotalTime"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("TotalTime");
    return {};
}

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
                std::initializer_list<Expected> expected, bool required = true) {
    const std::vector<TableColumn> columns = ReadTableColumns(db, table);
    if (columns.empty() && !required)
        return;
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
    CheckTable(db, fileName, "TotalTime", {{"TotalTime", Kind::Integer}}, false);
    // SQLite goes on numbering past 32 bits; such a card could be neither found nor saved.
    // Each of min() and max() alone is one step down the key; both at once scan the table.
    auto rowidEnd = [&](const char *sql) -> std::optional<int64_t> {
        SqliteStatement end(db, sql, "Reading the card numbers");
        if (!end.Step() || end.IsNull(0))
            return std::nullopt;
        const int64_t value = end.Int(0);
        end.Reset();
        return value;
    };
    for (const char *sql : {"SELECT min(rowid) FROM Library", "SELECT max(rowid) FROM Library"}) {
        const std::optional<int64_t> id = rowidEnd(sql);
        if (id && (*id < std::numeric_limits<int32_t>::min() ||
                   *id > std::numeric_limits<int32_t>::max()))
            Refuse(fileName, QString("it has a card with the ID %1, beyond the range of whole "
                                     "numbers (32 bits) that this program can keep")
                                 .arg(*id));
    }
}

void RefuseCardIdBeyondRange(sqlite3 *db, int64_t id) {
    if (id > std::numeric_limits<int32_t>::max())
        throw LexomatError(QString("The library file \"%1\" cannot take another card: its card "
                                   "IDs have reached the largest whole number (32 bits) that "
                                   "this program can keep.")
                               .arg(SqliteFileName(db)));
}

} // namespace LibrarySchema
