#include "widgets/WrappedTextFit.h"

#include <QFontMetrics>
#include <QRect>

namespace WrappedTextFit {

namespace {
const QString Ellipsis = QStringLiteral("\u2026");

bool Fits(const QString &text, const QFontMetrics &metrics, const QRect &box, int flags) {
    const QRect needed = metrics.boundingRect(box, flags | Qt::TextWordWrap, text);
    return needed.height() <= box.height() && needed.width() <= box.width();
}

// The first `length` characters, never splitting a surrogate pair, without the blanks
// before the cut, and back to the end of a word if one ends in the last few characters.
QString Prefix(const QString &text, qsizetype length) {
    if (length > 0 && length < text.size() && text[length - 1].isHighSurrogate())
        --length;
    QString prefix = text.left(length);
    const qsizetype space = prefix.lastIndexOf(QChar(' '));
    if (length < text.size() && !text[length].isSpace() && space > 0 && length - space < 16)
        prefix.truncate(space);
    // "…" stands for what follows; a comma or colon before it would stand for nothing.
    while (!prefix.isEmpty() &&
           (prefix.back().isSpace() || QStringLiteral(",;:").contains(prefix.back())))
        prefix.chop(1);
    return prefix;
}
} // namespace

QString Fitted(const QString &text, const QFontMetrics &metrics, const QRect &box, int flags) {
    if (Fits(text, metrics, box, flags))
        return text;
    // The longest beginning that fits with the ellipsis after it.
    qsizetype low = 0, high = text.size();
    while (low < high) {
        const qsizetype middle = (low + high + 1) / 2;
        if (Fits(text.left(middle) + Ellipsis, metrics, box, flags))
            low = middle;
        else
            high = middle - 1;
    }
    return Prefix(text, low) + Ellipsis;
}

} // namespace WrappedTextFit
