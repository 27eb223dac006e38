#pragma once

#include <QString>

// A count with its noun as a sentence says it: "1 card", "2 cards", "0 cards".
inline QString Counted(qint64 count, const QString &one, const QString &many) {
    return QString::number(count) + QLatin1Char(' ') + (count == 1 ? one : many);
}
