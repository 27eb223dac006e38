#pragma once

#include <QVariant>
#include <cstdint>
#include <vector>

class TableAccess;
class TableCursor;

// The row a table dataset is editing or adding: the values set so far, by column in
// table order, until they are written to the table or dropped.
class TableEditBuffer {
public:
    enum class Mode { None, Edit, Insert };

    Mode GetMode() const { return mode; }
    bool Editing() const { return mode != Mode::None; }
    // Edits the row rowid, or (Insert) a new row; nothing is set yet.
    void Start(Mode to, int64_t rowid, size_t columns);
    // Drops the values; the buffer edits nothing.
    void Clear();

    void Set(int column, const QVariant &value);
    bool IsSet(int column) const { return changed[size_t(column)]; }
    const QVariant &Value(int column) const { return buffer[size_t(column)]; }
    bool AnySet() const;

    // A field as the dataset shows it: the value set here, nothing for a new row, or
    // else the current row's.
    QVariant FieldValue(int column, TableCursor &cursor) const;

    // Writes the set values, into the edited row or as a new row, and places the row
    // written among the presented rows; the buffer then edits nothing. False when it
    // edited nothing; throws LexomatError (and keeps everything) when the table refuses
    // the row.
    bool Post(TableAccess &access, TableCursor &cursor);

private:
    Mode mode = Mode::None;
    std::vector<QVariant> buffer;
    std::vector<bool> changed;
    int64_t editRowid = 0;
};
