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
    return std::hash<std::string_view>{}(std::string_view(bytes, size_t(size)));
}
} // namespace

LibraryWords::LibraryWords(LibraryConnection &connection) : db(connection.Handle()) {
    SqliteStatement scan(db, "SELECT ID, Word FROM Library", "Reading the words");
    while (scan.Step()) {
        int size = 0;
        const char *bytes = scan.TextBytes(1, &size);
        known.emplace_back(HashOf(bytes ? bytes : "", size), scan.Int(0));
    }
    std::sort(known.begin(), known.end());
    lookup = SqliteStatement(db, "SELECT Word FROM Library WHERE ID=?", "Looking up a word");
}

LibraryWords::~LibraryWords() = default;

bool LibraryWords::Contains(const QString &word) {
    if (added.count(word))
        return true;
    const QByteArray utf8 = word.toUtf8();
    const uint64_t hash = HashOf(utf8.constData(), int(utf8.size()));
    auto it = std::lower_bound(known.begin(), known.end(), std::make_pair(hash, INT64_MIN));
    if (it == known.end() || it->first != hash)
        return false;
    for (; it != known.end() && it->first == hash; ++it) {
        lookup.BindInt(1, it->second);
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
