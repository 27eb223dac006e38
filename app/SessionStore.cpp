#include "app/SessionStore.h"

#include "engine/LexomatList.h"
#include "store/ProgressHistory.h"
#include "store/StoredLevels.h"
#include "store/TTable.h"
#include "store/Tdm.h"
#include <algorithm>
#include <limits>
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

using SessionStore::OtherChanges;

bool ById(const std::pair<int32_t, int32_t> &a, const std::pair<int32_t, int32_t> &b) {
    return a.first < b.first;
}

// The writes come in ascending order of ID, and so do the changes found among them.
bool Among(const std::vector<std::pair<int32_t, int32_t>> &changed, int32_t id) {
    return std::binary_search(changed.begin(), changed.end(), std::pair(id, 0), ById);
}

// Only the cards about to be written are looked at, and the time row: a save of a few
// hundred answers stays a few hundred lookups, whatever the size of the library.
OtherChanges FindOtherChanges(Tdm &dm, const TLexomatList::LevelWrites &writes,
                              SessionStore::StudyTime time) {
    OtherChanges changes;
    if (writes.resetAll)
        return changes;
    std::vector<std::pair<int32_t, int32_t>> read;
    read.reserve(writes.levels.size());
    for (const TLexomatList::LevelWrite &write : writes.levels)
        read.emplace_back(write.id, write.read);
    for (const auto &[id, stored] : StoredLevels::ChangedLevels(dm.Connection(), read)) {
        const auto write = std::lower_bound(
            writes.levels.begin(), writes.levels.end(), id,
            [](const TLexomatList::LevelWrite &w, int32_t key) { return w.id < key; });
        if (stored != write->level)
            changes.levels.emplace_back(id, stored);
    }
    const int32_t seconds = StoredLevels::StudySeconds(dm.Connection());
    if (seconds != time.read && seconds != time.total)
        changes.seconds = seconds;
    return changes;
}

void SaveImportanceField(TTable &table, const TLexomatList::LevelWrites &writes,
                         const std::vector<std::pair<int32_t, int32_t>> &kept) {
    const QString id = QStringLiteral("ID");
    const QString level = QStringLiteral("ImportanceField");
    OpenLibraryTable(table);
    if (writes.resetAll)
        table.SetFieldInAllRows(level, 0);
    for (const TLexomatList::LevelWrite &write : writes.levels) {
        const int32_t cardId = write.id, cardLevel = write.level;
        if (!kept.empty() && Among(kept, cardId))
            continue;
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

SaveResult SaveLevelsAndTime(Tdm &dm, TLexomatList &list, StudyTime time,
                             const std::optional<ProgressRow> &progress,
                             const std::optional<OverwriteAnswer> &answer) {
    TTable &table = *dm.tb_library;
    const TLexomatList::LevelWrites writes = list.PendingLevelWrites();
    SaveResult result;
    result.seconds = time.total;
    bool keep = false;
    // Posts would each tell the grids; they are told once at the end.
    {
        TTable::ControlsOff quiet(table);
        dm.BeginTransaction();
        try {
            // Looked at under the write lock: nothing can change between the look and
            // the writes.
            const OtherChanges changes = FindOtherChanges(dm, writes, time);
            if (!changes.Empty() && !(answer && answer->asked == changes)) {
                dm.RollbackTransaction();
                result.changes = changes;
                return result;
            }
            keep = !changes.Empty() && !answer->overwrite;
            if (keep) {
                result.changes = changes;
                // Both studied: the other program's time and this session's.
                if (changes.seconds)
                    result.seconds = int32_t(std::min<int64_t>(
                        std::numeric_limits<int32_t>::max(),
                        int64_t(*changes.seconds) + std::max(0, time.total - time.read)));
            }
            SaveImportanceField(table, writes, result.changes.levels);
            SaveTotalTime(dm, table, result.seconds);
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
    if (keep)
        list.AdoptLevels(result.changes.levels);
    result.saved = true;
    return result;
}

} // namespace SessionStore
