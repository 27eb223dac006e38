#include "store/StoredLevels.h"

#include "platform/LexomatError.h"
#include "store/LibraryConnection.h"
#include "store/SqliteStatement.h"

#include <cmath>
#include <limits>
#include <sqlite3.h>

namespace {
// Read as the table dataset reads a kept number: a whole number also when stored as a
// real or as text.
int32_t WholeNumber(const SqliteStatement &row, const char *field) {
    bool whole = false;
    qlonglong value = 0;
    switch (row.Type(0)) {
    case SQLITE_INTEGER:
        value = row.Int(0);
        whole = true;
        break;
    case SQLITE_FLOAT: {
        const double real = row.Value(0).toDouble();
        whole = std::trunc(real) == real && std::abs(real) < 1e18;
        value = whole ? qlonglong(real) : 0;
        break;
    }
    case SQLITE_TEXT:
        value = row.Text(0).trimmed().toLongLong(&whole);
        break;
    default:
        break;
    }
    if (!whole || value < std::numeric_limits<int32_t>::min() ||
        value > std::numeric_limits<int32_t>::max())
        throw LexomatError(QString("The library file \"%1\" has a %2 that is not a whole number "
                                   "(\"%3\").")
                               .arg(SqliteFileName(row.Handle()), field, row.Text(0)));
    return int32_t(value);
}

SqliteStatement LevelStatement(LibraryConnection &connection) {
    return SqliteStatement(connection.Handle(), "SELECT ImportanceField FROM Library WHERE ID=?",
                           "Reading the levels");
}

std::optional<int32_t> StepLevel(SqliteStatement &select, int32_t id) {
    select.BindInt(1, id);
    std::optional<int32_t> level;
    if (select.Step())
        level = WholeNumber(select, "ImportanceField");
    select.Reset();
    return level;
}
} // namespace

namespace StoredLevels {

std::optional<int32_t> LevelOf(LibraryConnection &connection, int32_t id) {
    SqliteStatement select = LevelStatement(connection);
    return StepLevel(select, id);
}

std::vector<std::pair<int32_t, int32_t>>
ChangedLevels(LibraryConnection &connection, const std::vector<std::pair<int32_t, int32_t>> &read) {
    std::vector<std::pair<int32_t, int32_t>> changed;
    if (read.empty())
        return changed;
    SqliteStatement select = LevelStatement(connection);
    for (const auto &[id, level] : read) {
        const std::optional<int32_t> now = StepLevel(select, id);
        if (now && *now != level)
            changed.emplace_back(id, *now);
    }
    return changed;
}

int32_t StudySeconds(LibraryConnection &connection) {
    SqliteStatement table(connection.Handle(),
                          "SELECT 1 FROM sqlite_master WHERE type='table' AND name='TotalTime' "
                          "COLLATE NOCASE",
                          "Reading the study time");
    const bool there = table.Step();
    table.Reset();
    if (!there)
        return 0;
    SqliteStatement first(connection.Handle(), "SELECT TotalTime FROM TotalTime LIMIT 1",
                          "Reading the study time");
    int32_t seconds = 0;
    if (first.Step())
        seconds = WholeNumber(first, "TotalTime");
    first.Reset();
    return seconds;
}

} // namespace StoredLevels
