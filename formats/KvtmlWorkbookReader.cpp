#include "formats/KvtmlWorkbookReader.h"
#include "formats/RowLimits.h"
#include "platform/LexomatError.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <algorithm>

namespace {
constexpr qint64 MaxKvtmlBytes = qint64(256) << 20; // as for a text list

QByteArrayView Checked(const WorkbookFile &file) {
    if (file.size() > MaxKvtmlBytes)
        throw LexomatError(
            QStringLiteral("The vocabulary file is larger than %1 MiB.").arg(MaxKvtmlBytes >> 20));
    return QByteArrayView(file.data(), file.size());
}
} // namespace

KvtmlWorkbookReader::KvtmlWorkbookReader(std::shared_ptr<const WorkbookFile> file)
    : budget(file->size()), document(Checked(*file)) {
    for (const KvtmlDocument::Entry &entry : document.Entries())
        budget.Keep(ReadBudget::TextBytes(entry.word.size()) +
                    ReadBudget::TextBytes(entry.definition.size()));
    // Two lessons of one name still get a sheet each: "Name (2)", "Name (3)", ...
    QSet<QString> taken{AllEntries};
    // The number each name tries next: taken names stay taken, so counting on from the
    // last one given keeps many lessons of one name from trying every number again.
    QHash<QString, int> nextNumber;
    sheets << AllEntries;
    for (const KvtmlDocument::Lesson &lesson : document.Lessons()) {
        QString name = lesson.name;
        if (taken.contains(name)) {
            int &n = nextNumber[lesson.name];
            n = std::max(n, 2);
            do
                name = QStringLiteral("%1 (%2)").arg(lesson.name).arg(n++);
            while (taken.contains(name));
        }
        taken.insert(name);
        sheets << name;
    }
}

bool KvtmlWorkbookReader::IsKvtml(const WorkbookFile &file) {
    if (QFileInfo(file.fileName()).suffix().compare(u"kvtml", Qt::CaseInsensitive) == 0)
        return true;
    QByteArrayView head(file.data(), std::min<qint64>(file.size(), 4096));
    if (head.startsWith("\xEF\xBB\xBF"))
        head = head.sliced(3);
    return head.trimmed().startsWith('<') && head.contains("<kvtml");
}

void KvtmlWorkbookReader::ReadRows(
    const QString &sheet, const std::function<bool(int rowNumber, const QStringList &cells)> &row) {
    const qsizetype index = sheets.indexOf(sheet);
    if (index < 0)
        throw LexomatError(QStringLiteral("The file has no lesson named “%1”.").arg(sheet));
    const std::vector<KvtmlDocument::Entry> &entries = document.Entries();
    RowLimits limits(budget, sheet, RowLimits::NoCellLimit);
    auto give = [&](int rowNumber, int entry) {
        QStringList cells;
        if (entry >= 0) {
            const KvtmlDocument::Entry &e = entries[size_t(entry)];
            limits.Check(rowNumber, e.word, e.definition);
            if (!e.definition.isEmpty())
                cells << e.word << e.definition;
            else if (!e.word.isEmpty())
                cells << e.word;
        }
        return row(rowNumber, cells);
    };
    if (index == 0) {
        for (size_t i = 0; i < entries.size(); ++i)
            if (!give(int(i) + 1, int(i)))
                return;
        return;
    }
    const std::vector<int> &members = *document.Lessons()[size_t(index - 1)].entries;
    for (size_t i = 0; i < members.size(); ++i)
        if (!give(int(i) + 1, members[i]))
            return;
}
