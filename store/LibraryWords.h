#pragma once

#include "store/SqliteStatement.h"

#include <QString>
#include <cstdint>
#include <unordered_set>
#include <utility>
#include <vector>

class LibraryConnection;
struct sqlite3;

// Every Word of the Library table, whatever a dataset's search shows, for telling
// new words from known ones by the whole value, exactly (byte for byte).
//
// Built once with one scan: it keeps a 64-bit hash and the row's ID per card (16
// bytes a card), and confirms a hash hit by reading that row's Word, so a million
// words cost a few megabytes and a lookup costs no table scan.
class LibraryWords {
public:
    explicit LibraryWords(LibraryConnection &connection); // throws LexomatError
    ~LibraryWords();

    bool Contains(const QString &word);
    // Remembers a word added since the scan (without touching the file).
    void Add(const QString &word);
    size_t Count() const { return known.size() + added.size(); }

private:
    sqlite3 *db;
    std::vector<std::pair<uint64_t, int64_t>> known; // (hash, ID), sorted
    std::unordered_set<QString> added;
    SqliteStatement lookup;
};
