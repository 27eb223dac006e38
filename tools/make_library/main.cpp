// lexomat_make_library SOURCE.tsv OUT.mdb
// Writes a new library file from SOURCE, one card per line: the word, a tab, the
// definition (UTF-8). Lines starting with '#' and empty lines are skipped. Every card
// starts at level 0 and the study time table stays empty. An existing OUT is replaced.
#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {
struct Card {
    std::string word;
    std::string definition;
};

// Characters, not bytes: the Word column holds at most 100.
size_t utf8Length(const std::string &text) {
    size_t n = 0;
    for (unsigned char c : text)
        n += (c & 0xC0) != 0x80;
    return n;
}

bool readCards(const char *path, std::vector<Card> &cards) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path);
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        const size_t tab = line.find('\t');
        Card card;
        if (tab != std::string::npos) {
            card.word = line.substr(0, tab);
            card.definition = line.substr(tab + 1);
        }
        if (card.word.empty() || card.definition.empty() ||
            card.definition.find('\t') != std::string::npos || utf8Length(card.word) > 100) {
            std::fprintf(
                stderr, "%s:%d: expected a word (at most 100 characters), a tab and a definition\n",
                path, number);
            return false;
        }
        cards.push_back(card);
    }
    return true;
}

bool exec(sqlite3 *db, const char *sql) {
    char *error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) == SQLITE_OK)
        return true;
    std::fprintf(stderr, "%s\n", error ? error : "unknown SQLite error");
    sqlite3_free(error);
    return false;
}

bool writeLibrary(const char *path, const std::vector<Card> &cards) {
    std::remove(path);
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path, &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        std::fprintf(stderr, "cannot create %s\n", path);
        sqlite3_close(db);
        return false;
    }
    bool ok =
        exec(db, "CREATE TABLE Library ([ID] INTEGER CONSTRAINT [Index1] PRIMARY KEY AUTOINCREMENT,"
                 " [Word] VARCHAR(100) NOT NULL, [ImportanceField] INTEGER NOT NULL,"
                 " [Definition] TEXT NOT NULL);"
                 "CREATE TABLE TotalTime ([TotalTime] INTEGER NOT NULL);") &&
        exec(db, "BEGIN");
    sqlite3_stmt *insert = nullptr;
    ok = ok && sqlite3_prepare_v2(
                   db, "INSERT INTO Library (Word, ImportanceField, Definition) VALUES (?, 0, ?)",
                   -1, &insert, nullptr) == SQLITE_OK;
    for (size_t i = 0; ok && i < cards.size(); ++i) {
        sqlite3_bind_text(insert, 1, cards[i].word.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 2, cards[i].definition.c_str(), -1, SQLITE_TRANSIENT);
        ok = sqlite3_step(insert) == SQLITE_DONE && sqlite3_reset(insert) == SQLITE_OK;
    }
    if (!ok)
        std::fprintf(stderr, "cannot write %s: %s\n", path, sqlite3_errmsg(db));
    sqlite3_finalize(insert);
    ok = ok && exec(db, "COMMIT");
    sqlite3_close(db);
    if (!ok)
        std::remove(path);
    return ok;
}
} // namespace

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s SOURCE.tsv OUT.mdb\n", argv[0]);
        return 2;
    }
    std::vector<Card> cards;
    if (!readCards(argv[1], cards) || !writeLibrary(argv[2], cards))
        return 1;
    std::printf("%s: %zu cards\n", argv[2], cards.size());
    return 0;
}
