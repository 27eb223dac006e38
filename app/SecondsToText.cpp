#include "app/SecondsToText.h"

static QString twoDigits(int32_t value) {
    if (value > 9)
        return QString::number(value);
    if (value >= 1)
        return QStringLiteral("0") + QString::number(value);
    return QStringLiteral("00");
}

QString SecondsToText(int32_t n) {
    int32_t hours = 0, minutes = 0, seconds = n;
    if (n >= 3600) {
        hours = n / 3600;
        minutes = (n % 3600) / 60;
        seconds = n % 60;
    } else if (n >= 60) {
        minutes = n / 60;
        seconds = n % 60;
    }
    return twoDigits(hours) + ':' + twoDigits(minutes) + ':' + twoDigits(seconds);
}
