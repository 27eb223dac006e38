#pragma once

#include <QString>

class QFontMetrics;
class QRect;

// What of a text a word-wrapped label can show in its box: the whole text when it fits,
// else as much as fits, cut after a word where one ends near the cut, ending in "…".
namespace WrappedTextFit {
QString Fitted(const QString &text, const QFontMetrics &metrics, const QRect &box, int flags);
} // namespace WrappedTextFit
