#include "store/ProgressHistory.h"

#include "platform/LexomatError.h"
#include "store/LibraryConnection.h"
#include "store/SqliteStatement.h"
#include "store/TableColumns.h"
#include "store/Tdm.h"

#include <QString>
#include <algorithm>
#include <limits>
#include <sqlite3.h>

namespace ProgressHistory {

const char *const TableName = "Progress";

namespace {
const char *const CreateTable =
    "CREATE TABLE IF NOT EXISTS Progress ([ID] INTEGER PRIMARY KEY,"
    " [SavedAt] INTEGER NOT NULL, [StudySeconds] INTEGER NOT NULL,"
    " [Answers] INTEGER NOT NULL, [RightFirst] INTEGER NOT NULL,"
    " [DontKnow] INTEGER NOT NULL, [Box1] INTEGER NOT NULL, [Box2] INTEGER NOT NULL,"
    " [Box3] INTEGER NOT NULL, [Know] INTEGER NOT NULL, [Reset] INTEGER NOT NULL DEFAULT 0)";

// In the order of the statements below.
const char *const Columns[] = {"SavedAt", "StudySeconds", "Answers", "RightFirst", "DontKnow",
                               "Box1",    "Box2",         "Box3",    "Know",       "Reset"};
constexpr int ColumnCount = int(std::size(Columns));

// OR ABORT: a conflict clause of another program's (ON CONFLICT ROLLBACK) would undo the
// caller's whole transaction, which no savepoint survives.
const char *const Insert =
    "INSERT OR ABORT INTO Progress ([SavedAt], [StudySeconds], [Answers], [RightFirst],"
    " [DontKnow], [Box1], [Box2], [Box3], [Know], [Reset])"
    " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)";

const char *const Select =
    "SELECT [SavedAt], [StudySeconds], [Answers], [RightFirst], [DontKnow], [Box1], [Box2],"
    " [Box3], [Know], [Reset] FROM Progress ORDER BY rowid";

// The last second of the year 9999: a time beyond it is no time a clock gave.
constexpr int64_t LatestTime = 253402300799;

// Failures that come from the table's own shape (a column missing, a constraint or
// trigger of another program, a view of that name) rather than from the file.
bool IsShapeProblem(int code) {
    switch (code & 0xff) {
    case SQLITE_ERROR:
    case SQLITE_CONSTRAINT:
    case SQLITE_MISMATCH:
    case SQLITE_RANGE:
        return true;
    default:
        return false;
    }
}

int32_t Count(int64_t value) {
    return int32_t(std::clamp<int64_t>(value, 0, std::numeric_limits<int32_t>::max()));
}

// Triggers are another program's: one that raises ROLLBACK would undo the caller's whole
// transaction from inside the insert, and no statement can forbid it that.
const char *const FindTriggers = "SELECT 1 FROM sqlite_master WHERE type = 'trigger'"
                                 " AND tbl_name = 'Progress' COLLATE NOCASE LIMIT 1";

int WriteRow(sqlite3 *db, const ProgressRow &row) {
    int rc = sqlite3_exec(db, CreateTable, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        return rc;
    sqlite3_stmt *st = nullptr;
    rc = sqlite3_prepare_v2(db, FindTriggers, -1, &st, nullptr);
    if (rc != SQLITE_OK)
        return rc;
    rc = sqlite3_step(st);
    sqlite3_finalize(st);
    if (rc == SQLITE_ROW)
        return SQLITE_CONSTRAINT; // left as it is, as a table of another shape
    if (rc != SQLITE_DONE)
        return rc;
    rc = sqlite3_prepare_v2(db, Insert, -1, &st, nullptr);
    if (rc != SQLITE_OK)
        return rc;
    const int64_t values[ColumnCount] = {
        row.SavedAt,  row.StudySeconds, row.Answers,  row.RightFirst, row.Boxes[0],
        row.Boxes[1], row.Boxes[2],     row.Boxes[3], row.Boxes[4],   row.Reset ? 1 : 0};
    for (int i = 0; i < ColumnCount; ++i)
        sqlite3_bind_int64(st, i + 1, values[i]);
    rc = sqlite3_step(st);
    // Finalizing keeps the step's message for the report below.
    sqlite3_finalize(st);
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}
} // namespace

void Append(Tdm &dm, const ProgressRow &row) {
    Append(dm.Connection(), row);
}

void Append(LibraryConnection &library, const ProgressRow &row) {
    sqlite3 *db = library.Handle();
    const QString what = QStringLiteral("Saving the progress");
    ExecSql(db, "SAVEPOINT progress_row", what);
    const int rc = WriteRow(db, row);
    if (rc != SQLITE_OK && !IsShapeProblem(rc))
        ThrowSqliteError(db, what); // the caller's rollback undoes the whole save
    if (rc != SQLITE_OK)
        ExecSql(db, "ROLLBACK TO progress_row", what);
    ExecSql(db, "RELEASE progress_row", what);
}

std::vector<ProgressRow> Read(Tdm &dm) {
    return Read(dm.Connection());
}

std::vector<ProgressRow> Read(LibraryConnection &library) {
    sqlite3 *db = library.Handle();
    std::vector<ProgressRow> rows;
    const std::vector<TableColumn> columns = ReadTableColumns(db, QString::fromLatin1(TableName));
    if (columns.empty())
        return rows;
    for (const char *name : Columns)
        if (ColumnIndex(columns, QString::fromLatin1(name)) < 0)
            throw LexomatError(QString("The progress saved in the library file \"%1\" cannot be "
                                       "read: the table %2 has no column %3.")
                                   .arg(SqliteFileName(db), TableName, name));
    SqliteStatement select(db, Select, QStringLiteral("Reading the progress"));
    while (select.Step()) {
        bool whole = true;
        for (int i = 0; i < ColumnCount; ++i)
            whole = whole && select.Type(i) == SQLITE_INTEGER;
        if (!whole || select.Int(0) < 0 || select.Int(0) > LatestTime)
            continue; // another program's row that is no session
        ProgressRow row;
        row.SavedAt = select.Int(0);
        row.StudySeconds = Count(select.Int(1));
        row.Answers = Count(select.Int(2));
        row.RightFirst = std::min(Count(select.Int(3)), row.Answers);
        for (int box = 0; box < 5; ++box)
            row.Boxes[size_t(box)] = Count(select.Int(4 + box));
        row.Reset = select.Int(9) != 0;
        rows.push_back(row);
    }
    return rows;
}

} // namespace ProgressHistory
