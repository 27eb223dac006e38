#include "formats/CsvWorkbookReader.h"
#include "formats/SheetRowEmitter.h"
#include "formats/Windows1252.h"
#include "platform/LexomatError.h"

#include <QFileInfo>
#include <QStringDecoder>
#include <cstring>
#include <optional>

namespace {
constexpr qint64 MaxTextBytes = qint64(256) << 20; // as for one part of a zipped workbook
constexpr qsizetype PieceBytes = 1 << 20;
} // namespace

// The file's text a piece at a time: each piece decoded from at most PieceBytes
// bytes, characters cut between two pieces joined again.
class CsvWorkbookReader::Pieces {
public:
    Pieces(QByteArrayView bytes, Encoding encoding) : bytes(bytes) {
        if (encoding != Encoding::Windows1252)
            decoder.emplace(encoding == Encoding::Utf8      ? QStringConverter::Utf8
                            : encoding == Encoding::Utf16LE ? QStringConverter::Utf16LE
                                                            : QStringConverter::Utf16BE);
    }
    // The next piece; empty at the end.
    QString Next() {
        QString piece;
        while (piece.isEmpty() && at < bytes.size()) {
            const QByteArrayView next = bytes.sliced(at, qMin(PieceBytes, bytes.size() - at));
            at += next.size();
            piece = decoder ? (*decoder)(next) : Windows1252::Decode(next);
        }
        return piece;
    }

private:
    QByteArrayView bytes;
    std::optional<QStringDecoder> decoder; // none for Windows-1252
    qsizetype at = 0;
};

bool CsvWorkbookReader::HasTextExtension(const QString &fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    return suffix == u"csv" || suffix == u"tsv" || suffix == u"tab" || suffix == u"txt";
}

CsvWorkbookReader::CsvWorkbookReader(std::shared_ptr<const WorkbookFile> textFile)
    : file(std::move(textFile)), budget(file->size()),
      sheetName(QFileInfo(file->fileName()).completeBaseName()) {
    if (file->size() > MaxTextBytes)
        throw LexomatError(
            QStringLiteral("The text file is larger than %1 MiB.").arg(MaxTextBytes >> 20));
    const QByteArrayView bytes(file->data(), file->size());
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        textStart = 3;
    } else if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        encoding = bytes.startsWith("\xFF\xFE") ? Encoding::Utf16LE : Encoding::Utf16BE;
        textStart = 2;
    } else {
        if (std::memchr(bytes.data(), '\0', bytes.size()))
            throw LexomatError(QStringLiteral("The file is neither a workbook nor a text list."));
        // Text saved by older programs in the Western code page: keep every byte.
        if (!Windows1252::IsUtf8(bytes))
            encoding = Encoding::Windows1252;
    }
}

QStringList CsvWorkbookReader::SheetNames() const {
    return {sheetName};
}

// Tabs in a .tsv; otherwise the first line tells: commas, else semicolons (as
// spreadsheets in many countries save .csv), else tabs. Separators inside quotes
// do not count.
QChar CsvWorkbookReader::DetectSeparator(const QString &start) const {
    if (QFileInfo(file->fileName()).suffix().compare(u"tsv", Qt::CaseInsensitive) == 0 ||
        QFileInfo(file->fileName()).suffix().compare(u"tab", Qt::CaseInsensitive) == 0)
        return u'\t';
    int commas = 0, semicolons = 0, tabs = 0;
    bool quoted = false;
    for (const QChar c : start) {
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
    Pieces pieces(QByteArrayView(file->data(), file->size()).sliced(textStart), encoding);
    QString piece = pieces.Next();
    const QChar separator = DetectSeparator(piece);
    SheetRowEmitter emitter(row, budget, sheetName);
    qint64 rowNumber = 0;
    SheetRow cells;
    qint64 column = 0;
    QString field;
    bool quoted = false;
    bool quoteInQuotes = false; // a quote inside quotes: doubled, or the closing one
    bool fieldStarted = false;  // a quote opens a field only as its first character
    bool afterCarriageReturn = false;
    auto endField = [&] {
        cells.Put(column, field);
        field.clear();
        fieldStarted = false;
        ++column;
    };
    auto endRecord = [&] {
        endField();
        if (++rowNumber > SheetRowEmitter::MaxRows)
            throw LexomatError(QStringLiteral("The text list has more than %1 rows.")
                                   .arg(SheetRowEmitter::MaxRows));
        const bool more = emitter.Give(rowNumber, cells);
        cells.Clear();
        column = 0;
        return more;
    };
    for (; !piece.isEmpty(); piece = pieces.Next()) {
        for (const QChar c : std::as_const(piece)) {
            if (afterCarriageReturn) {
                afterCarriageReturn = false;
                if (c == u'\n')
                    continue; // CRLF ends one record
            }
            if (quoteInQuotes) {
                quoteInQuotes = false;
                if (c == u'"') {
                    if (SheetRow::Keeps(column))
                        SheetRowEmitter::CappedAppend(field, QStringView(&c, 1));
                    continue;
                }
                quoted = false; // that quote closed the field; c is read as outside quotes
            }
            if (quoted) {
                if (c == u'"')
                    quoteInQuotes = true;
                else if (SheetRow::Keeps(column))
                    SheetRowEmitter::CappedAppend(field, QStringView(&c, 1));
            } else if (c == u'"' && !fieldStarted) {
                quoted = true;
                fieldStarted = true;
            } else if (c == separator) {
                endField();
            } else if (c == u'\n' || c == u'\r') {
                afterCarriageReturn = c == u'\r';
                if (!endRecord())
                    return;
            } else {
                if (SheetRow::Keeps(column))
                    SheetRowEmitter::CappedAppend(field, QStringView(&c, 1));
                fieldStarted = true;
            }
        }
    }
    if (!field.isEmpty() || column > 0 || (quoted && !quoteInQuotes))
        endRecord();
}
