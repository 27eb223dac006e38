#include "store/ConnectionTables.h"

#include "platform/LexomatError.h"
#include "store/LibraryConnection.h"
#include "store/TableAccess.h"

#include <sqlite3.h>

ConnectionTables::ConnectionTables(LibraryConnection &connection) : connection(connection) {}

ConnectionTables::~ConnectionTables() {
    Release();
}

void ConnectionTables::SetTableName(const QString &name) {
    tableName = name;
    access = nullptr;
}

// A rollback may undo writes that the listed rows already show.
void ConnectionTables::RollbackHook(void *self) {
    static_cast<ConnectionTables *>(self)->MarkAllStale();
}

int ConnectionTables::CommitHook(void *self) {
    for (auto &[name, table] : static_cast<ConnectionTables *>(self)->accesses)
        table->TransactionEnded();
    return 0; // let the commit go on
}

void ConnectionTables::MarkAllStale() {
    for (auto &[name, table] : accesses)
        table->MarkStale();
}

TableAccess &ConnectionTables::Serve() {
    // The data module releases the table before it closes the connection, so a
    // handle once taken stays good until then.
    if (!db) {
        if (!connection.IsOpen())
            throw LexomatError(
                QString("The table %1 cannot be used: no library file is open.").arg(tableName));
        db = connection.Handle();
    }
    auto &slot = accesses[tableName.toLower()];
    if (!slot)
        slot = std::make_unique<TableAccess>(db, tableName);
    if (!access)
        Hook();
    access = slot.get();
    return *access;
}

QStringList ConnectionTables::FieldNames() {
    if (!access) {
        try {
            Serve();
        } catch (const LexomatError &) {
            return {};
        }
    }
    QStringList names;
    for (const TableColumn &c : access->Columns())
        names.append(c.name);
    return names;
}

void ConnectionTables::Hook() {
    sqlite3_rollback_hook(db, RollbackHook, this);
    sqlite3_commit_hook(db, CommitHook, this);
}

void ConnectionTables::Unhook() {
    if (db && connection.IsOpen()) {
        sqlite3_rollback_hook(db, nullptr, nullptr);
        sqlite3_commit_hook(db, nullptr, nullptr);
    }
}

void ConnectionTables::Release() {
    Unhook();
    suspended = false;
    access = nullptr;
    accesses.clear();
    db = nullptr;
    searchIndex.Clear();
    textOrders.Clear();
}

void ConnectionTables::Suspend() {
    if (!db)
        return;
    for (auto &[name, table] : accesses)
        table->Suspend();
    searchIndex.Suspend();
    textOrders.Suspend();
    Unhook();
    db = nullptr;
    suspended = true;
}

void ConnectionTables::Resume() {
    if (!suspended)
        return;
    suspended = false;
    db = connection.Handle();
    for (auto &[name, table] : accesses)
        table->Resume(db);
    searchIndex.Resume(db);
    textOrders.Resume(db);
    Hook();
}

void ConnectionTables::Forget() {
    MarkAllStale();
    searchIndex.Clear();
    textOrders.Clear();
}
