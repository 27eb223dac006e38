#pragma once

#include "store/SearchIndex.h"
#include "store/TextColumnOrders.h"

#include <QString>
#include <QStringList>
#include <map>
#include <memory>

class LibraryConnection;
class TableAccess;
struct sqlite3;

// The tables of the library file that one dataset serves on the data module's
// connection: the table served now, one TableAccess per table served so far (each keeps
// its list of rows while the file is unchanged), the search index and the orders of text
// columns, and the hooks that tell them of commits and rollbacks. All of it goes when the
// connection is released.
class ConnectionTables {
public:
    explicit ConnectionTables(LibraryConnection &connection);
    ~ConnectionTables();
    ConnectionTables(const ConnectionTables &) = delete;
    ConnectionTables &operator=(const ConnectionTables &) = delete;

    const QString &TableName() const { return tableName; }
    // The table served from now on ("Library" or "TotalTime").
    void SetTableName(const QString &name);

    // The access to the table served, made when first needed; throws LexomatError when
    // no library file is open or it lacks the table.
    TableAccess &Serve();
    // The access to the table served, or null before Serve.
    TableAccess *Access() const { return access; }
    sqlite3 *Handle() const { return db; }
    // The fields of the table served, in table order; empty when no library file is open
    // or it lacks the table.
    QStringList FieldNames();

    SearchIndex &Index() { return searchIndex; }
    TextColumnOrders &Orders() { return textOrders; }

    // Lists kept by the accesses are read again when next needed.
    void MarkAllStale();
    // Drops every access and what was read, before the connection closes.
    void Release();
    // Around closing the file and opening it again (under another name) with nothing
    // changed in it: Suspend lets go of the connection before it closes; Resume goes on
    // with the connection open again, keeping what was read and still current. Forget
    // drops what was read after all, should the file have changed meanwhile.
    void Suspend();
    void Resume();
    void Forget();

private:
    static void RollbackHook(void *self);
    static int CommitHook(void *self);
    void Hook();
    void Unhook();

    LibraryConnection &connection;
    QString tableName = "Library";
    std::map<QString, std::unique_ptr<TableAccess>> accesses; // by lower-case table name
    TableAccess *access = nullptr;
    sqlite3 *db = nullptr;
    bool suspended = false;      // served until Suspend: Resume serves again
    SearchIndex searchIndex;     // the searched texts, kept while the file does not change
    TextColumnOrders textOrders; // the same for the order of text fields
};
