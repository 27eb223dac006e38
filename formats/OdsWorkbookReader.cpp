#include "formats/OdsWorkbookReader.h"
#include "formats/SheetRowEmitter.h"
#include "formats/WorkbookCellText.h"
#include "formats/XmlPartReader.h"
#include "formats/ZipArchive.h"
#include "platform/LexomatError.h"

namespace {

constexpr qint64 MaxColumns = 16384;
constexpr qsizetype MaxSheets = 10000;
// A cell's text is gathered one character past what a cell may hold, no further.
constexpr qsizetype CellRoom = SheetRowEmitter::MaxCellText + 1;
const QString MimeType = QStringLiteral("application/vnd.oasis.opendocument.spreadsheet");

// A repeat count, capped far above any sheet's size so that sums cannot overflow.
qint64 repeated(const XmlPartReader &xml, QStringView attribute) {
    bool ok = false;
    const qint64 count = xml.Attribute(attribute).toLongLong(&ok);
    return ok && count > 0 ? qMin<qint64>(count, qint64(1) << 30) : 1;
}

} // namespace

OdsWorkbookReader::OdsWorkbookReader(std::shared_ptr<const WorkbookFile> file)
    : zip(std::make_unique<ZipArchive>(file)), budget(file->size()) {
    contentPart = zip->Find(QStringLiteral("content.xml"));
    if (contentPart.isEmpty())
        throw LexomatError(QStringLiteral("The spreadsheet has no content part."));
    XmlPartReader xml(*zip, contentPart);
    while (xml.NextStartElement()) {
        if (xml.Name() == u"table") {
            if (sheets.size() >= MaxSheets)
                throw LexomatError(
                    QStringLiteral("The spreadsheet holds more than %1 sheets.").arg(MaxSheets));
            sheets.append(xml.Attribute(u"name"));
            budget.Keep(ReadBudget::TextBytes(sheets.constLast().size()));
            xml.Skip();
        }
    }
}

OdsWorkbookReader::~OdsWorkbookReader() = default;

bool OdsWorkbookReader::IsSpreadsheet(const ZipArchive &zip) {
    const QString mimeType = zip.Find(QStringLiteral("mimetype"));
    if (!mimeType.isEmpty())
        return zip.ReadAll(mimeType, 256).trimmed() == MimeType.toLatin1();
    return !zip.Find(QStringLiteral("content.xml")).isEmpty();
}

QStringList OdsWorkbookReader::SheetNames() const {
    return sheets;
}

// One paragraph: its characters, spaces and tabs given as elements, line breaks;
// notes and annotations are not part of the cell's text. At most `room` characters
// are gathered, the rest is read past.
QString OdsWorkbookReader::ParagraphText(XmlPartReader &xml, qsizetype room) const {
    QString text;
    bool collapsing = false;
    auto add = [&](QChar c, qint64 count) {
        if (text.size() < room)
            text += QString(qMin<qint64>(count, room - text.size()), c);
    };
    for (int depth = 1; depth > 0;) {
        const QXmlStreamReader::TokenType token = xml.Next();
        if (token != QXmlStreamReader::Characters)
            collapsing = false;
        switch (token) {
        case QXmlStreamReader::StartElement:
            if (xml.Name() == u"s") {
                add(u' ', repeated(xml, u"c"));
                xml.Skip();
            } else if (xml.Name() == u"tab") {
                add(u'\t', 1);
                xml.Skip();
            } else if (xml.Name() == u"line-break") {
                add(u'\n', 1);
                xml.Skip();
            } else if (xml.Name() == u"annotation" || xml.Name() == u"note") {
                xml.Skip();
            } else {
                ++depth; // spans, links and the like: their text counts
            }
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        case QXmlStreamReader::Characters:
            // Runs of white space in the XML stand for one space; real runs of
            // spaces, tabs and breaks come as the elements above.
            for (const QChar c : xml.Text()) {
                if (text.size() >= room)
                    break;
                const bool space = c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
                if (!space)
                    text += c;
                else if (!collapsing)
                    text += u' ';
                collapsing = space;
            }
            break;
        default:
            break;
        }
    }
    return text;
}

// The text of the current table-cell, which is left at its end.
QString OdsWorkbookReader::CellText(XmlPartReader &xml) const {
    const QString type =
        xml.Attribute(u"urn:oasis:names:tc:opendocument:xmlns:office", u"value-type");
    QString value;
    if (type == u"float" || type == u"percentage" || type == u"currency") {
        bool ok = false;
        const double number = xml.Attribute(u"office", u"value").toDouble(&ok);
        if (ok)
            value = WorkbookCellText::Number(number);
    } else if (type == u"date") {
        value = xml.Attribute(u"office", u"date-value");
        if (value.size() >= 10 && value[4] == u'-')
            value = value.left(10);
    } else if (type == u"boolean") {
        value = WorkbookCellText::Boolean(xml.Attribute(u"office", u"boolean-value") == u"true");
    } else if (type == u"string") {
        value = xml.Attribute(u"office", u"string-value").left(CellRoom);
    }
    QString paragraphs;
    bool first = true;
    while (xml.Next() != QXmlStreamReader::EndDocument && !xml.IsEnd(u"table-cell") &&
           !xml.IsEnd(u"covered-table-cell")) {
        if (xml.IsStart(u"p") || xml.IsStart(u"h")) {
            if (!first && paragraphs.size() < CellRoom)
                paragraphs += u'\n';
            first = false;
            paragraphs += ParagraphText(xml, CellRoom - paragraphs.size());
        } else if (xml.AtStart()) {
            xml.Skip(); // annotations, nested tables, drawings
        }
    }
    // The typed value wins; texts, times and values without a type read as shown.
    return value.isEmpty() ? paragraphs : value;
}

// The kept cells of the current table-row: a cell is read only when it lies in
// column A or B, however many repeated cells come before it.
SheetRow OdsWorkbookReader::ReadCells(XmlPartReader &xml) const {
    SheetRow cells;
    qint64 column = 0; // 0-based column of the next cell
    while (xml.Next() != QXmlStreamReader::EndDocument && !xml.IsEnd(u"table-row")) {
        if (!xml.IsStart(u"table-cell") && !xml.IsStart(u"covered-table-cell")) {
            if (xml.AtStart())
                xml.Skip();
            continue;
        }
        const qint64 count = repeated(xml, u"number-columns-repeated");
        if (!SheetRow::Keeps(column)) {
            xml.Skip();
        } else {
            const QString text = CellText(xml);
            for (qint64 i = 0; i < count && SheetRow::Keeps(column + i); ++i)
                cells.Put(column + i, text);
        }
        column = qMin(column + count, MaxColumns);
    }
    return cells;
}

void OdsWorkbookReader::ReadRows(
    const QString &sheet, const std::function<bool(int rowNumber, const QStringList &cells)> &row) {
    if (!sheets.contains(sheet))
        throw LexomatError(QStringLiteral("The workbook has no sheet named “%1”.").arg(sheet));
    XmlPartReader xml(*zip, contentPart);
    while (xml.NextStartElement())
        if (xml.Name() == u"table" && xml.Attribute(u"name") == sheet)
            break;
    SheetRowEmitter emitter(row, budget, sheet);
    qint64 rowNumber = 0;
    while (xml.Next() != QXmlStreamReader::EndDocument && !xml.IsEnd(u"table")) {
        if (!xml.IsStart(u"table-row"))
            continue; // row groups and header rows hold rows too
        const qint64 count = repeated(xml, u"number-rows-repeated");
        const SheetRow cells = ReadCells(xml);
        if (cells.IsEmpty()) {
            rowNumber += count;
            if (rowNumber >= SheetRowEmitter::MaxRows)
                return; // nothing can follow on this sheet
            continue;
        }
        for (qint64 i = 0; i < count; ++i) {
            if (++rowNumber > SheetRowEmitter::MaxRows || !emitter.Give(rowNumber, cells))
                return;
        }
    }
}
