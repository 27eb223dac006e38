#include "formats/JetLibraryReader.h"

#include "platform/CountedNoun.h"
#include "platform/LexomatError.h"

#include <QFileInfo>
#include <array>
#include <mdbtools.h>
#include <vector>

namespace {
// Large enough for any definition a learner types; libmdb cuts longer texts at this
// size, which NextCard reports as textCut rather than passing on half a text.
constexpr size_t BindSize = 4 * 1024 * 1024;

enum CardColumn { ColumnID, ColumnWord, ColumnLevel, ColumnDefinition, CardColumns };
const std::array<const char *, CardColumns> CardColumnNames = {"ID", "Word", "ImportanceField",
                                                               "Definition"};

[[noreturn]] void Refuse(const QString &path, const QString &reason) {
    throw LexomatError(QString("The file \"%1\" cannot be read as an older Access library: %2")
                           .arg(QFileInfo(path).fileName(), reason));
}

// Access compares object names without regard to case.
MdbCatalogEntry *FindTable(MdbHandle *mdb, const char *name) {
    for (guint i = 0; mdb->catalog && i < mdb->catalog->len; ++i) {
        auto *entry = static_cast<MdbCatalogEntry *>(g_ptr_array_index(mdb->catalog, i));
        if (entry && entry->object_type == MDB_TABLE &&
            g_ascii_strcasecmp(entry->object_name, name) == 0)
            return entry;
    }
    return nullptr;
}

int FindColumn(MdbTableDef *table, const char *name) {
    for (guint i = 0; i < table->num_cols; ++i) {
        auto *column = static_cast<MdbColumn *>(g_ptr_array_index(table->columns, i));
        if (column && g_ascii_strcasecmp(column->name, name) == 0)
            return int(i);
    }
    return -1;
}

std::optional<qint64> WholeNumber(const char *text) {
    bool ok = false;
    const qint64 value = QByteArray(text).trimmed().toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

// One table read by scanning, with every column bound to a buffer of its own.
struct BoundTable {
    MdbTableDef *table = nullptr;
    std::vector<std::vector<char>> buffers;
    std::vector<int> lengths;
    std::vector<MdbField> fields;

    ~BoundTable() {
        if (table)
            mdb_free_tabledef(table);
    }

    // False when the table cannot be read.
    bool Open(MdbCatalogEntry *entry) {
        table = mdb_read_table(entry);
        if (!table || !mdb_read_columns(table) || mdb_rewind_table(table) != 0)
            return false;
        buffers.assign(table->num_cols, {});
        lengths.assign(table->num_cols, 0);
        fields.assign(std::max<size_t>(table->num_cols, MDB_MAX_COLS), MdbField{});
        return true;
    }

    // Binds a column (0-based); only bound columns are read.
    bool Bind(int column) {
        buffers[size_t(column)].assign(BindSize + 1, '\0');
        return mdb_bind_column(table, column + 1, buffers[size_t(column)].data(),
                               &lengths[size_t(column)]) != -1;
    }

    // Fetches the next row and tells, column by column, which values are NULL: a
    // bound NULL and a bound empty text look alike.
    bool Fetch() {
        if (!mdb_fetch_row(table))
            return false;
        int start = 0;
        size_t size = 0;
        MdbHandle *mdb = table->entry->mdb;
        if (table->cur_row == 0 || mdb_find_row(mdb, int(table->cur_row) - 1, &start, &size) != 0 ||
            mdb_crack_row(table, start, size, fields.data()) <= 0)
            throw LexomatError("a row of the table could not be read.");
        return true;
    }

    bool IsNull(int column) const {
        for (guint i = 0; i < table->num_cols; ++i)
            if (fields[i].colnum == column)
                return fields[i].is_null;
        return true;
    }
    const char *Text(int column) const { return buffers[size_t(column)].data(); }
    bool Cut(int column) const { return size_t(lengths[size_t(column)]) >= BindSize - 8; }
};
} // namespace

struct JetLibraryReader::Handle {
    QString path;
    MdbHandle *mdb = nullptr;
    std::unique_ptr<BoundTable> library = std::make_unique<BoundTable>();
    std::array<int, CardColumns> columns{};
    int rowsRead = 0;

    ~Handle() {
        library.reset(); // a table goes before the file it belongs to
        if (mdb)
            mdb_close(mdb);
    }
};

JetLibraryReader::JetLibraryReader(const QString &path) : d(std::make_unique<Handle>()) {
    d->path = path;
    const QByteArray name = QFile::encodeName(path);
    d->mdb = mdb_open(name.constData(), MDB_NOFLAGS);
    if (!d->mdb)
        Refuse(path, "the file is damaged or not an Access database.");
    mdb_set_bind_size(d->mdb, BindSize);
    if (!mdb_read_catalog(d->mdb, MDB_TABLE))
        Refuse(path, "its list of tables cannot be read.");
    MdbCatalogEntry *entry = FindTable(d->mdb, "Library");
    if (!entry)
        Refuse(path, "it has no table Library.");
    if (!d->library->Open(entry))
        Refuse(path, "the table Library cannot be read.");
    for (int c = 0; c < CardColumns; ++c) {
        d->columns[size_t(c)] = FindColumn(d->library->table, CardColumnNames[size_t(c)]);
        if (d->columns[size_t(c)] < 0)
            Refuse(path,
                   QString("the table Library has no column %1.").arg(CardColumnNames[size_t(c)]));
        if (!d->library->Bind(d->columns[size_t(c)]))
            Refuse(path, QString("the column %1 cannot be read.").arg(CardColumnNames[size_t(c)]));
    }
}

JetLibraryReader::~JetLibraryReader() = default;

int JetLibraryReader::CardCount() const {
    return int(d->library->table->num_rows);
}

bool JetLibraryReader::NextCard(JetCard &card) {
    bool fetched = false;
    try {
        fetched = d->library->Fetch();
    } catch (const LexomatError &error) {
        Refuse(d->path, error.message());
    }
    if (!fetched) {
        // libmdb ends a scan quietly at a page it cannot read: a cut or damaged file
        // must not pass for a smaller library.
        if (d->rowsRead < CardCount())
            Refuse(d->path, QString("the file is damaged: the table Library holds %1, only %2 "
                                    "can be read.")
                                .arg(Counted(CardCount(), "card", "cards"))
                                .arg(d->rowsRead));
        return false;
    }
    ++d->rowsRead;
    const BoundTable &t = *d->library;
    auto column = [&](CardColumn c) { return d->columns[size_t(c)]; };
    auto number = [&](CardColumn c) {
        return t.IsNull(column(c)) ? std::nullopt : WholeNumber(t.Text(column(c)));
    };
    auto text = [&](CardColumn c) {
        return t.IsNull(column(c)) ? std::nullopt
                                   : std::optional<QString>(QString::fromUtf8(t.Text(column(c))));
    };
    card.id = number(ColumnID);
    card.word = text(ColumnWord);
    card.level = number(ColumnLevel);
    card.definition = text(ColumnDefinition);
    card.textCut = t.Cut(column(ColumnWord)) || t.Cut(column(ColumnDefinition));
    return true;
}

qint64 JetLibraryReader::TotalTime() {
    MdbCatalogEntry *entry = FindTable(d->mdb, "TotalTime");
    if (!entry)
        return 0;
    BoundTable time;
    if (!time.Open(entry))
        Refuse(d->path, "the table TotalTime cannot be read.");
    const int column = FindColumn(time.table, "TotalTime");
    if (column < 0 || !time.Bind(column))
        return 0;
    try {
        if (!time.Fetch() || time.IsNull(column))
            return 0;
    } catch (const LexomatError &error) {
        Refuse(d->path, error.message());
    }
    return WholeNumber(time.Text(column)).value_or(0);
}
