#include "store/TableFilter.h"

#include "platform/LexomatError.h"

#include <algorithm>

namespace {

class Cursor {
public:
    explicit Cursor(QStringView s) : s(s) {}
    void SkipSpace() {
        while (pos < s.size() && s[pos].isSpace())
            ++pos;
    }
    bool AtEnd() const { return pos >= s.size(); }
    bool Take(QChar c) {
        if (pos < s.size() && s[pos] == c) {
            ++pos;
            return true;
        }
        return false;
    }
    // A keyword or a field name, compared without regard to case.
    bool TakeWord(QStringView word) {
        if (s.size() - pos < word.size() ||
            s.mid(pos, word.size()).compare(word, Qt::CaseInsensitive) != 0)
            return false;
        const qsizetype end = pos + word.size();
        if (end < s.size() && (s[end].isLetterOrNumber() || s[end] == '_'))
            return false;
        pos = end;
        return true;
    }
    QString TakeName() {
        if (Take('[')) {
            const qsizetype start = pos;
            while (pos < s.size() && s[pos] != ']')
                ++pos;
            const QString name = s.mid(start, pos - start).toString();
            return Take(']') ? name : QString();
        }
        const qsizetype start = pos;
        while (pos < s.size() && (s[pos].isLetterOrNumber() || s[pos] == '_'))
            ++pos;
        return s.mid(start, pos - start).toString();
    }
    bool TakeInteger(int64_t *value) {
        bool negative = false;
        if (Take('-'))
            negative = true;
        else
            Take('+');
        int64_t v = 0;
        int digits = 0;
        while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') {
            if (++digits > 18)
                return false;
            v = v * 10 + (s[pos].unicode() - '0');
            ++pos;
        }
        *value = negative ? -v : v;
        return digits > 0;
    }
    // A quoted SQL text: single quotes, a doubled quote inside stands for one.
    bool TakeQuoted(QString *out) {
        if (!Take('\''))
            return false;
        out->clear();
        while (pos < s.size()) {
            if (s[pos] == '\'') {
                if (pos + 1 < s.size() && s[pos + 1] == '\'') {
                    out->append('\'');
                    pos += 2;
                    continue;
                }
                ++pos;
                return true;
            }
            out->append(s[pos++]);
        }
        return false;
    }
    qsizetype pos = 0;

private:
    QStringView s;
};

[[noreturn]] void Refuse(const QString &filterText) {
    QString shown = filterText.left(80);
    if (filterText.size() > 80)
        shown += "...";
    throw LexomatError(QString("The filter \"%1\" is not understood: a filter is either a list "
                               "such as \"ID=12 OR ID=7\" or a search such as "
                               "\"Word Like '%text%'\".")
                           .arg(shown));
}

bool ParseIdList(QStringView s, TableFilter *f) {
    Cursor c(s);
    c.SkipSpace();
    do {
        c.SkipSpace();
        if (!c.TakeWord(u"ID"))
            return false;
        c.SkipSpace();
        if (!c.Take('='))
            return false;
        c.SkipSpace();
        int64_t id = 0;
        if (!c.TakeInteger(&id))
            return false;
        f->ids.push_back(id);
        c.SkipSpace();
    } while (c.TakeWord(u"OR"));
    if (!c.AtEnd())
        return false;
    std::sort(f->ids.begin(), f->ids.end());
    f->ids.erase(std::unique(f->ids.begin(), f->ids.end()), f->ids.end());
    f->kind = TableFilter::Kind::IdList;
    f->field = "ID";
    return true;
}

bool ParsePattern(QStringView s, TableFilter *f) {
    Cursor c(s);
    c.SkipSpace();
    const QString field = c.TakeName();
    if (field.isEmpty())
        return false;
    c.SkipSpace();
    if (!c.TakeWord(u"LIKE"))
        return false;
    c.SkipSpace();
    QString pattern;
    if (!c.TakeQuoted(&pattern))
        return false;
    c.SkipSpace();
    if (!c.AtEnd())
        return false;
    f->kind = TableFilter::Kind::Pattern;
    f->field = field;
    f->anchoredStart = !pattern.startsWith('%');
    if (!f->anchoredStart)
        pattern.remove(0, 1);
    f->anchoredEnd = !pattern.endsWith('%');
    if (!f->anchoredEnd)
        pattern.chop(1);
    f->text = pattern;
    return true;
}

} // namespace

TableFilter TableFilter::Parse(const QString &filterText) {
    TableFilter f;
    if (filterText.trimmed().isEmpty())
        return f;
    if (ParseIdList(filterText, &f))
        return f;
    f = TableFilter();
    if (ParsePattern(filterText, &f))
        return f;
    Refuse(filterText);
}

bool TableFilter::Matches(QStringView value) const {
    if (anchoredStart && anchoredEnd)
        return value.compare(text, Qt::CaseInsensitive) == 0;
    if (anchoredStart)
        return value.startsWith(text, Qt::CaseInsensitive);
    if (anchoredEnd)
        return value.endsWith(text, Qt::CaseInsensitive);
    return value.contains(text, Qt::CaseInsensitive);
}
