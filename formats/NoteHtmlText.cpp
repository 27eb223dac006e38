#include "formats/NoteHtmlText.h"

#include <QSet>
#include <algorithm>

namespace {

bool IsBlock(QStringView name) {
    static const QSet<QString> blocks = {
        "address", "article", "aside", "blockquote", "dd", "div", "dl",  "dt",
        "footer",  "h1",      "h2",    "h3",         "h4", "h5",  "h6",  "header",
        "hr",      "li",      "main",  "nav",        "ol", "p",   "pre", "section",
        "table",   "tbody",   "tfoot", "thead",      "tr", "ul"};
    return blocks.contains(name.toString());
}

// The text an entity stands for, or empty when it is none we know.
QString Entity(QStringView name) {
    if (name == u"amp")
        return QStringLiteral("&");
    if (name == u"lt")
        return QStringLiteral("<");
    if (name == u"gt")
        return QStringLiteral(">");
    if (name == u"quot")
        return QStringLiteral("\"");
    if (name == u"apos")
        return QStringLiteral("'");
    if (name == u"nbsp")
        return QStringLiteral(" ");
    if (name.startsWith(u'#')) {
        bool ok = false;
        const uint code = name.size() > 1 && (name[1] == u'x' || name[1] == u'X')
                              ? name.sliced(2).toUInt(&ok, 16)
                              : name.sliced(1).toUInt(&ok, 10);
        if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return QString();
        if (code == 0xA0)
            return QStringLiteral(" ");
        const char32_t c = code;
        return QString::fromUcs4(&c, 1);
    }
    return QString();
}

class TextBuilder {
public:
    void Visible(QStringView text) {
        if (!out.isEmpty() && !out.endsWith(u'\n')) {
            if (pendingBreak)
                out += u'\n';
            else if (pendingSpace)
                out += u' ';
        }
        pendingBreak = pendingSpace = false;
        out += text;
    }
    void LineBreak() {
        if (pendingBreak && !out.isEmpty() && !out.endsWith(u'\n'))
            out += u'\n';
        pendingBreak = pendingSpace = false;
        out += u'\n';
    }
    void BlockBoundary() { pendingBreak = true; }
    void Blank() { pendingSpace = true; }
    QString Result() const { return out.trimmed(); }

private:
    QString out;
    bool pendingBreak = false;
    bool pendingSpace = false;
};

} // namespace

QString NoteHtmlToText(QStringView html) {
    TextBuilder text;
    const qsizetype size = html.size();
    // Once a search for a closing character finds none, none comes later either: a
    // field of many openers without closers is not searched to its end for each one.
    bool noBracketLater = false, noGreaterLater = false;
    for (qsizetype i = 0; i < size;) {
        const QChar c = html[i];
        if (c == u'[' && !noBracketLater && html.sliced(i).startsWith(u"[sound:")) {
            const qsizetype end = html.indexOf(u']', i);
            noBracketLater = end < 0;
            if (end > 0) {
                i = end + 1;
                continue;
            }
        }
        if (c == u'<' && html.sliced(i).startsWith(u"<!--")) {
            const qsizetype end = html.indexOf(u"-->", i + 4);
            i = end < 0 ? size : end + 3;
            continue;
        }
        if (c == u'<' && !noGreaterLater) {
            const qsizetype end = html.indexOf(u'>', i + 1);
            noGreaterLater = end < 0;
            if (end > 0) {
                QStringView tag = html.sliced(i + 1, end - i - 1);
                const bool closing = tag.startsWith(u'/');
                if (closing)
                    tag = tag.sliced(1);
                qsizetype n = 0;
                while (n < tag.size() && tag[n].isLetterOrNumber())
                    ++n;
                const QString name = tag.first(n).toString().toLower();
                i = end + 1;
                if (name == u"br") {
                    text.LineBreak();
                } else if (IsBlock(name)) {
                    text.BlockBoundary();
                } else if (!closing && (name == u"style" || name == u"script")) {
                    const qsizetype stop =
                        html.indexOf(QStringLiteral("</") + name, i, Qt::CaseInsensitive);
                    const qsizetype after = stop < 0 ? -1 : html.indexOf(u'>', stop);
                    i = after < 0 ? size : after + 1;
                }
                continue;
            }
        }
        if (c == u'&') {
            // An entity is short: its end is looked for close by only.
            const qsizetype end = html.first(std::min(size, i + 13)).indexOf(u';', i + 1);
            if (end > i + 1) {
                const QString decoded = Entity(html.sliced(i + 1, end - i - 1));
                if (!decoded.isEmpty()) {
                    text.Visible(decoded);
                    i = end + 1;
                    continue;
                }
            }
        }
        if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r')
            text.Blank();
        else if (c.isHighSurrogate() && i + 1 < size)
            text.Visible(html.sliced(i++, 2));
        else
            text.Visible(html.sliced(i, 1));
        ++i;
    }
    return text.Result();
}
