#pragma once

#include "store/SqliteStatement.h"

#include <QString>

class LibraryConnection;
struct sqlite3;

// New cards written in one transaction: all of them or none. Commit makes them
// permanent; anything else (Rollback, a failure, the object going away) undoes them.
// Inside a transaction that is already open it nests as a savepoint.
class CardBatch {
public:
    explicit CardBatch(LibraryConnection &connection); // begins; throws LexomatError
    ~CardBatch();
    CardBatch(const CardBatch &) = delete;
    CardBatch &operator=(const CardBatch &) = delete;

    void Add(const QString &word, const QString &definition, int importance = 0);
    void Commit();
    void Rollback(); // no effect once committed or rolled back
    int Added() const { return added; }

private:
    sqlite3 *db;
    SqliteStatement insert;
    bool open = false;
    bool nested = false;
    int added = 0;
};
