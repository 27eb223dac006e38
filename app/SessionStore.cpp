#include "app/SessionStore.h"

#include "engine/LexomatList.h"
#include "store/TTable.h"
#include "store/Tdm.h"
#include <algorithm>
#include <utility>
#include <vector>

namespace {

const QString LibraryTable = QStringLiteral("Library");
const QString TimeTable = QStringLiteral("TotalTime");

// The dataset open on Library with the table's own order: a sort left by the box
// viewer would make every lookup by ID a search through the sorted list, and a filter
// would hide cards from the save.
void OpenLibraryTable(TTable &table) {
    table.Close();
    table.SetTableName(LibraryTable);
    if (table.Filtered())
        table.SetFiltered(false);
    table.Open();
}

// Runs `work` on the first row of TotalTime (or on none, when the table is empty) with
// the grids not told. On success the dataset serves Library again and is open; on a
// failure it serves Library, closed, and the grids are told before the failure goes on.
template <typename Work> void OnTotalTime(TTable &table, Work work) {
    table.Close();
    table.DisableControls();
    try {
        table.SetTableName(TimeTable);
        table.Open();
        table.First();
        work(table);
        table.Close();
        table.SetTableName(LibraryTable);
        table.Open();
    } catch (...) {
        table.Close();
        table.SetTableName(LibraryTable);
        table.EnableControls();
        throw;
    }
    table.EnableControls();
}

void SaveImportanceField(TTable &table, const TLexomatList &list) {
    // In ID order the writes walk the table's pages once instead of at random.
    std::vector<std::pair<int32_t, int32_t>> rows(static_cast<size_t>(list.Count()));
    for (int32_t i = 0; i < list.Count(); ++i)
        rows[static_cast<size_t>(i)] = {list.IdAt(i), list.LevelAt(i)};
    std::sort(rows.begin(), rows.end());
    const QString id = QStringLiteral("ID");
    const QString level = QStringLiteral("ImportanceField");
    OpenLibraryTable(table);
    for (const auto &[cardId, cardLevel] : rows) {
        // A card deleted from the file since it was loaded has nothing to keep.
        if (!table.Locate(id, cardId))
            continue;
        table.Edit();
        table.SetFieldValue(level, cardLevel);
        table.Post();
    }
}

void SaveTotalTime(TTable &table, int32_t totalSeconds) {
    OnTotalTime(table, [totalSeconds](TTable &t) {
        if (t.Eof())
            t.Insert();
        else
            t.Edit();
        t.SetFieldValue(TimeTable, totalSeconds);
        t.Post();
    });
}

} // namespace

namespace SessionStore {

void PopulateList(Tdm &dm, TLexomatList &list) {
    TTable &table = *dm.tb_library;
    const QString id = QStringLiteral("ID");
    const QString level = QStringLiteral("ImportanceField");
    OpenLibraryTable(table);
    // Moving row by row would tell the grids a million times.
    table.DisableControls();
    try {
        for (table.First(); !table.Eof(); table.Next())
            list.AddCard(table.FieldAsInteger(id), table.FieldAsInteger(level));
    } catch (...) {
        table.Close();
        table.EnableControls();
        throw;
    }
    table.Close();
    table.EnableControls();
}

int32_t LoadTotalTime(Tdm &dm) {
    int32_t seconds = 0;
    OnTotalTime(*dm.tb_library, [&seconds](TTable &t) {
        if (!t.Eof()) {
            seconds = t.FieldAsInteger(TimeTable);
            return;
        }
        t.Insert();
        t.SetFieldValue(TimeTable, seconds);
        t.Post();
    });
    return seconds;
}

void SaveLevelsAndTime(Tdm &dm, const TLexomatList &list, int32_t totalSeconds) {
    TTable &table = *dm.tb_library;
    // A million posts would each tell the grids; they are told once at the end.
    table.DisableControls();
    try {
        dm.BeginTransaction();
        try {
            SaveImportanceField(table, list);
            SaveTotalTime(table, totalSeconds);
            dm.CommitTransaction();
        } catch (...) {
            // A failed post leaves its row in edit; the rows written before it are undone.
            table.Cancel();
            dm.RollbackTransaction();
            throw;
        }
    } catch (...) {
        table.EnableControls();
        throw;
    }
    table.EnableControls();
}

} // namespace SessionStore
