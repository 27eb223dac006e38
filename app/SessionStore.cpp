#include "app/SessionStore.h"

#include "engine/LexomatList.h"
#include "store/ProgressHistory.h"
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
    TTable::ControlsOff quiet(table);
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
        throw;
    }
}

void SaveImportanceField(TTable &table, const TLexomatList::LevelWrites &writes) {
    const QString id = QStringLiteral("ID");
    const QString level = QStringLiteral("ImportanceField");
    OpenLibraryTable(table);
    if (writes.resetAll)
        table.SetFieldInAllRows(level, 0);
    for (const auto &[cardId, cardLevel] : writes.levels) {
        // A card deleted from the file since it was loaded has nothing to keep.
        if (!table.Locate(id, cardId))
            continue;
        table.Edit();
        table.SetFieldValue(level, cardLevel);
        table.Post();
    }
}

void SaveTotalTime(Tdm &dm, TTable &table, int32_t totalSeconds) {
    if (!dm.HasTimeTable())
        dm.CreateTimeTable();
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
    OpenLibraryTable(table);
    TTable::ControlsOff quiet(table);
    TTable::ClosedAtEnd closed(table);
    // The store's own list of (ID, level), read in one scan; the IDs fit in 32 bits
    // (the file was refused otherwise).
    const TTable::KeptValues rows = table.AllKeptValues();
    const std::vector<int64_t> &ids = *rows.ids;
    const std::vector<int32_t> &levels = *rows.values;
    for (size_t i = 0; i < ids.size(); ++i)
        list.AddCard(int32_t(ids[i]), levels[i]);
}

int32_t LoadTotalTime(Tdm &dm) {
    int32_t seconds = 0;
    if (!dm.HasTimeTable()) {
        OpenLibraryTable(*dm.tb_library);
        return seconds;
    }
    OnTotalTime(*dm.tb_library, [&seconds](TTable &t) {
        if (!t.Eof())
            seconds = t.FieldAsInteger(TimeTable);
    });
    return seconds;
}

void SaveLevelsAndTime(Tdm &dm, TLexomatList &list, int32_t totalSeconds,
                       const std::optional<ProgressRow> &progress) {
    TTable &table = *dm.tb_library;
    const TLexomatList::LevelWrites writes = list.PendingLevelWrites();
    // Posts would each tell the grids; they are told once at the end.
    {
        TTable::ControlsOff quiet(table);
        dm.BeginTransaction();
        try {
            SaveImportanceField(table, writes);
            SaveTotalTime(dm, table, totalSeconds);
            if (progress)
                ProgressHistory::Append(dm, *progress);
            dm.CommitTransaction();
        } catch (...) {
            // A failed post leaves its row in edit; the rows written before it are undone.
            table.Cancel();
            dm.RollbackTransaction();
            throw;
        }
    }
    list.MarkLevelsSaved();
}

} // namespace SessionStore
