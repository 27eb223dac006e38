#include "store/RowSorter.h"

#include "store/TableAccess.h"
#include "store/TextCollator.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace RowSorter {

namespace {
void SortByInteger(std::vector<int64_t> &rows, TableAccess &access, int column, bool descending) {
    std::vector<std::pair<int64_t, int64_t>> keyed;
    keyed.reserve(rows.size());
    if (column == access.IdentityColumn()) {
        if (descending)
            std::reverse(rows.begin(), rows.end());
        return;
    }
    if (column == access.CachedColumn()) {
        const std::vector<int64_t> &ids = access.BaseIds();
        const std::vector<int32_t> &ints = access.BaseInts();
        size_t b = 0;
        for (int64_t row : rows) {
            // Both lists ascend, so one forward walk finds every row.
            while (b < ids.size() && ids[b] < row)
                ++b;
            keyed.emplace_back(b < ids.size() && ids[b] == row ? ints[b] : 0, row);
        }
    } else {
        for (int64_t row : rows) {
            const std::vector<QVariant> values = access.ReadRow(row);
            keyed.emplace_back(values.empty() ? 0 : values[size_t(column)].toLongLong(), row);
        }
    }
    std::stable_sort(keyed.begin(), keyed.end(), [descending](const auto &a, const auto &b) {
        return descending ? a.first > b.first : a.first < b.first;
    });
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = keyed[i].second;
}

struct TextEntry {
    uint8_t key[TextCollator::KeyBytes];
    uint32_t index;
    bool complete;
};

void SortByText(std::vector<int64_t> &rows, TableAccess &access, int column, bool descending) {
    const TextCollator collator;
    std::vector<TextEntry> entries(rows.size());
    size_t filled = 0;
    auto add = [&](const char *bytes, int size) {
        TextEntry &e = entries[filled];
        e.complete = collator.PartialKey(bytes, size, e.key);
        e.index = uint32_t(filled);
        ++filled;
    };
    if (rows.size() * 64 > access.BaseIds().size()) { // see RowFilter: a scan beats lookups
        access.ScanText(column, [&](int64_t rowid, const char *bytes, int size) {
            if (filled < rows.size() && rows[filled] == rowid)
                add(bytes, size);
        });
    } else {
        for (int64_t row : rows) {
            const std::vector<QVariant> values = access.ReadRow(row);
            const QByteArray text =
                values.empty() ? QByteArray() : values[size_t(column)].toString().toUtf8();
            add(text.constData(), int(text.size()));
        }
    }
    // Rows that vanished meanwhile sort first with an empty key.
    while (filled < rows.size())
        add("", 0);

    // Equal cut keys of long texts are told apart by the full texts, read on demand.
    std::unordered_map<uint32_t, QString> texts;
    auto fullText = [&](uint32_t index) -> const QString & {
        auto it = texts.find(index);
        if (it == texts.end()) {
            const std::vector<QVariant> values = access.ReadRow(rows[index]);
            it =
                texts.emplace(index, values.empty() ? QString() : values[size_t(column)].toString())
                    .first;
        }
        return it->second;
    };
    std::sort(entries.begin(), entries.end(), [&](const TextEntry &a, const TextEntry &b) {
        int c = std::memcmp(a.key, b.key, TextCollator::KeyBytes);
        if (c == 0 && !a.complete && !b.complete)
            c = collator.Compare(fullText(a.index), fullText(b.index));
        if (c != 0)
            return descending ? c > 0 : c < 0;
        return a.index < b.index; // rows come in ascending rowid order
    });
    std::vector<int64_t> sorted(rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        sorted[i] = rows[entries[i].index];
    rows.swap(sorted);
}
} // namespace

void Sort(std::vector<int64_t> &rows, TableAccess &access, int column, bool descending) {
    const TableColumn &c = access.Columns()[size_t(column)];
    if (c.integer)
        SortByInteger(rows, access, column, descending);
    else
        SortByText(rows, access, column, descending);
}

} // namespace RowSorter
