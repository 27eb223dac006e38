#include "formats/CsvWorkbookReader.h"
#include "formats/SheetRowEmitter.h"
#include "platform/LexomatError.h"

#include <QFileInfo>
#include <QStringDecoder>
#include <cstring>

namespace {
constexpr qint64 MaxTextBytes = qint64(256) << 20; // as for one part of a zipped workbook
}

bool CsvWorkbookReader::HasTextExtension(const QString &fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    return suffix == u"csv" || suffix == u"tsv" || suffix == u"tab" || suffix == u"txt";
}

CsvWorkbookReader::CsvWorkbookReader(std::shared_ptr<const WorkbookFile> textFile)
    : file(std::move(textFile)), sheetName(QFileInfo(file->fileName()).completeBaseName()) {
    if (file->size() > MaxTextBytes)
        throw LexomatError(
            QStringLiteral("The text file is larger than %1 MiB.").arg(MaxTextBytes >> 20));
    const QByteArrayView bytes(file->data(), file->size());
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        text = QString::fromUtf8(bytes.sliced(3));
    } else if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(bytes.startsWith("\xFF\xFE") ? QStringConverter::Utf16LE
                                                            : QStringConverter::Utf16BE);
        text = decoder(bytes.sliced(2));
    } else {
        if (std::memchr(bytes.data(), '\0', bytes.size()))
            throw LexomatError(QStringLiteral("The file is neither a workbook nor a text list."));
        QStringDecoder utf8(QStringConverter::Utf8);
        text = utf8(bytes);
        // Text saved by older programs in a single-byte code page: keep every byte.
        if (utf8.hasError())
            text = QString::fromLatin1(bytes);
    }
}

QStringList CsvWorkbookReader::SheetNames() const {
    return {sheetName};
}

// Tabs in a .tsv; otherwise the first line tells: commas, else semicolons (as
// spreadsheets in many countries save .csv), else tabs.
QChar CsvWorkbookReader::DetectSeparator() const {
    if (QFileInfo(file->fileName()).suffix().compare(u"tsv", Qt::CaseInsensitive) == 0 ||
        QFileInfo(file->fileName()).suffix().compare(u"tab", Qt::CaseInsensitive) == 0)
        return u'\t';
    int commas = 0, semicolons = 0, tabs = 0;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == u'"')
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == u'\n' || c == u'\r')
            break;
        commas += c == u',';
        semicolons += c == u';';
        tabs += c == u'\t';
    }
    if (commas > 0)
        return u',';
    if (semicolons > 0)
        return u';';
    return tabs > 0 ? u'\t' : u',';
}

void CsvWorkbookReader::ReadRows(
    const QString &sheet, const std::function<bool(int rowNumber, const QStringList &cells)> &row) {
    if (sheet != sheetName)
        throw LexomatError(QStringLiteral("The workbook has no sheet named “%1”.").arg(sheet));
    const QChar separator = DetectSeparator();
    SheetRowEmitter emitter(row);
    qint64 rowNumber = 0;
    QStringList fields;
    QString field;
    bool quoted = false;
    bool fieldStarted = false; // a quote opens a field only as its first character
    const qsizetype size = text.size();
    auto endRecord = [&] {
        fields.append(field);
        field.clear();
        fieldStarted = false;
        if (++rowNumber > SheetRowEmitter::MaxRows)
            throw LexomatError(QStringLiteral("The text list has more than %1 rows.")
                                   .arg(SheetRowEmitter::MaxRows));
        const bool more = emitter.Give(rowNumber, fields);
        fields.clear();
        return more;
    };
    for (qsizetype i = 0; i < size; ++i) {
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
            if (!endRecord())
                return;
        } else {
            field.append(c);
            fieldStarted = true;
        }
    }
    if (!field.isEmpty() || !fields.isEmpty() || quoted)
        endRecord();
}
