#include "store/TableSort.h"

#include "platform/LexomatError.h"
#include "store/TableColumns.h"

#include <QStringList>

TableSort TableSort::Parse(const QString &text, const std::vector<TableColumn> &columns) {
    const QStringList parts = text.simplified().split(' ', Qt::SkipEmptyParts);
    TableSort sort;
    if (parts.isEmpty())
        return sort;
    const bool directionOk =
        parts.size() == 1 ||
        (parts.size() == 2 && (parts[1].compare("ASC", Qt::CaseInsensitive) == 0 ||
                               parts[1].compare("DESC", Qt::CaseInsensitive) == 0));
    sort.column = ColumnIndex(columns, parts[0]);
    if (!directionOk || sort.column < 0)
        throw LexomatError(QString("The sort \"%1\" is not understood: a sort names a field "
                                   "and ASC or DESC, such as \"Word ASC\".")
                               .arg(text));
    sort.descending = parts.size() == 2 && parts[1].compare("DESC", Qt::CaseInsensitive) == 0;
    return sort;
}
