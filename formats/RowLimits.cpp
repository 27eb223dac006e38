#include "formats/RowLimits.h"
#include "platform/LexomatError.h"

#include <QLocale>

void RowLimits::Check(qint64 rowNumber, const QString &a, const QString &b) {
    for (const auto &[column, text] : {std::pair{u'A', &a}, std::pair{u'B', &b}}) {
        if (text->size() > maxCellText)
            throw LexomatError(QStringLiteral("Cell %1%2 of the sheet “%3” holds more than %4 "
                                              "characters, more than a spreadsheet cell can.")
                                   .arg(QChar(column))
                                   .arg(rowNumber)
                                   .arg(sheetName)
                                   .arg(QLocale(QLocale::English).toString(MaxCellText)));
    }
    budget.HandOut(a.size() + b.size());
}
