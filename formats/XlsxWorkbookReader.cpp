#include "formats/XlsxWorkbookReader.h"
#include "formats/SheetRowEmitter.h"
#include "formats/WorkbookCellText.h"
#include "formats/XmlPartReader.h"
#include "formats/ZipArchive.h"
#include "platform/LexomatError.h"

#include <QUrl>

namespace {

constexpr qsizetype MaxSharedStrings = 1 << 22;
constexpr qsizetype MaxSheets = ZipArchive::MaxEntries;
// An _xHHHH_ escape is seven characters for one: a stored text this long cannot
// decode to a cell of allowed length.
constexpr qsizetype MaxEscapedText = 7 * (SheetRowEmitter::MaxCellText + 1);
// Attributes and numbers are short; a longer one is cut (and then refused as a cell).
constexpr qsizetype MaxValueText = SheetRowEmitter::MaxCellText + 1;

// Relationship types end alike in the transitional and the strict namespaces.
bool hasType(const QString &type, QStringView last) {
    return type.endsWith(QStringLiteral("/") + last.toString());
}

QString relationshipsPartOf(const QString &part) {
    const qsizetype slash = part.lastIndexOf(u'/');
    return part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) +
           QStringLiteral(".rels");
}

// A relationship target as a part name: absolute from the package root, or relative
// to the folder of the part that holds the relationship; "." and ".." segments taken
// away. A target that climbs above the root names nothing in the package.
QString resolveTarget(const QString &sourcePart, const QString &target) {
    QString path = QUrl::fromPercentEncoding(target.toUtf8());
    if (!path.startsWith(u'/'))
        path = sourcePart.left(sourcePart.lastIndexOf(u'/') + 1) + path;
    QStringList resolved;
    for (const QString &segment : path.split(u'/', Qt::SkipEmptyParts)) {
        if (segment == QStringLiteral("..")) {
            if (resolved.isEmpty())
                throw LexomatError(QStringLiteral("A relationship of the package points outside "
                                                  "it (“%1”).")
                                       .arg(target.left(100)));
            resolved.removeLast();
        } else if (segment != QStringLiteral(".")) {
            resolved.append(segment);
        }
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

// A cell's stored text decoded, and cut one character past what a cell may hold.
QString cellText(const QString &stored) {
    QString text = decodeEscapes(stored);
    if (text.size() > SheetRowEmitter::MaxCellText + 1)
        text.truncate(SheetRowEmitter::MaxCellText + 1);
    return text;
}

// A whole number as the tag holds it, without blanks; false when it is none (or too
// large to be a row, column or index of a workbook).
bool parseNumber(std::string_view digits, qint64 &value) {
    if (digits.empty() || digits.size() > 12)
        return false;
    qint64 number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return false;
        number = number * 10 + (c - '0');
    }
    value = number;
    return true;
}

// "AB12" gives column 28 (1-based) and row 12; false when it is no cell reference.
bool parseReference(std::string_view reference, qint64 &column, qint64 &row) {
    size_t i = 0;
    column = 0;
    for (; i < reference.size(); ++i) {
        const char c = char(reference[i] & ~0x20); // upper case
        if (c < 'A' || c > 'Z')
            break;
        column = column * 26 + (c - 'A' + 1);
        if (column > 16384)
            return false;
    }
    return i > 0 && parseNumber(reference.substr(i), row) && row >= 1;
}

} // namespace

XlsxWorkbookReader::XlsxWorkbookReader(std::shared_ptr<const WorkbookFile> file)
    : zip(std::make_unique<ZipArchive>(file)), budget(file->size()) {
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
XlsxWorkbookReader::ReadRelationships(const QString &part) {
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
        const QString id = xml.Attribute(u"Id");
        const Relationship relationship{xml.Attribute(u"Type"),
                                        resolveTarget(part, xml.Attribute(u"Target"))};
        budget.Keep(ReadBudget::TextBytes(id.size()) +
                    ReadBudget::TextBytes(relationship.type.size()) +
                    ReadBudget::TextBytes(relationship.target.size()));
        relationships.insert(id, relationship);
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
            if (it == relationships.constEnd() || !hasType(it->type, u"worksheet"))
                continue;
            if (sheets.size() >= MaxSheets)
                throw LexomatError(
                    QStringLiteral("The workbook lists more than %1 sheets.").arg(MaxSheets));
            const QString name = xml.Attribute(u"name");
            budget.Keep(ReadBudget::TextBytes(name.size()) +
                        ReadBudget::TextBytes(it->target.size()));
            sheets.append({name, it->target});
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
// runs left out; cut one character past what a cell may hold.
QString XlsxWorkbookReader::ReadStringItem(XmlPartReader &xml, QStringView element) const {
    QString text;
    while (xml.Next() != QXmlStreamReader::EndDocument) {
        if (xml.IsEnd(element))
            break;
        if (xml.IsStart(u"rPh"))
            xml.Skip();
        else if (xml.IsStart(u"t"))
            text += xml.ReadText(MaxEscapedText - text.size());
    }
    return cellText(text);
}

void XlsxWorkbookReader::ReadSharedStrings() {
    if (sharedStringsPart.isEmpty() || zip->Find(sharedStringsPart).isEmpty())
        return;
    XmlPartReader xml(*zip, zip->Find(sharedStringsPart));
    while (xml.NextStartElement()) {
        if (xml.Name() != u"si")
            continue;
        if (sharedStrings.size() >= MaxSharedStrings)
            throw LexomatError(QStringLiteral("The workbook holds more than %1 shared strings.")
                                   .arg(MaxSharedStrings));
        sharedStrings.append(ReadStringItem(xml, u"si"));
        budget.Keep(ReadBudget::TextBytes(sharedStrings.constLast().size()));
    }
}

void XlsxWorkbookReader::ReadStyles() {
    if (stylesPart.isEmpty() || zip->Find(stylesPart).isEmpty())
        return;
    QHash<int, QString> formatCodes;
    XmlPartReader xml(*zip, zip->Find(stylesPart));
    while (xml.NextStartElement()) {
        if (xml.Name() == u"numFmt") {
            const QString code = xml.Attribute(u"formatCode");
            budget.Keep(ReadBudget::TextBytes(code.size()));
            formatCodes.insert(xml.Attribute(u"numFmtId").toInt(), code);
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
    // Copied: the tag's bytes are gone once the reader moves on.
    const std::string type(xml.RawAttribute("t"));
    qint64 style = 0;
    parseNumber(xml.RawAttribute("s"), style);
    QString value;
    bool hasValue = false;
    while (xml.Next() != QXmlStreamReader::EndDocument && !xml.IsEnd(u"c")) {
        if (xml.IsStart(u"v")) {
            value = xml.ReadText(type == "str" ? MaxEscapedText : MaxValueText);
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
    if (type == "s") {
        bool ok = false;
        const qsizetype index = value.trimmed().toLongLong(&ok);
        if (!ok || index < 0 || index >= sharedStrings.size())
            throw LexomatError(QStringLiteral("A cell refers to shared string %1, which the "
                                              "workbook does not hold.")
                                   .arg(value.left(20)));
        return sharedStrings.at(index);
    }
    if (type == "inlineStr")
        return value;
    if (type == "str")
        return cellText(value);
    if (type == "b")
        return WorkbookCellText::Boolean(
            value.trimmed() == u"1" || value.trimmed().compare(u"true", Qt::CaseInsensitive) == 0);
    if (type == "e")
        return value;
    if (type == "d")
        return value.size() >= 10 && value[4] == u'-' ? value.left(10) : value;
    bool ok = false;
    const double number = value.trimmed().toDouble(&ok);
    if (!ok)
        return value;
    if (style >= 0 && style < qsizetype(dateStyles.size()) && dateStyles[style])
        return WorkbookCellText::Date(number, date1904);
    return WorkbookCellText::Number(number);
}

// The current <c> element: its column (1-based, counted on from the cell before when
// it has no reference) and, in a kept column, its text.
void XlsxWorkbookReader::ReadCell(XmlPartReader &xml, const QString &sheetName, qint64 &column,
                                  SheetRow &row) {
    const std::string_view reference = xml.RawAttribute("r");
    qint64 referenceRow = 0;
    if (reference.empty() && ++column > 16384)
        throw LexomatError(
            QStringLiteral("The sheet “%1” has more than 16384 columns.").arg(sheetName));
    if (!reference.empty() && !parseReference(reference, column, referenceRow))
        throw LexomatError(QStringLiteral("The sheet “%1” has a cell named “%2”.")
                               .arg(sheetName, QString::fromUtf8(reference.substr(0, 20))));
    if (!SheetRow::Keeps(column - 1)) {
        xml.Skip();
        return;
    }
    const QString text = CellText(xml);
    if (!text.isEmpty())
        row.Put(column - 1, text);
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

    SheetRowEmitter emitter(row, budget, sheetName);
    XmlPartReader xml(*zip, zip->Find(part));
    qint64 rowNumber = 0;
    while (xml.NextStartElement()) {
        if (xml.Name() != u"row")
            continue;
        const std::string_view r = xml.RawAttribute("r");
        if (r.empty())
            ++rowNumber;
        else if (!parseNumber(r, rowNumber))
            rowNumber = 0;
        if (rowNumber < 1 || rowNumber > SheetRowEmitter::MaxRows)
            throw LexomatError(QStringLiteral("The sheet “%1” has a row numbered “%2”.")
                                   .arg(sheetName, QString::fromUtf8(r.substr(0, 20))));
        SheetRow cells;
        qint64 column = 0;
        while (xml.Next() != QXmlStreamReader::EndDocument && !xml.IsEnd(u"row")) {
            if (xml.IsStart(u"c"))
                ReadCell(xml, sheetName, column, cells);
            else if (xml.AtStart())
                xml.Skip();
        }
        if (!emitter.Give(rowNumber, cells))
            return;
    }
}
