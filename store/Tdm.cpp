#include "store/Tdm.h"

#include "platform/LexomatError.h"
#include "store/LibraryHold.h"
#include "store/LibrarySchema.h"
#include "store/SqliteStatement.h"
#include "store/TTable.h"

#include <sqlite3.h>

Tdm *dm = nullptr;

Tdm::Tdm(QObject *parent) : QObject(parent), tb_library(nullptr) {
    tb_library = new TTable(connection, this);
}

Tdm::~Tdm() {
    try {
        CloseDatabase();
    } catch (...) {
        // Nothing is written at the end; a failure to close changes nothing stored.
    }
    // The table goes before the connection it uses.
    delete tb_library;
    tb_library = nullptr;
}

void Tdm::SetDatabasePath(const QString &p) {
    CloseDatabase();
    path = p;
    tb_library->SetTableName("Library");
}

QString Tdm::DatabasePath() const {
    return path;
}

std::optional<LibraryClaim> Tdm::ClaimLibrary(const QString &path, const OpenAnyway &openAnyway) {
    LibraryHold::Taken taken = LibraryHold::Take(path);
    if (taken.outcome == LibraryHold::Outcome::HeldElsewhere && !(openAnyway && openAnyway(path)))
        return std::nullopt;
    return LibraryClaim{path, std::move(taken.hold)};
}

void Tdm::OpenDatabase() {
    if (Connected()) {
        tb_library->Open();
        return;
    }
    OpenAs(LibraryConnection::Mode::ReadWrite);
}

void Tdm::OpenDatabase(LibraryClaim claim) {
    if (Connected()) {
        tb_library->Open();
        return;
    }
    OpenAs(LibraryConnection::Mode::ReadWrite, std::move(claim));
}

void Tdm::OpenAs(LibraryConnection::Mode mode, std::optional<LibraryClaim> claim) {
    if (path.isEmpty())
        throw LexomatError("No library file is attached.");
    // A claim made for another file says nothing about this one.
    if (!claim || claim->path != path) {
        claim = ClaimLibrary(path, nullptr);
        if (!claim)
            throw LexomatError(QString("The library file \"%1\" is open in another Lexomat "
                                       "window.")
                                   .arg(path));
    }
    try {
        hold = std::move(claim->hold);
        connection.Open(path, mode);
        inTransaction = false;
        tb_library->SetTableName("Library");
        tb_library->Open();
    } catch (...) {
        CloseDatabase();
        throw;
    }
}

void Tdm::CloseDatabase() {
    tb_library->ReleaseConnection();
    connection.Close();
    inTransaction = false;
    hold.reset();
}

bool Tdm::Connected() const {
    return connection.IsOpen();
}

bool Tdm::IsOpenLibraryFile(const QString &other) const {
    return connection.IsFile(other);
}

MyTextDatabaseRec Tdm::GetRecordByID(int32_t id) {
    MyTextDatabaseRec record;
    if (tb_library->TableName() != "Library") {
        tb_library->Close();
        tb_library->SetTableName("Library");
    }
    // Opening is cheap, and the card is read by its primary key whatever filter the
    // table holds: a card that a search hides is still a card of the library.
    // Grids hear of it only when it closes a table that was open.
    QVariantList values;
    QStringList names;
    {
        TTable::ControlsOff quiet(*tb_library);
        TTable::ClosedAtEnd closed(*tb_library);
        tb_library->Open();
        values = tb_library->RowValuesByID(id);
        names = tb_library->FieldNames();
    }
    if (values.size() == names.size()) {
        // The file may spell the names in another letter case.
        auto field = [&](const char *name) {
            for (qsizetype i = 0; i < names.size(); ++i)
                if (names[i].compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                    return values[i];
            throw LexomatError(QString("The library file \"%1\" has no field %2.").arg(path, name));
        };
        record.ID = field("ID").toInt();
        record.Word = field("Word").toString();
        record.ImportanceField = field("ImportanceField").toInt();
        record.Definition = field("Definition").toString();
    }
    return record;
}

void Tdm::BeginTransaction() {
    connection.Begin(QStringLiteral("Starting to save"));
    inTransaction = true;
}

void Tdm::CommitTransaction() {
    try {
        connection.Commit(QStringLiteral("Saving"));
    } catch (...) {
        RollbackTransaction();
        throw;
    }
    inTransaction = false;
}

void Tdm::RollbackTransaction() {
    if (!Connected())
        return;
    const bool wasOpen = inTransaction;
    inTransaction = false;
    if (!connection.InTransaction()) {
        connection.Rollback();
        // A failed write may have ended the transaction already, undoing rows the
        // dataset still lists.
        if (wasOpen)
            tb_library->Refresh();
        return;
    }
    // The rows the dataset listed may hold values that never reached the file.
    tb_library->Refresh();
    const bool undone = connection.Rollback();
    tb_library->Refresh();
    if (!undone)
        ThrowSqliteError(connection.Handle(), "Undoing the save");
}

bool Tdm::InTransaction() const {
    return inTransaction;
}

void Tdm::CreateLibraryFile(const QString &path) {
    const LibraryConnection created(path, LibraryConnection::Mode::CreateNew);
}

bool Tdm::HasTimeTable() {
    SqliteStatement find(connection.Handle(),
                         "SELECT 1 FROM sqlite_master WHERE type='table' AND name=? COLLATE NOCASE",
                         "Reading the file's tables");
    find.BindText(1, QStringLiteral("TotalTime"));
    const bool found = find.Step();
    find.Reset();
    return found;
}

void Tdm::CreateTimeTable() {
    connection.Exec(LibrarySchema::CreateTimeTable, "Adding the study time");
}

void Tdm::SetWaitHandler(WaitHandler handler) {
    waitHandler = std::move(handler);
    connection.SetWaitHandler(waitHandler);
}
