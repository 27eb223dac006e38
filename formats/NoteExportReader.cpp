#include "formats/NoteExportReader.h"
#include "formats/CodePageDecoder.h"
#include "formats/NoteHtmlText.h"
#include "platform/LexomatError.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

namespace {
constexpr qint64 MaxTextBytes = qint64(256) << 20; // as for a text list

const QRegularExpression &HeaderLine() {
    static const QRegularExpression line(QStringLiteral("^#([A-Za-z ]+):(.*)$"));
    return line;
}

bool IsKnownKey(const QString &key) {
    static const QStringList keys = {"separator",   "html",       "tags",        "columns",
                                     "notetype",    "deck",       "guid column", "notetype column",
                                     "deck column", "tags column"};
    return keys.contains(key);
}

QString Key(const QRegularExpressionMatch &match) {
    return match.captured(1).trimmed().toLower();
}

QString Decoded(QByteArrayView bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    // Text saved in a single-byte code page by older programs.
    return bytes.isValidUtf8() ? QString::fromUtf8(bytes) : CodePageDecoder(1252).Decode(bytes);
}
} // namespace

bool NoteExportReader::IsNoteExport(const WorkbookFile &file) {
    if (QFileInfo(file.fileName()).suffix().compare(u"txt", Qt::CaseInsensitive) != 0)
        return false;
    QByteArrayView head(file.data(), std::min<qint64>(file.size(), 1024));
    if (head.startsWith("\xEF\xBB\xBF"))
        head = head.sliced(3);
    const qsizetype end = head.indexOf('\n');
    const QString first = QString::fromUtf8(end < 0 ? head : head.first(end)).trimmed();
    const QRegularExpressionMatch match = HeaderLine().match(first);
    return match.hasMatch() && IsKnownKey(Key(match));
}

NoteExportReader::NoteExportReader(std::shared_ptr<const WorkbookFile> file)
    : sheetName(QFileInfo(file->fileName()).completeBaseName()) {
    if (file->size() > MaxTextBytes)
        throw LexomatError(
            QStringLiteral("The text file is larger than %1 MiB.").arg(MaxTextBytes >> 20));
    text = Decoded(QByteArrayView(file->data(), file->size()));
    while (bodyStart < text.size() && text[bodyStart] == u'#') {
        qsizetype end = text.indexOf(u'\n', bodyStart);
        if (end < 0)
            end = text.size();
        QString line = text.sliced(bodyStart, end - bodyStart);
        if (line.endsWith(u'\r'))
            line.chop(1);
        const QRegularExpressionMatch match = HeaderLine().match(line);
        if (!match.hasMatch())
            break; // a note that begins with "#"
        ReadHeader(Key(match), match.captured(2));
        bodyStart = std::min(end + 1, text.size());
    }
}

void NoteExportReader::ReadHeader(const QString &key, const QString &value) {
    const QString name = value.trimmed().toLower();
    if (key == u"separator") {
        static const QList<std::pair<QString, QChar>> names = {
            {"tab", u'\t'},  {"comma", u','}, {"semicolon", u';'},
            {"space", u' '}, {"pipe", u'|'},  {"colon", u':'}};
        for (const auto &[separatorName, character] : names)
            if (name == separatorName) {
                separator = character;
                return;
            }
        if (value.size() != 1 || value[0] == u'"' || value[0] == u'\n' || value[0] == u'\r')
            throw LexomatError(QStringLiteral("The note export names the separator “%1”, which "
                                              "Lexomat does not know.")
                                   .arg(value));
        separator = value[0];
    } else if (key == u"html") {
        html = name == u"true";
    } else if (key.endsWith(u" column")) {
        bool ok = false;
        const int column = name.toInt(&ok);
        if (ok && column >= 1)
            otherColumns.push_back(column - 1);
    }
}

void NoteExportReader::ReadRows(
    const QString &sheet, const std::function<bool(int rowNumber, const QStringList &cells)> &row) {
    if (sheet != sheetName)
        throw LexomatError(QStringLiteral("The workbook has no sheet named “%1”.").arg(sheet));
    int rowNumber = 0;
    QStringList fields;
    QString field;
    bool quoted = false;
    bool fieldStarted = false; // a quote opens a field only as its first character
    auto endNote = [&] {
        fields.append(field);
        field.clear();
        fieldStarted = false;
        if (fields.size() == 1 && fields[0].isEmpty()) {
            fields.clear();
            return true; // an empty line is no note
        }
        QStringList cells;
        for (int column = 0; column < fields.size() && cells.size() < 2; ++column)
            if (std::find(otherColumns.begin(), otherColumns.end(), column) == otherColumns.end())
                cells << (html ? NoteHtmlToText(fields[column]) : fields[column]);
        fields.clear();
        while (!cells.isEmpty() && cells.constLast().isEmpty())
            cells.removeLast();
        return row(++rowNumber, cells);
    };
    const qsizetype size = text.size();
    for (qsizetype i = bodyStart; i < size; ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c != u'"')
                field.append(c);
            else if (i + 1 < size && text[i + 1] == u'"')
                field.append(text[++i]);
            else
                quoted = false;
        } else if (c == u'"' && !fieldStarted) {
            quoted = true;
            fieldStarted = true;
        } else if (c == separator) {
            fields.append(field);
            field.clear();
            fieldStarted = false;
        } else if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && i + 1 < size && text[i + 1] == u'\n')
                ++i;
            if (!endNote())
                return;
        } else {
            field.append(c);
            fieldStarted = true;
        }
    }
    if (!field.isEmpty() || !fields.isEmpty() || quoted)
        endNote();
}
