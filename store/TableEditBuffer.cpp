#include "store/TableEditBuffer.h"

#include "store/TableAccess.h"
#include "store/TableCursor.h"

#include <algorithm>

void TableEditBuffer::Start(Mode to, int64_t rowid, size_t columns) {
    buffer.assign(columns, QVariant());
    changed.assign(columns, false);
    editRowid = rowid;
    mode = to;
}

void TableEditBuffer::Clear() {
    mode = Mode::None;
    buffer.clear();
    changed.clear();
}

void TableEditBuffer::Set(int column, const QVariant &value) {
    buffer[size_t(column)] = value;
    changed[size_t(column)] = true;
}

bool TableEditBuffer::AnySet() const {
    return std::find(changed.begin(), changed.end(), true) != changed.end();
}

QVariant TableEditBuffer::FieldValue(int column, TableCursor &cursor) const {
    if (mode != Mode::None) {
        if (IsSet(column))
            return Value(column);
        if (mode == Mode::Insert)
            return {};
    }
    return cursor.CurrentValue(column);
}

bool TableEditBuffer::Post(TableAccess &access, TableCursor &cursor) {
    if (mode == Mode::None)
        return false;
    const bool inserted = mode == Mode::Insert;
    const int64_t rowid = inserted ? access.Insert(buffer, changed) : editRowid;
    if (!inserted)
        access.Update(editRowid, buffer, changed);
    // An edited row moves when a field that places it (sort, search) changed.
    bool moved = inserted;
    for (size_t column = 0; column < changed.size() && !moved; ++column)
        moved = changed[column] && cursor.DependsOn(int(column));
    Clear();
    cursor.AfterWrite(rowid, inserted, moved);
    return true;
}
