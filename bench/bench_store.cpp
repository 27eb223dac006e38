// Prints:
//   store.get_record_by_id.median <us> us  - one card read by ID (random IDs)
//   store.raw_scan_1m <s> s                - SELECT ID, ImportanceField with plain SQLite
//   engine.load_and_sort_1m <s> s          - every (ID, level) through tb_library into the
//                                            card list, then SortByLevel
//   store.filter_100k_ids <s> s            - a 100,000-ID filter applied and counted
//   store.sort_word_1m <s> s               - "Word ASC" until the first row's Word is read
// With --cold also the filter and the sort on a data module that has not listed the rows.
// With --save also:
//   store.save_levels_1m <s> s / store.raw_update_1m <s> s - a save of every level in one
//   transaction through the dataset and with plain SQLite (on a copy of the library)
#include "bench/BenchLibrary.h"
#include "engine/LexomatList.h"
#include "store/TTable.h"
#include "store/Tdm.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <sqlite3.h>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::vector<int32_t> RandomIds(size_t count, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int32_t> id(1, BenchLibraryCards);
    std::vector<int32_t> ids(count);
    for (int32_t &v : ids)
        v = id(rng);
    return ids;
}

double GetRecordMedianMicros(const QString &path) {
    Tdm data;
    data.SetDatabasePath(path);
    data.OpenDatabase();
    std::vector<double> micros;
    int64_t check = 0;
    for (int32_t id : RandomIds(12000, 7)) {
        const auto start = Clock::now();
        const MyTextDatabaseRec r = data.GetRecordByID(id);
        micros.push_back(SecondsSince(start) * 1e6);
        check += r.Word.size();
    }
    micros.erase(micros.begin(), micros.begin() + 2000); // warm-up
    std::nth_element(micros.begin(), micros.begin() + long(micros.size() / 2), micros.end());
    if (check == 0)
        std::fprintf(stderr, "no words read\n");
    return micros[micros.size() / 2];
}

double RawScanSeconds(const QString &path) {
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    const auto start = Clock::now();
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, "SELECT ID, ImportanceField FROM Library", -1, &st, nullptr);
    int64_t sum = 0;
    while (sqlite3_step(st) == SQLITE_ROW)
        sum += sqlite3_column_int(st, 0) + sqlite3_column_int(st, 1);
    sqlite3_finalize(st);
    const double seconds = SecondsSince(start);
    sqlite3_close(db);
    if (sum == 0)
        std::fprintf(stderr, "empty scan\n");
    return seconds;
}

double LoadAndSortSeconds(Tdm &data) {
    TTable *t = data.tb_library;
    t->Close();
    TLexomatList list;
    const auto start = Clock::now();
    t->Open();
    t->First();
    while (!t->Eof()) {
        list.AddCard(t->FieldAsInteger("ID"), t->FieldAsInteger("ImportanceField"));
        t->Next();
    }
    list.SortByLevel();
    const double seconds = SecondsSince(start);
    if (list.Count() != BenchLibraryCards)
        std::fprintf(stderr, "loaded %d cards\n", list.Count());
    return seconds;
}

double FilterSeconds(Tdm &data) {
    std::vector<int32_t> ids = RandomIds(300000, 11);
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    std::shuffle(ids.begin(), ids.end(), std::mt19937(3));
    ids.resize(100000);
    QString text;
    for (int32_t id : ids)
        text += QString("ID=%1 OR ").arg(id);
    text += "ID=-1";
    TTable *t = data.tb_library;
    const auto start = Clock::now();
    t->SetFilter(text);
    t->SetFiltered(true);
    const int count = t->RecordCount();
    const double seconds = SecondsSince(start);
    if (count != 100000)
        std::fprintf(stderr, "filter gave %d rows\n", count);
    t->SetFiltered(false);
    return seconds;
}

double SortWordSeconds(Tdm &data) {
    TTable *t = data.tb_library;
    const auto start = Clock::now();
    t->SetSort("Word ASC");
    const QString first = t->FieldAsString("Word");
    const double seconds = SecondsSince(start);
    if (first.isEmpty())
        std::fprintf(stderr, "no first word\n");
    t->SetSort("");
    return seconds;
}

void SaveBench(const QString &library) {
    QTemporaryDir dir;
    const QString path = dir.filePath("copy.mdb");
    QFile::copy(library, path);
    {
        Tdm data;
        data.SetDatabasePath(path);
        data.OpenDatabase();
        TTable *t = data.tb_library;
        // As in the program, the rows were listed when the library was opened for study.
        t->RecordCount();
        t->Close();
        t->Open();
        const auto start = Clock::now();
        data.BeginTransaction();
        for (int32_t id = 1; id <= BenchLibraryCards; ++id) {
            if (!t->Locate("ID", id))
                continue;
            t->Edit();
            t->SetFieldValue("ImportanceField", id % 5);
            t->Post();
        }
        data.CommitTransaction();
        std::printf("store.save_levels_1m %.3f s\n", SecondsSince(start));
    }
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    const auto start = Clock::now();
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, "UPDATE Library SET ImportanceField=? WHERE ID=?", -1, &st, nullptr);
    for (int32_t id = 1; id <= BenchLibraryCards; ++id) {
        sqlite3_bind_int(st, 1, id % 7);
        sqlite3_bind_int(st, 2, id);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    std::printf("store.raw_update_1m %.3f s\n", SecondsSince(start));
    sqlite3_close(db);
}
} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QString path = BenchLibraryPath();
    if (app.arguments().contains("--save-only")) {
        SaveBench(path);
        return 0;
    }
    std::printf("store.get_record_by_id.median %.2f us\n", GetRecordMedianMicros(path));
    std::printf("store.raw_scan_1m %.3f s\n", RawScanSeconds(path));
    Tdm data;
    data.SetDatabasePath(path);
    data.OpenDatabase();
    std::printf("engine.load_and_sort_1m %.3f s\n", LoadAndSortSeconds(data));
    std::printf("store.filter_100k_ids %.3f s\n", FilterSeconds(data));
    std::printf("store.sort_word_1m %.3f s\n", SortWordSeconds(data));
    std::fflush(stdout);
    if (app.arguments().contains("--cold")) {
        Tdm fresh;
        fresh.SetDatabasePath(path);
        fresh.OpenDatabase();
        std::printf("store.filter_100k_ids.cold %.3f s\n", FilterSeconds(fresh));
        fresh.tb_library->Close();
        fresh.tb_library->Open();
        std::printf("store.sort_word_1m.cold %.3f s\n", SortWordSeconds(fresh));
        const auto start = Clock::now();
        fresh.tb_library->SetFilter("Word Like '%är%'");
        fresh.tb_library->SetFiltered(true);
        const int found = fresh.tb_library->RecordCount();
        std::printf("store.search_1m %.3f s (%d found)\n", SecondsSince(start), found);
        fresh.tb_library->SetFiltered(false);
        const auto all = Clock::now();
        fresh.tb_library->SetSort("Definition DESC");
        fresh.tb_library->FieldAsString("Word");
        std::printf("store.sort_definition_1m %.3f s\n", SecondsSince(all));
    }
    if (app.arguments().contains("--save"))
        SaveBench(path);
    return 0;
}
