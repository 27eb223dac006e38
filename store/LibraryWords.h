#pragma once

#include "store/FileStamp.h"
#include "store/SqliteStatement.h"

#include <QString>
#include <cstdint>
#include <unordered_set>
#include <vector>

class LibraryConnection;
struct sqlite3;

// Every Word of the Library table, whatever a dataset's search shows, for telling
// new words from known ones by the whole value, exactly (byte for byte).
//
// Built once with one scan into an open-addressing table whose entries each hold 32 bits
// of a word's hash and its row ID (8 bytes; at most half the entries used), and a hash
// hit is confirmed by reading that row's Word. A million words cost 16 MB, filling the
// table touches one cache line per word, and a lookup is a probe or two, no table scan.
// The scan may run on another thread than the lookups (the connection serialises its
// calls); the lookups run on one thread.
class LibraryWords {
public:
    explicit LibraryWords(LibraryConnection &connection); // throws LexomatError
    ~LibraryWords();

    bool Contains(const QString &word);
    // Whether the file is still as the words were read from it: nothing written since by
    // this connection or another. Asked under the write lock, it holds until the lock goes.
    bool StillCurrent();
    // Remembers a word added since the scan (without touching the file).
    void Add(const QString &word);
    size_t Count() const { return known + added.size(); }

private:
    void Insert(uint64_t hash, int64_t id);
    void Grow();

    sqlite3 *db;
    FileStamp read; // when the words were read
    // The high half: the hash's upper 32 bits (never 0); the low half: the row ID. 0 is a
    // free entry. An entry's place comes from the hash's lower bits.
    std::vector<uint64_t> table;
    size_t known = 0;
    std::unordered_set<QString> added;
    SqliteStatement lookup;
};
