#include "store/SearchIndex.h"

#include "store/TableAccess.h"

#include <algorithm>

namespace {
// Folds one code point at a time, as QString's case-insensitive comparison does, so
// the length in UTF-16 units stays the same.
void AppendFolded(QString &to, const QString &text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t code = text[i].unicode();
        if (QChar::isHighSurrogate(code) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        const char32_t f = QChar::toCaseFolded(code);
        if (QChar::requiresSurrogates(f)) {
            to.append(QChar(QChar::highSurrogate(f)));
            to.append(QChar(QChar::lowSurrogate(f)));
        } else {
            to.append(QChar(char16_t(f)));
        }
    }
}
} // namespace

void SearchIndex::Clear() {
    stamp.Clear();
    rowids = {};
    starts = {};
    folded = QString();
}

void SearchIndex::Build(TableAccess &access, int wanted) {
    Clear();
    QString text;
    access.ScanText(wanted, [&](int64_t rowid, const char *bytes, int size) {
        rowids.push_back(rowid);
        starts.push_back(uint32_t(folded.size()));
        text = QString::fromUtf8(bytes, size);
        AppendFolded(folded, text);
        folded.append(QChar(0));
    });
    starts.push_back(uint32_t(folded.size()));
    stamp.Take(access.Handle(), access.Table(), wanted);
}

std::vector<int64_t> SearchIndex::RowsContaining(TableAccess &access, int wanted,
                                                 const QString &needle) {
    if (!stamp.Holds(access.Handle(), access.Table(), wanted))
        Build(access, wanted);
    std::vector<int64_t> rows;
    if (needle.isEmpty())
        return rowids;
    QString key;
    AppendFolded(key, needle);
    if (key.contains(QChar(0)))
        return rows; // no text holds the separator
    const QStringView all(folded);
    qsizetype at = all.indexOf(key);
    while (at >= 0) {
        // The row holding this match; searching goes on after that row.
        const auto next = std::upper_bound(starts.begin(), starts.end(), uint32_t(at));
        const size_t row = size_t(next - starts.begin()) - 1;
        rows.push_back(rowids[row]);
        at = all.indexOf(key, starts[row + 1]);
    }
    return rows;
}
