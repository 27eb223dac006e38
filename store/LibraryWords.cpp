#include "store/LibraryWords.h"

#include "platform/LexomatError.h"
#include "store/LibraryConnection.h"
#include "store/SqliteStatement.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <sqlite3.h>
#include <string_view>

namespace {
uint64_t HashOf(const char *bytes, int size) {
    return std::hash<std::string_view>{}(std::string_view(bytes, size_t(size)));
}

uint64_t TagOf(uint64_t hash) {
    const uint64_t tag = hash >> 32;
    return (tag == 0 ? 1 : tag) << 32;
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
    table.assign(capacity, 0);
    SqliteStatement scan(db, "SELECT ID, Word FROM Library", "Reading the words");
    // Each word lands at a random place of a table larger than the caches: its place is
    // asked for some words ahead of filling it, so that the waits for memory overlap.
    constexpr size_t Ahead = 16;
    std::array<std::pair<uint64_t, int64_t>, Ahead> pending;
    size_t count = 0;
    while (scan.Step()) {
        int size = 0;
        const char *bytes = scan.TextBytes(1, &size);
        const int64_t id = scan.Int(0);
        // The store refuses such files when it opens them; a table changed since is refused here.
        if (id < INT32_MIN || id > INT32_MAX)
            throw LexomatError(QString("The card with ID %1 cannot be read: its ID is outside 32 "
                                       "bits.")
                                   .arg(id));
        const uint64_t hash = HashOf(bytes ? bytes : "", size);
        __builtin_prefetch(&table[size_t(hash) & (table.size() - 1)], 1);
        std::pair<uint64_t, int64_t> &next = pending[count++ % Ahead];
        if (count > Ahead)
            Insert(next.first, next.second);
        next = {hash, id};
    }
    for (size_t i = count > Ahead ? count - Ahead : 0; i < count; ++i)
        Insert(pending[i % Ahead].first, pending[i % Ahead].second);
    read.Take(db, QStringLiteral("Library"), 1);
    lookup = SqliteStatement(db, "SELECT Word FROM Library WHERE ID=?", "Looking up a word");
}

bool LibraryWords::StillCurrent() {
    // A read brings the connection's view of the file up to date first.
    CardCount(db);
    return read.Holds(db, QStringLiteral("Library"), 1);
}

void LibraryWords::Insert(uint64_t hash, int64_t id) {
    if ((known + 1) * 2 > table.size())
        Grow();
    const size_t mask = table.size() - 1;
    size_t slot = size_t(hash) & mask;
    while (table[slot])
        slot = (slot + 1) & mask;
    table[slot] = TagOf(hash) | uint32_t(int32_t(id));
    ++known;
}

// More cards than the largest ID told: twice the room. A slot keeps only the hash's upper
// half, so each word's place is found again from its row's Word.
void LibraryWords::Grow() {
    std::vector<uint64_t> old(table.size() * 2, 0);
    old.swap(table);
    known = 0;
    SqliteStatement word(db, "SELECT Word FROM Library WHERE ID=?", "Reading the words");
    for (const uint64_t entry : old) {
        if (!entry)
            continue;
        const int64_t id = int32_t(uint32_t(entry));
        word.BindInt(1, id);
        int size = 0;
        const char *bytes = word.Step() ? word.TextBytes(0, &size) : nullptr;
        Insert(HashOf(bytes ? bytes : "", size), id);
        word.Reset();
    }
}

LibraryWords::~LibraryWords() = default;

bool LibraryWords::Contains(const QString &word) {
    if (added.count(word))
        return true;
    const QByteArray utf8 = word.toUtf8();
    const uint64_t hash = HashOf(utf8.constData(), int(utf8.size()));
    const uint64_t tag = TagOf(hash);
    const size_t mask = table.size() - 1;
    for (size_t slot = size_t(hash) & mask; table[slot]; slot = (slot + 1) & mask) {
        if ((table[slot] & 0xFFFFFFFF00000000u) != tag)
            continue;
        lookup.BindInt(1, int32_t(uint32_t(table[slot])));
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
