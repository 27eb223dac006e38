#include "formats/WorkbookCellText.h"

#include <QDate>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace WorkbookCellText {

QString Number(double value) {
    if (std::isnan(value) || std::isinf(value))
        return QStringLiteral("#NUM!");
    if (value == 0)
        return QStringLiteral("0"); // also for -0
    char buffer[40];
    for (int precision : {15, 16, 17}) {
        std::snprintf(buffer, sizeof buffer, "%.*g", precision, value);
        if (std::strtod(buffer, nullptr) == value)
            break;
    }
    return QString::fromLatin1(buffer);
}

QString Date(double serial, bool date1904) {
    // Serial 1 is the first day of the 1900 system (0 would be "1900-01-00"), 0 the
    // first of the 1904 system; both end on 9999-12-31.
    const double first = date1904 ? 0 : 1;
    const double pastLast = date1904 ? 2957004 : 2958466;
    if (std::isnan(serial) || serial < first || serial >= pastLast)
        return Number(serial);
    const qint64 days = static_cast<qint64>(std::floor(serial));
    if (date1904)
        return QDate(1904, 1, 1).addDays(days).toString(Qt::ISODate);
    if (days == 60)
        return QStringLiteral("1900-02-29");
    // Up to the phantom day, serial 1 is 1900-01-01; after it one day less.
    const QDate base = days < 60 ? QDate(1899, 12, 31) : QDate(1899, 12, 30);
    return base.addDays(days).toString(Qt::ISODate);
}

bool IsBuiltInDateFormat(int formatId) {
    return (formatId >= 14 && formatId <= 17) || formatId == 22;
}

bool IsDateFormatCode(const QString &formatCode) {
    bool inQuotes = false;
    int bracketDepth = 0;
    for (qsizetype i = 0; i < formatCode.size(); ++i) {
        const QChar c = formatCode[i];
        if (inQuotes) {
            inQuotes = c != u'"';
        } else if (c == u'"') {
            inQuotes = true;
        } else if (c == u'[') {
            ++bracketDepth;
        } else if (c == u']') {
            bracketDepth = bracketDepth > 0 ? bracketDepth - 1 : 0;
        } else if (bracketDepth > 0) {
            continue;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i; // the next character is shown literally (or is padding)
        } else {
            const QChar lower = c.toLower();
            if (lower == u'd' || lower == u'm' || lower == u'y')
                return true;
        }
    }
    return false;
}

bool IsDateFormat(int formatId, const QString &formatCode) {
    return formatCode.isEmpty() ? IsBuiltInDateFormat(formatId) : IsDateFormatCode(formatCode);
}

QString Boolean(bool value) {
    return value ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
}

QString BiffError(int code) {
    switch (code) {
    case 0x00:
        return QStringLiteral("#NULL!");
    case 0x07:
        return QStringLiteral("#DIV/0!");
    case 0x0F:
        return QStringLiteral("#VALUE!");
    case 0x17:
        return QStringLiteral("#REF!");
    case 0x1D:
        return QStringLiteral("#NAME?");
    case 0x24:
        return QStringLiteral("#NUM!");
    case 0x2A:
        return QStringLiteral("#N/A");
    default:
        return QString();
    }
}

} // namespace WorkbookCellText
