#pragma once

#include <QString>
#include <vector>

struct TableColumn;

// A sort text such as "Word ASC" or "ImportanceField DESC" resolved against the columns
// of a table; an empty text keeps the table's own order.
struct TableSort {
    int column = -1; // -1: the table's own order
    bool descending = false;

    // Throws LexomatError for a text that names no column or no direction.
    static TableSort Parse(const QString &text, const std::vector<TableColumn> &columns);
};
