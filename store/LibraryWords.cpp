#include "store/LibraryWords.h"

#include "store/LibraryConnection.h"
#include "store/SqliteStatement.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <sqlite3.h>
#include <string_view>

namespace {
uint64_t HashOf(const char *bytes, int size) {
    const uint64_t hash = std::hash<std::string_view>{}(std::string_view(bytes, size_t(size)));
    return hash == 0 ? 1 : hash;
}

int64_t CardCount(sqlite3 *db) {
    // The largest rowid bounds the count without a scan; the table grows past it rarely.
    SqliteStatement count(db, "SELECT max(rowid) FROM Library", "Reading the words");
    return count.Step() ? std::max<int64_t>(0, count.Int(0)) : 0;
}
} // namespace

LibraryWords::LibraryWords(LibraryConnection &connection) : db(connection.Handle()) {
    // At most half full, so that a probe ends soon.
    size_t capacity = 1024;
    while (capacity < size_t(std::min<int64_t>(CardCount(db), int64_t(1) << 40)) * 2)
        capacity *= 2;
    hashes.assign(capacity, 0);
    ids.assign(capacity, 0);
    SqliteStatement scan(db, "SELECT ID, Word FROM Library", "Reading the words");
    while (scan.Step()) {
        int size = 0;
        const char *bytes = scan.TextBytes(1, &size);
        Insert(HashOf(bytes ? bytes : "", size), scan.Int(0));
    }
    read.Take(db, QStringLiteral("Library"), 1);
    lookup = SqliteStatement(db, "SELECT Word FROM Library WHERE ID=?", "Looking up a word");
}

bool LibraryWords::StillCurrent() {
    // A read brings the connection's view of the file up to date first.
    CardCount(db);
    return read.Holds(db, QStringLiteral("Library"), 1);
}

void LibraryWords::Insert(uint64_t hash, int64_t id) {
    if ((known + 1) * 2 > hashes.size()) {
        // More cards than the largest ID told: twice the room, every entry again.
        std::vector<uint64_t> oldHashes(hashes.size() * 2, 0);
        std::vector<int64_t> oldIds(ids.size() * 2, 0);
        oldHashes.swap(hashes);
        oldIds.swap(ids);
        known = 0;
        for (size_t i = 0; i < oldHashes.size(); ++i)
            if (oldHashes[i])
                Insert(oldHashes[i], oldIds[i]);
    }
    const size_t mask = hashes.size() - 1;
    size_t slot = size_t(hash) & mask;
    while (hashes[slot])
        slot = (slot + 1) & mask;
    hashes[slot] = hash;
    ids[slot] = id;
    ++known;
}

LibraryWords::~LibraryWords() = default;

bool LibraryWords::Contains(const QString &word) {
    if (added.count(word))
        return true;
    const QByteArray utf8 = word.toUtf8();
    const uint64_t hash = HashOf(utf8.constData(), int(utf8.size()));
    const size_t mask = hashes.size() - 1;
    for (size_t slot = size_t(hash) & mask; hashes[slot]; slot = (slot + 1) & mask) {
        if (hashes[slot] != hash)
            continue;
        lookup.BindInt(1, ids[slot]);
        if (lookup.Step()) {
            int size = 0;
            const char *bytes = lookup.TextBytes(0, &size);
            const bool same =
                size == utf8.size() && std::memcmp(bytes, utf8.constData(), size_t(size)) == 0;
            lookup.Reset();
            if (same)
                return true;
        }
    }
    return false;
}

void LibraryWords::Add(const QString &word) {
    added.insert(word);
}
