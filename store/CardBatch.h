#pragma once

#include "store/SqliteStatement.h"

#include <QString>
#include <array>

class LibraryConnection;
struct sqlite3;

// New cards written in one transaction: all of them or none. Commit makes them
// permanent; anything else (Rollback, a failure, the object going away) undoes them.
// Inside a transaction that is already open it nests as a savepoint.
//
// Cards are written a group at a time through one statement of many rows, so that the
// table's ID counter is updated once a group rather than once a card: a card the file
// refuses may therefore be reported by a later Add or by Commit.
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
    struct Card {
        QString word, definition;
        int importance = 0;
    };
    static constexpr int GroupSize = 64;
    // Writes the cards waiting, as one group when there are GroupSize of them.
    void WriteWaiting();

    sqlite3 *db;
    SqliteStatement insert;      // one card
    SqliteStatement insertGroup; // GroupSize cards
    std::array<Card, GroupSize> waiting;
    int waitingCount = 0;
    bool open = false;
    bool nested = false;
    int added = 0;
};
