#include "store/Tdm.h"

#include "platform/LexomatError.h"
#include "store/LibrarySchema.h"
#include "store/SqliteStatement.h"
#include "store/TTable.h"

#include <QAtomicInt>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <sqlite3.h>

Tdm *dm = nullptr;

namespace {
QAtomicInt connectionCounter;

sqlite3 *RawHandle(const QSqlDatabase &connection) {
    const QVariant handle = connection.driver()->handle();
    if (qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

[[noreturn]] void Refuse(const QString &path, const QString &reason) {
    throw LexomatError(QString("The library file \"%1\" cannot be opened: %2").arg(path, reason));
}

// The header of a file in the older Access format names its engine at byte 4.
bool IsAccessFile(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(19);
    return head.size() == 19 &&
           (head.mid(4, 15) == "Standard Jet DB" || head.mid(4, 15) == "Standard ACE DB");
}

constexpr int BusyWaitMs = 5000;
} // namespace

Tdm::Tdm(QObject *parent) : QObject(parent), tb_library(new TTable(this)) {
    connectionName = QString("lexomat-library-%1").arg(connectionCounter.fetchAndAddRelaxed(1));
    tb_library->SetConnectionName(connectionName);
}

Tdm::~Tdm() {
    try {
        CloseDatabase();
    } catch (...) {
        // Nothing is written at the end; a failure to close changes nothing stored.
    }
}

void Tdm::SetDatabasePath(const QString &p) {
    CloseDatabase();
    path = p;
    tb_library->SetConnectionName(connectionName);
    tb_library->SetTableName("Library");
}

QString Tdm::DatabasePath() const {
    return path;
}

void Tdm::OpenDatabase() {
    if (Connected()) {
        tb_library->Open();
        return;
    }
    if (path.isEmpty())
        throw LexomatError("No library file is attached.");
    // SQLite would create a missing file; a library that is not there is an error.
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        Refuse(path, "the file does not exist.");
    {
        QSqlDatabase connection = QSqlDatabase::addDatabase("QSQLITE", connectionName);
        connection.setDatabaseName(path);
        // The wait for a file in use is the store's own (see BusyCallback).
        connection.setConnectOptions("QSQLITE_BUSY_TIMEOUT=0");
        if (!connection.open()) {
            const QString reason = connection.lastError().text().trimmed();
            connection = QSqlDatabase();
            QSqlDatabase::removeDatabase(connectionName);
            Refuse(path, reason);
        }
    }
    try {
        QSqlDatabase connection = QSqlDatabase::database(connectionName, false);
        sqlite3 *db = RawHandle(connection);
        if (!db)
            Refuse(path, "the database driver is not SQLite.");
        {
            // The raw handle is only safe when the driver and this program use one SQLite.
            QSqlQuery version(connection);
            if (!version.exec("SELECT sqlite_version()") || !version.next())
                Refuse(path, version.lastError().databaseText() + ".");
            if (version.value(0).toString() != QString::fromUtf8(sqlite3_libversion()))
                Refuse(path, QString("the database driver uses SQLite %1, the program %2.")
                                 .arg(version.value(0).toString(),
                                      QString::fromUtf8(sqlite3_libversion())));
        }
        // The first read of the file: a file that is no database fails here.
        sqlite3_busy_handler(db, &Tdm::BusyCallback, this);
        if (sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) !=
            SQLITE_OK) {
            const int code = sqlite3_errcode(db);
            if (code == SQLITE_NOTADB && IsAccessFile(path))
                Refuse(path, "it is a library in the older Access format.");
            Refuse(path, code == SQLITE_NOTADB ? QString("it is not a library file (not an "
                                                         "SQLite database).")
                                               : PlainSqliteReason(db, path));
        }
        LibrarySchema::Check(db, path);
        // The learner's own file, maybe on a stick: no side files, every commit on disk.
        // A file that another program holds in WAL mode keeps that mode, which is just as
        // safe for one transaction per save.
        sqlite3_busy_handler(db, nullptr, nullptr);
        sqlite3_exec(db, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
        ExecSql(db, "PRAGMA synchronous=FULL; PRAGMA cache_size=-32768;",
                "Setting up the connection");
        sqlite3_busy_handler(db, &Tdm::BusyCallback, this);
        sqlite3_progress_handler(db, 20000, &Tdm::ProgressCallback, this);
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
    if (!QSqlDatabase::contains(connectionName))
        return;
    {
        QSqlDatabase connection = QSqlDatabase::database(connectionName, false);
        if (connection.isOpen()) {
            sqlite3 *db = RawHandle(connection);
            // An open transaction ends unwritten, as an unsaved session does.
            if (db && !sqlite3_get_autocommit(db))
                sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        }
        connection.close();
    }
    QSqlDatabase::removeDatabase(connectionName);
    inTransaction = false;
}

bool Tdm::Connected() const {
    return QSqlDatabase::contains(connectionName) &&
           QSqlDatabase::database(connectionName, false).isOpen();
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
    tb_library->DisableControls();
    QVariantList values;
    QStringList names;
    try {
        tb_library->Open();
        values = tb_library->RowValuesByID(id);
        names = tb_library->FieldNames();
    } catch (...) {
        tb_library->Close();
        tb_library->EnableControls();
        throw;
    }
    tb_library->Close();
    tb_library->EnableControls();
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

namespace {
sqlite3 *OpenHandle(const QString &connectionName) {
    QSqlDatabase connection = QSqlDatabase::database(connectionName, false);
    if (!connection.isOpen())
        throw LexomatError("No library file is open.");
    return RawHandle(connection);
}
} // namespace

void Tdm::BeginTransaction() {
    sqlite3 *db = OpenHandle(connectionName);
    ExecSql(db, "BEGIN IMMEDIATE", "Starting to save");
    inTransaction = true;
    writeClock.start();
}

void Tdm::CommitTransaction() {
    sqlite3 *db = OpenHandle(connectionName);
    if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        const QString reason = QString::fromUtf8(sqlite3_errmsg(db));
        const QString file = SqliteFileName(db);
        const QString plain = PlainSqliteReason(db, file);
        RollbackTransaction();
        throw LexomatError(
            QString("Saving failed on the library file \"%1\": %2").arg(file, plain));
    }
    inTransaction = false;
    writeClock.invalidate();
}

void Tdm::RollbackTransaction() {
    if (!Connected())
        return;
    sqlite3 *db = OpenHandle(connectionName);
    const bool wasOpen = inTransaction;
    inTransaction = false;
    writeClock.invalidate();
    if (sqlite3_get_autocommit(db)) {
        // A failed write may have ended the transaction already, undoing rows the
        // dataset still lists.
        if (wasOpen)
            tb_library->Refresh();
        return;
    }
    // The rows the dataset listed may hold values that never reached the file.
    tb_library->Refresh();
    const int rc = sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    tb_library->Refresh();
    if (rc != SQLITE_OK)
        ThrowSqliteError(db, "Undoing the save");
}

bool Tdm::InTransaction() const {
    return inTransaction;
}

void Tdm::CreateLibraryFile(const QString &path) {
    if (QFileInfo::exists(path))
        throw LexomatError(
            QString("The library file \"%1\" cannot be created: the file already exists.")
                .arg(path));
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    QString failure;
    if (rc != SQLITE_OK)
        failure = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString("out of memory");
    else if (sqlite3_exec(db, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL; BEGIN;",
                          nullptr, nullptr, nullptr) != SQLITE_OK ||
             sqlite3_exec(db, LibrarySchema::CreateStatements, nullptr, nullptr, nullptr) !=
                 SQLITE_OK ||
             sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        failure = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_close(db);
    if (!failure.isEmpty()) {
        QFile::remove(path);
        throw LexomatError(
            QString("The library file \"%1\" cannot be created: %2").arg(path, failure));
    }
}

bool Tdm::HasTimeTable() {
    sqlite3 *db = OpenHandle(connectionName);
    SqliteStatement find(db,
                         "SELECT 1 FROM sqlite_master WHERE type='table' AND name=? COLLATE NOCASE",
                         "Reading the file's tables");
    find.BindText(1, QStringLiteral("TotalTime"));
    const bool found = find.Step();
    find.Reset();
    return found;
}

void Tdm::CreateTimeTable() {
    ExecSql(OpenHandle(connectionName), LibrarySchema::CreateTimeTable, "Adding the study time");
}

void Tdm::SetWaitHandler(WaitHandler handler) {
    waitHandler = std::move(handler);
}

int Tdm::BusyCallback(void *self, int count) {
    auto *t = static_cast<Tdm *>(self);
    if (count == 0)
        t->busyClock.start();
    const qint64 elapsed = t->busyClock.elapsed();
    if (elapsed >= BusyWaitMs)
        return 0;
    if (t->waitHandler && !t->waitHandler(Wait::FileInUse, elapsed))
        return 0;
    sqlite3_sleep(20);
    return 1;
}

int Tdm::ProgressCallback(void *self) {
    auto *t = static_cast<Tdm *>(self);
    if (t->waitHandler && t->writeClock.isValid())
        t->waitHandler(Wait::LongWrite, t->writeClock.elapsed());
    return 0;
}

QString Tdm::ConnectionName() const {
    return connectionName;
}
