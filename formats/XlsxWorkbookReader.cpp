#include "formats/XlsxWorkbookReader.h"
#include "formats/SheetRowEmitter.h"
#include "formats/WorkbookCellText.h"
#include "formats/XmlPartReader.h"
#include "formats/ZipArchive.h"
#include "platform/LexomatError.h"

#include <QUrl>

namespace {

constexpr qsizetype MaxSharedStrings = 1 << 22;

// Relationship types end alike in the transitional and the strict namespaces.
bool hasType(const QString &type, QStringView last) {
    return type.endsWith(QStringLiteral("/") + last.toString());
}

QString relationshipsPartOf(const QString &part) {
    const qsizetype slash = part.lastIndexOf(u'/');
    return part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) +
           QStringLiteral(".rels");
}

// A relationship target as a part name: absolute from the package root, or
// relative to the folder of the part that holds the relationship.
QString resolveTarget(const QString &sourcePart, const QString &target) {
    QString path = QUrl::fromPercentEncoding(target.toUtf8());
    if (!path.startsWith(u'/'))
        path = sourcePart.left(sourcePart.lastIndexOf(u'/') + 1) + path;
    QStringList resolved;
    for (const QString &segment : path.split(u'/', Qt::SkipEmptyParts)) {
        if (segment == QStringLiteral(".."))
            resolved.removeLast();
        else if (segment != QStringLiteral("."))
            resolved.append(segment);
    }
    return resolved.join(u'/');
}

// _xHHHH_ stands for the UTF-16 code unit HHHH (it lets XML carry control
// characters); _x005F_ escapes a literal underscore.
QString decodeEscapes(const QString &text) {
    if (!text.contains(QStringLiteral("_x")))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'_' && i + 6 < text.size() && text[i + 1] == u'x' && text[i + 6] == u'_') {
            bool ok = false;
            const ushort unit = text.mid(i + 2, 4).toUShort(&ok, 16);
            if (ok) {
                out.append(QChar(unit));
                i += 6;
                continue;
            }
        }
        out.append(text[i]);
    }
    return out;
}

// "AB12" gives column 28 (1-based) and row 12; false when it is no cell reference.
bool parseReference(QStringView reference, qint64 &column, qint64 &row) {
    qsizetype i = 0;
    column = 0;
    for (; i < reference.size() && reference[i].isLetter(); ++i) {
        column = column * 26 + (reference[i].toUpper().unicode() - u'A' + 1);
        if (column > 16384 || reference[i].toUpper() < u'A' || reference[i].toUpper() > u'Z')
            return false;
    }
    bool ok = false;
    row = reference.mid(i).toLongLong(&ok);
    return i > 0 && ok && row >= 1;
}

} // namespace

XlsxWorkbookReader::XlsxWorkbookReader(std::shared_ptr<const WorkbookFile> file)
    : zip(std::make_unique<ZipArchive>(std::move(file))) {
    QString workbookPart;
    const auto root = ReadRelationships(QString());
    for (const Relationship &relationship : root)
        if (hasType(relationship.type, u"officeDocument"))
            workbookPart = relationship.target;
    if (workbookPart.isEmpty() || zip->Find(workbookPart).isEmpty())
        throw LexomatError(QStringLiteral("The package holds no workbook part."));
    ReadWorkbook(workbookPart);
}

XlsxWorkbookReader::~XlsxWorkbookReader() = default;

bool XlsxWorkbookReader::IsPackage(const ZipArchive &zip) {
    return !zip.Find(QStringLiteral("_rels/.rels")).isEmpty();
}

QHash<QString, XlsxWorkbookReader::Relationship>
XlsxWorkbookReader::ReadRelationships(const QString &part) const {
    QHash<QString, Relationship> relationships;
    const QString relsPart =
        part.isEmpty() ? QStringLiteral("_rels/.rels") : relationshipsPartOf(part);
    if (zip->Find(relsPart).isEmpty())
        return relationships;
    XmlPartReader xml(*zip, zip->Find(relsPart));
    while (xml.NextStartElement()) {
        if (xml.Name() != u"Relationship" ||
            xml.Attribute(u"TargetMode").compare(u"External", Qt::CaseInsensitive) == 0)
            continue;
        relationships.insert(xml.Attribute(u"Id"), {xml.Attribute(u"Type"),
                                                    resolveTarget(part, xml.Attribute(u"Target"))});
    }
    return relationships;
}

void XlsxWorkbookReader::ReadWorkbook(const QString &workbookPart) {
    const auto relationships = ReadRelationships(workbookPart);
    for (const Relationship &relationship : relationships) {
        if (hasType(relationship.type, u"sharedStrings"))
            sharedStringsPart = relationship.target;
        else if (hasType(relationship.type, u"styles"))
            stylesPart = relationship.target;
    }
    XmlPartReader xml(*zip, zip->Find(workbookPart));
    while (xml.NextStartElement()) {
        if (xml.Name() == u"workbookPr") {
            const QString flag = xml.Attribute(u"date1904");
            date1904 = flag == u"1" || flag.compare(u"true", Qt::CaseInsensitive) == 0;
        } else if (xml.Name() == u"sheet") {
            // Chart sheets, dialog and macro sheets are listed here too: only
            // worksheets are offered.
            const auto it = relationships.constFind(xml.Attribute(u"relationships", u"id"));
            if (it != relationships.constEnd() && hasType(it->type, u"worksheet"))
                sheets.append({xml.Attribute(u"name"), it->target});
        }
    }
}

QStringList XlsxWorkbookReader::SheetNames() const {
    QStringList names;
    for (const Sheet &sheet : sheets)
        names.append(sheet.name);
    return names;
}

// The text of a shared or inline string: every <t>, rich runs joined, phonetic
// runs left out.
QString XlsxWorkbookReader::ReadStringItem(XmlPartReader &xml, QStringView element) const {
    QString text;
    while (xml.Next() != QXmlStreamReader::EndDocument) {
        if (xml.IsEnd(element))
            break;
        if (xml.IsStart(u"rPh"))
            xml.Skip();
        else if (xml.IsStart(u"t"))
            text += xml.ReadText();
    }
    return decodeEscapes(text);
}

void XlsxWorkbookReader::ReadSharedStrings() {
    if (sharedStringsPart.isEmpty() || zip->Find(sharedStringsPart).isEmpty())
        return;
    XmlPartReader xml(*zip, zip->Find(sharedStringsPart));
    while (xml.NextStartElement()) {
        if (xml.Name() != u"si")
            continue;
        // A list of millions of empty strings would cost far more memory than XML.
        if (sharedStrings.size() >= MaxSharedStrings)
            throw LexomatError(QStringLiteral("The workbook holds more than %1 shared strings.")
                                   .arg(MaxSharedStrings));
        sharedStrings.append(ReadStringItem(xml, u"si"));
    }
}

void XlsxWorkbookReader::ReadStyles() {
    if (stylesPart.isEmpty() || zip->Find(stylesPart).isEmpty())
        return;
    QHash<int, QString> formatCodes;
    XmlPartReader xml(*zip, zip->Find(stylesPart));
    while (xml.NextStartElement()) {
        if (xml.Name() == u"numFmt") {
            formatCodes.insert(xml.Attribute(u"numFmtId").toInt(), xml.Attribute(u"formatCode"));
        } else if (xml.Name() == u"cellXfs") {
            while (xml.Next() != QXmlStreamReader::EndDocument && !xml.IsEnd(u"cellXfs")) {
                if (xml.IsStart(u"xf")) {
                    const int id = xml.Attribute(u"numFmtId").toInt();
                    dateStyles.push_back(WorkbookCellText::IsDateFormat(id, formatCodes.value(id)));
                    xml.Skip();
                }
            }
        }
    }
}

// The text of the current <c> element; the reader is left at its end.
QString XlsxWorkbookReader::CellText(XmlPartReader &xml) const {
    const QString type = xml.Attribute(u"t");
    const qsizetype style = xml.Attribute(u"s").toLongLong();
    QString value;
    bool hasValue = false;
    while (xml.Next() != QXmlStreamReader::EndDocument && !xml.IsEnd(u"c")) {
        if (xml.IsStart(u"v")) {
            value = xml.ReadText();
            hasValue = true;
        } else if (xml.IsStart(u"is")) {
            value = ReadStringItem(xml, u"is");
            hasValue = true;
        } else if (xml.AtStart()) {
            xml.Skip(); // the formula and extensions
        }
    }
    if (!hasValue)
        return QString();
    if (type == u"s") {
        bool ok = false;
        const qsizetype index = value.trimmed().toLongLong(&ok);
        if (!ok || index < 0 || index >= sharedStrings.size())
            throw LexomatError(QStringLiteral("A cell refers to shared string %1, which the "
                                              "workbook does not hold.")
                                   .arg(value.left(20)));
        return sharedStrings.at(index);
    }
    if (type == u"inlineStr")
        return value;
    if (type == u"str")
        return decodeEscapes(value);
    if (type == u"b")
        return WorkbookCellText::Boolean(
            value.trimmed() == u"1" || value.trimmed().compare(u"true", Qt::CaseInsensitive) == 0);
    if (type == u"e")
        return value;
    if (type == u"d")
        return value.size() >= 10 && value[4] == u'-' ? value.left(10) : value;
    bool ok = false;
    const double number = value.trimmed().toDouble(&ok);
    if (!ok)
        return value;
    if (style >= 0 && style < qsizetype(dateStyles.size()) && dateStyles[style])
        return WorkbookCellText::Date(number, date1904);
    return WorkbookCellText::Number(number);
}

void XlsxWorkbookReader::ReadRows(
    const QString &sheetName,
    const std::function<bool(int rowNumber, const QStringList &cells)> &row) {
    QString part;
    for (const Sheet &sheet : sheets)
        if (sheet.name == sheetName)
            part = sheet.part;
    if (part.isEmpty())
        throw LexomatError(QStringLiteral("The workbook has no sheet named “%1”.").arg(sheetName));
    if (zip->Find(part).isEmpty())
        throw LexomatError(
            QStringLiteral("The sheet “%1” is missing from the workbook.").arg(sheetName));
    if (!detailsRead) {
        ReadSharedStrings();
        ReadStyles();
        detailsRead = true;
    }

    SheetRowEmitter emitter(row);
    XmlPartReader xml(*zip, zip->Find(part));
    qint64 rowNumber = 0;
    while (xml.NextStartElement()) {
        if (xml.Name() != u"row")
            continue;
        const QString r = xml.Attribute(u"r");
        rowNumber = r.isEmpty() ? rowNumber + 1 : r.toLongLong();
        if (rowNumber < 1 || rowNumber > SheetRowEmitter::MaxRows)
            throw LexomatError(QStringLiteral("The sheet “%1” has a row numbered “%2”.")
                                   .arg(sheetName, r.left(20)));
        QStringList cells;
        qint64 column = 0;
        while (xml.Next() != QXmlStreamReader::EndDocument && !xml.IsEnd(u"row")) {
            if (!xml.IsStart(u"c")) {
                if (xml.AtStart())
                    xml.Skip();
                continue;
            }
            const QString reference = xml.Attribute(u"r");
            qint64 referenceRow = rowNumber;
            if (reference.isEmpty() && ++column > 16384)
                throw LexomatError(
                    QStringLiteral("The sheet “%1” has more than 16384 columns.").arg(sheetName));
            if (!reference.isEmpty() && !parseReference(reference, column, referenceRow))
                throw LexomatError(QStringLiteral("The sheet “%1” has a cell named “%2”.")
                                       .arg(sheetName, reference.left(20)));
            const QString text = CellText(xml);
            if (text.isEmpty())
                continue;
            while (cells.size() < column)
                cells.append(QString());
            cells[column - 1] = text;
        }
        if (!emitter.Give(rowNumber, cells))
            return;
    }
}
