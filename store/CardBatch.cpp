#include "store/CardBatch.h"

#include "platform/LexomatError.h"
#include "store/LibraryConnection.h"
#include "store/LibrarySchema.h"

#include <sqlite3.h>

CardBatch::CardBatch(LibraryConnection &connection) : db(connection.Handle()) {
    nested = !sqlite3_get_autocommit(db);
    // IMMEDIATE takes the write lock now, so a busy file fails before any work.
    ExecSql(db, nested ? "SAVEPOINT card_batch" : "BEGIN IMMEDIATE", "Starting to add cards");
    open = true;
    try {
        insert = SqliteStatement(db,
                                 "INSERT INTO Library (Word, ImportanceField, Definition) "
                                 "VALUES (?, ?, ?)",
                                 "Adding a card");
    } catch (...) {
        Rollback();
        throw;
    }
}

CardBatch::~CardBatch() {
    Rollback();
}

void CardBatch::Add(const QString &word, const QString &definition, int importance) {
    if (!open)
        throw LexomatError("Adding a card failed: the batch has ended.");
    insert.BindText(1, word);
    insert.BindInt(2, importance);
    insert.BindText(3, definition);
    insert.Step();
    // The whole batch is undone when its last card got an ID no 32-bit field holds.
    LibrarySchema::RefuseCardIdBeyondRange(db, sqlite3_last_insert_rowid(db));
    ++added;
}

void CardBatch::Commit() {
    if (!open)
        throw LexomatError("Saving the cards failed: the batch has ended.");
    insert = SqliteStatement();
    if (sqlite3_exec(db, nested ? "RELEASE card_batch" : "COMMIT", nullptr, nullptr, nullptr) !=
        SQLITE_OK) {
        const QString reason = QString::fromUtf8(sqlite3_errmsg(db));
        const QString file = SqliteFileName(db);
        Rollback();
        throw LexomatError(
            QString("Saving the cards failed on the library file \"%1\": %2").arg(file, reason));
    }
    open = false;
}

void CardBatch::Rollback() {
    if (!open)
        return;
    open = false;
    insert = SqliteStatement();
    if (nested) {
        sqlite3_exec(db, "ROLLBACK TO card_batch; RELEASE card_batch", nullptr, nullptr, nullptr);
    } else if (!sqlite3_get_autocommit(db)) {
        // A failed write may have ended the transaction already.
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    added = 0;
}
