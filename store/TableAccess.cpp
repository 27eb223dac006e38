#include "store/TableAccess.h"

#include "platform/LexomatError.h"
#include "store/LibrarySchema.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <sqlite3.h>

namespace {
// A stored number read as a 32-bit whole number, or the file is refused rather than
// its value guessed at.
int32_t WholeNumber(const SqliteStatement &row, int column, const QString &name) {
    if (row.Type(column) == SQLITE_INTEGER) {
        const int64_t n = row.Int(column);
        if (n >= std::numeric_limits<int32_t>::min() && n <= std::numeric_limits<int32_t>::max())
            return int32_t(n);
    }
    const QVariant v = row.Value(column);
    bool ok = false;
    qlonglong n = 0;
    if (v.typeId() == QMetaType::Double) {
        // Range first: converting a huge real to an integer is undefined.
        const double d = v.toDouble();
        ok = d >= std::numeric_limits<int32_t>::min() && d <= std::numeric_limits<int32_t>::max() &&
             d == std::trunc(d);
        n = ok ? qlonglong(d) : 0;
    } else {
        n = v.toLongLong(&ok);
    }
    if (v.typeId() == QMetaType::QString || v.isNull() || !ok ||
        n < std::numeric_limits<int32_t>::min() || n > std::numeric_limits<int32_t>::max())
        throw LexomatError(QString("The library file \"%1\" has a %2 that is not a whole number "
                                   "(%3) in row %4.")
                               .arg(SqliteFileName(row.Handle()), name,
                                    v.isNull() ? QString("empty") : "\"" + v.toString() + "\"")
                               .arg(row.Int(0)));
    return int32_t(n);
}
} // namespace

TableAccess::TableAccess(sqlite3 *db, const QString &table)
    : db(db), table(table), quotedTable(QuotedName(table)) {
    columns = ReadTableColumns(db, table);
    if (columns.empty())
        throw LexomatError(
            QString("The library file \"%1\" has no table %2.").arg(SqliteFileName(db), table));
    const QString kept = LibrarySchema::KeptIntegerField(table);
    for (size_t i = 0; i < columns.size(); ++i) {
        const TableColumn &c = columns[i];
        if (c.primaryKey && c.type.compare("INTEGER", Qt::CaseInsensitive) == 0)
            identityColumn = int(i);
        else if (c.integer && cachedColumn < 0 && kept.isEmpty())
            cachedColumn = int(i);
    }
    // The level is taken by its name: another integer column may stand before it.
    if (!kept.isEmpty()) {
        const int column = ColumnIndex(columns, kept);
        if (column >= 0 && columns[size_t(column)].integer)
            cachedColumn = column;
    }
    PrepareStatements();
}

TableAccess::~TableAccess() = default;

void TableAccess::PrepareStatements() {
    readRow =
        SqliteStatement(db, "SELECT * FROM " + quotedTable + " WHERE rowid=?", "Reading a row");
    exists =
        SqliteStatement(db, "SELECT 1 FROM " + quotedTable + " WHERE rowid=?", "Looking for a row");
    dataVersion = SqliteStatement(db, "PRAGMA data_version", "Reading the file's version");
    deleteRow =
        SqliteStatement(db, "DELETE FROM " + quotedTable + " WHERE rowid=?", "Deleting the row");
}

void TableAccess::Suspend() {
    Unseek();
    try {
        carried = BaseCurrent();
    } catch (const LexomatError &) {
        carried = false; // read again when needed
    }
    // A statement keeps its connection open: every one goes.
    readRow = {};
    exists = {};
    dataVersion = {};
    deleteRow = {};
    inserts.clear();
    updates.clear();
    db = nullptr;
}

void TableAccess::Resume(sqlite3 *handle) {
    db = handle;
    PrepareStatements();
    baseValid = baseValid && carried;
    carried = false;
    stale = false;
    verifiedInTransaction = false;
    if (baseValid) {
        snapChanges = sqlite3_total_changes64(db);
        snapVersion = DataVersion();
    }
}

int64_t TableAccess::DataVersion() {
    dataVersion.Step();
    const int64_t v = dataVersion.Int(0);
    dataVersion.Reset();
    return v;
}

bool TableAccess::Valid() const {
    return baseValid && !stale && sqlite3_total_changes64(db) == snapChanges;
}

void TableAccess::RequireConnection() const {
    // Between Suspend and Resume a window may still paint.
    if (!db)
        throw LexomatError(
            QString("The table %1 cannot be read while its file is given its name.").arg(table));
}

bool TableAccess::BaseCurrent() {
    RequireConnection();
    if (!baseValid || stale || sqlite3_total_changes64(db) != snapChanges)
        return false;
    if (verifiedInTransaction)
        return true;
    const bool current = DataVersion() == snapVersion;
    verifiedInTransaction = current && !sqlite3_get_autocommit(db);
    return current;
}

void TableAccess::BuildBase() {
    // Until the scan ends, a failure (a level that is no number) leaves no list to trust.
    baseValid = false;
    baseIds.clear();
    baseInts.clear();
    // IDs mostly run from 1 up, so the largest is a fair guess of the count.
    const size_t guess = size_t(std::clamp<int64_t>(MaxRowid(), 0, int64_t(1) << 24));
    baseIds.reserve(guess);
    if (cachedColumn >= 0)
        baseInts.reserve(guess);
    QByteArray sql = "SELECT rowid";
    if (cachedColumn >= 0)
        sql += ", " + QuotedName(columns[size_t(cachedColumn)].name);
    sql += " FROM " + quotedTable + " ORDER BY rowid";
    SqliteStatement scan(db, sql, "Reading the table");
    while (scan.Step()) {
        baseIds.push_back(scan.Int(0));
        if (cachedColumn >= 0)
            baseInts.push_back(WholeNumber(scan, 1, columns[size_t(cachedColumn)].name));
    }
    baseValid = true;
    stale = false;
    snapChanges = sqlite3_total_changes64(db);
    snapVersion = DataVersion();
}

const std::vector<int64_t> &TableAccess::BaseIds() {
    if (!BaseCurrent())
        BuildBase();
    return baseIds;
}

int64_t TableAccess::BaseIndex(int64_t rowid) {
    BaseIds();
    return IndexUnchecked(rowid);
}

int64_t TableAccess::IndexUnchecked(int64_t rowid) const {
    const auto it = std::lower_bound(baseIds.begin(), baseIds.end(), rowid);
    return it != baseIds.end() && *it == rowid ? int64_t(it - baseIds.begin()) : -1;
}

bool TableAccess::Exists(int64_t rowid) {
    exists.BindInt(1, rowid);
    const bool found = exists.Step();
    exists.Reset();
    return found;
}

int64_t TableAccess::MaxRowid() {
    SqliteStatement max(db, "SELECT max(rowid) FROM " + quotedTable, "Reading the table");
    return max.Step() ? max.Int(0) : 0;
}

bool TableAccess::Seek(int64_t rowid) {
    Unseek();
    readRow.BindInt(1, rowid);
    seeked = readRow.Step();
    seekedRowid = rowid;
    return seeked;
}

void TableAccess::Unseek() {
    if (seeked)
        readRow.Reset();
    seeked = false;
}

std::vector<QVariant> TableAccess::ReadRow(int64_t rowid) {
    RequireConnection();
    Unseek();
    std::vector<QVariant> values;
    readRow.BindInt(1, rowid);
    if (readRow.Step())
        for (size_t i = 0; i < columns.size(); ++i)
            values.push_back(readRow.Value(int(i)));
    readRow.Reset();
    return values;
}

void TableAccess::ScanText(int column,
                           const std::function<void(int64_t, const char *, int)> &each) {
    SqliteStatement scan(db,
                         "SELECT rowid, " + QuotedName(columns[size_t(column)].name) + " FROM " +
                             quotedTable + " ORDER BY rowid",
                         "Reading the table");
    while (scan.Step()) {
        int size = 0;
        const char *bytes = scan.TextBytes(1, &size);
        each(scan.Int(0), bytes ? bytes : "", size);
    }
}

std::vector<int64_t> TableAccess::RowsWhereEquals(int column, const QVariant &value) {
    std::vector<int64_t> rows;
    SqliteStatement find(db,
                         "SELECT rowid FROM " + quotedTable + " WHERE " +
                             QuotedName(columns[size_t(column)].name) + "=? ORDER BY rowid",
                         "Looking for a row");
    // A value the column could never hold is in no row.
    QVariant converted;
    if (!TryConverted(column, value, &converted, nullptr))
        return rows;
    find.Bind(1, converted);
    while (find.Step())
        rows.push_back(find.Int(0));
    return rows;
}

QVariant TableAccess::Converted(int column, const QVariant &value) const {
    QVariant converted;
    QString refusal;
    if (!TryConverted(column, value, &converted, &refusal))
        throw LexomatError(refusal);
    return converted;
}

bool TableAccess::TryConverted(int column, const QVariant &value, QVariant *converted,
                               QString *refusal) const {
    const TableColumn &c = columns[size_t(column)];
    *converted = QVariant();
    if (value.isNull())
        return true;
    if (c.integer) {
        bool ok = false;
        const qlonglong v = value.typeId() == QMetaType::QString
                                ? value.toString().trimmed().toLongLong(&ok)
                                : value.toLongLong(&ok);
        if (value.typeId() == QMetaType::QString && value.toString().trimmed().isEmpty())
            return true;
        // A real with a fraction would be rounded silently by the conversion.
        if (value.typeId() == QMetaType::Double && std::trunc(value.toDouble()) != value.toDouble())
            ok = false;
        if (!ok || v < std::numeric_limits<int32_t>::min() ||
            v > std::numeric_limits<int32_t>::max()) {
            if (refusal)
                *refusal = QString("\"%1\" is not a whole number for %2 (library file \"%3\").")
                               .arg(value.toString(), c.name, SqliteFileName(db));
            return false;
        }
        *converted = QVariant(int(v));
        return true;
    }
    if (c.text) {
        const QString s = value.toString();
        if (c.maxLength > 0 && s.size() > c.maxLength) {
            if (refusal)
                *refusal = QString("%1 can hold at most %2 characters; \"%3...\" is longer "
                                   "(library file \"%4\").")
                               .arg(c.name)
                               .arg(c.maxLength)
                               .arg(s.left(20), SqliteFileName(db));
            return false;
        }
        *converted = s;
        return true;
    }
    *converted = value;
    return true;
}

void TableAccess::Resnapshot(bool wasCurrent) {
    if (wasCurrent)
        snapChanges = sqlite3_total_changes64(db);
    else
        baseValid = false;
}

bool TableAccess::ConvertedSet(const std::vector<QVariant> &values, const std::vector<bool> &set,
                               std::vector<QVariant> &converted) const {
    converted.assign(columns.size(), QVariant());
    bool any = false;
    for (size_t i = 0; i < columns.size(); ++i)
        if (set[i]) {
            converted[i] = Converted(int(i), values[i]);
            any = true;
        }
    return any;
}

void TableAccess::CheckNextIdentity(const std::vector<bool> &set) {
    if (identityColumn < 0 || set[size_t(identityColumn)])
        return;
    // AUTOINCREMENT takes the larger of the table's largest rowid and its sequence.
    int64_t next = MaxRowid();
    SqliteStatement has(db, "SELECT 1 FROM sqlite_master WHERE name='sqlite_sequence'",
                        "Reading the card numbers");
    const bool hasSequence = has.Step();
    has.Reset();
    if (hasSequence) {
        SqliteStatement seq(db, "SELECT seq FROM sqlite_sequence WHERE name=?",
                            "Reading the card numbers");
        seq.BindText(1, table);
        if (seq.Step())
            next = std::max(next, seq.Int(0));
        seq.Reset();
    }
    LibrarySchema::RefuseCardIdBeyondRange(db, next + 1);
}

int64_t TableAccess::Insert(const std::vector<QVariant> &values, const std::vector<bool> &set) {
    Unseek();
    std::vector<QVariant> converted;
    const bool anySet = ConvertedSet(values, set, converted);
    CheckNextIdentity(set);
    // The columns given name the cached statement that writes them.
    auto it = inserts.find(set);
    if (it == inserts.end()) {
        QByteArray names, marks;
        for (size_t i = 0; i < columns.size(); ++i)
            if (set[i]) {
                names += (names.isEmpty() ? "" : ", ") + QuotedName(columns[i].name);
                marks += marks.isEmpty() ? "?" : ", ?";
            }
        const QByteArray sql =
            anySet ? "INSERT INTO " + quotedTable + " (" + names + ") VALUES (" + marks + ")"
                   : "INSERT INTO " + quotedTable + " DEFAULT VALUES";
        it = inserts.emplace(set, SqliteStatement(db, sql, "Adding the row")).first;
    }
    SqliteStatement &insert = it->second;
    int n = 0;
    for (size_t i = 0; i < columns.size(); ++i)
        if (set[i])
            insert.Bind(++n, converted[i]);
    const bool wasCurrent = BaseCurrent();
    insert.Step();
    insert.Reset();
    const int64_t rowid = sqlite3_last_insert_rowid(db);
    if (wasCurrent) {
        const auto at = std::lower_bound(baseIds.begin(), baseIds.end(), rowid);
        const size_t index = size_t(at - baseIds.begin());
        baseIds.insert(at, rowid);
        if (cachedColumn >= 0)
            baseInts.insert(baseInts.begin() + ptrdiff_t(index),
                            int32_t(converted[size_t(cachedColumn)].toInt()));
    }
    Resnapshot(wasCurrent);
    return rowid;
}

void TableAccess::Update(int64_t rowid, const std::vector<QVariant> &values,
                         const std::vector<bool> &set) {
    Unseek();
    std::vector<QVariant> converted;
    if (!ConvertedSet(values, set, converted))
        return;
    auto it = updates.find(set);
    if (it == updates.end()) {
        QByteArray assignments;
        for (size_t i = 0; i < columns.size(); ++i)
            if (set[i])
                assignments +=
                    (assignments.isEmpty() ? "" : ", ") + QuotedName(columns[i].name) + "=?";
        it = updates
                 .emplace(set, SqliteStatement(db,
                                               "UPDATE " + quotedTable + " SET " + assignments +
                                                   " WHERE rowid=?",
                                               "Saving the row"))
                 .first;
    }
    SqliteStatement &update = it->second;
    int n = 0;
    for (size_t i = 0; i < columns.size(); ++i)
        if (set[i])
            update.Bind(++n, converted[i]);
    update.BindInt(n + 1, rowid);
    const bool wasCurrent = BaseCurrent();
    update.Step();
    update.Reset();
    if (sqlite3_changes(db) == 0) {
        baseValid = false;
        throw LexomatError(QString("Saving the row failed on the library file \"%1\": the row "
                                   "is no longer in the table %2.")
                               .arg(SqliteFileName(db), table));
    }
    const bool identityChanged = identityColumn >= 0 && set[size_t(identityColumn)];
    if (wasCurrent && !identityChanged && cachedColumn >= 0 && set[size_t(cachedColumn)]) {
        const int64_t index = IndexUnchecked(rowid);
        if (index >= 0)
            baseInts[size_t(index)] = int32_t(converted[size_t(cachedColumn)].toInt());
    }
    Resnapshot(wasCurrent && !identityChanged);
}

void TableAccess::Delete(int64_t rowid) {
    Unseek();
    const bool wasCurrent = BaseCurrent();
    deleteRow.BindInt(1, rowid);
    deleteRow.Step();
    deleteRow.Reset();
    if (wasCurrent) {
        const auto at = std::lower_bound(baseIds.begin(), baseIds.end(), rowid);
        if (at != baseIds.end() && *at == rowid) {
            if (cachedColumn >= 0)
                baseInts.erase(baseInts.begin() + (at - baseIds.begin()));
            baseIds.erase(at);
        }
    }
    Resnapshot(wasCurrent);
}

void TableAccess::UpdateAll(int column, const QVariant &value) {
    Unseek();
    const QVariant converted = Converted(column, value);
    SqliteStatement update(
        db, "UPDATE " + quotedTable + " SET " + QuotedName(columns[size_t(column)].name) + "=?",
        "Saving the rows");
    update.Bind(1, converted);
    const bool wasCurrent = BaseCurrent();
    update.Step();
    if (wasCurrent && column == cachedColumn)
        std::fill(baseInts.begin(), baseInts.end(), int32_t(converted.toInt()));
    Resnapshot(wasCurrent && column != identityColumn);
}
