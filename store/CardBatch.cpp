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
        const QByteArray sql = "INSERT INTO Library (Word, ImportanceField, Definition) VALUES ";
        insert = SqliteStatement(db, sql + "(?, ?, ?)", "Adding a card");
        QByteArray rows = "(?, ?, ?)";
        for (int i = 1; i < GroupSize; ++i)
            rows += ", (?, ?, ?)";
        insertGroup = SqliteStatement(db, sql + rows, "Adding cards");
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
    waiting[size_t(waitingCount++)] = {word, definition, importance};
    ++added;
    if (waitingCount == GroupSize)
        WriteWaiting();
}

void CardBatch::WriteWaiting() {
    const int count = waitingCount;
    waitingCount = 0;
    if (count == GroupSize) {
        for (int i = 0; i < count; ++i) {
            const Card &card = waiting[size_t(i)];
            insertGroup.BindText(3 * i + 1, card.word);
            insertGroup.BindInt(3 * i + 2, card.importance);
            insertGroup.BindText(3 * i + 3, card.definition);
        }
        insertGroup.Step();
    } else {
        for (int i = 0; i < count; ++i) {
            const Card &card = waiting[size_t(i)];
            insert.BindText(1, card.word);
            insert.BindInt(2, card.importance);
            insert.BindText(3, card.definition);
            insert.Step();
        }
    }
    // The whole batch is undone when its last card got an ID no 32-bit field holds.
    if (count > 0)
        LibrarySchema::RefuseCardIdBeyondRange(db, sqlite3_last_insert_rowid(db));
}

void CardBatch::Commit() {
    if (!open)
        throw LexomatError("Saving the cards failed: the batch has ended.");
    WriteWaiting();
    insert = SqliteStatement();
    insertGroup = SqliteStatement();
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
    waitingCount = 0;
    insert = SqliteStatement();
    insertGroup = SqliteStatement();
    if (nested) {
        sqlite3_exec(db, "ROLLBACK TO card_batch; RELEASE card_batch", nullptr, nullptr, nullptr);
    } else if (!sqlite3_get_autocommit(db)) {
        // A failed write may have ended the transaction already.
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    added = 0;
}
