#include "formats/SpreadsheetXmlText.h"
#include "formats/WorkbookWriter.h"
#include "formats/ZipWriter.h"
#include "platform/LexomatError.h"

#include <QDateTime>
#include <QFile>
#include <algorithm>
#include <string>

// The package is written part by part through our own zip writer, the sheet streamed
// with inline strings, so that a million rows take little memory and the compression
// runs on every core.
namespace {
constexpr int LinePoints = 15;
constexpr int MaxRowPoints = 409;

const char *const ContentTypes =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    "\n"
    R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
    R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
    R"(<Default Extension="xml" ContentType="application/xml"/>)"
    R"(<Override PartName="/docProps/app.xml" ContentType="application/vnd.openxmlformats-officedocument.extended-properties+xml"/>)"
    R"(<Override PartName="/docProps/core.xml" ContentType="application/vnd.openxmlformats-package.core-properties+xml"/>)"
    R"(<Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/>)"
    R"(<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>)"
    R"(<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>)"
    R"(</Types>)";

const char *const PackageRelationships =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    "\n"
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>)"
    R"(<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties" Target="docProps/core.xml"/>)"
    R"(<Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties" Target="docProps/app.xml"/>)"
    R"(</Relationships>)";

const char *const WorkbookRelationships =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    "\n"
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>)"
    R"(<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>)"
    R"(</Relationships>)";

// Style 1 wraps the definitions' text.
const char *const Styles =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    "\n"
    R"(<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
    R"(<fonts count="1"><font><sz val="11"/><name val="Calibri"/><family val="2"/></font></fonts>)"
    R"(<fills count="2"><fill><patternFill patternType="none"/></fill><fill><patternFill patternType="gray125"/></fill></fills>)"
    R"(<borders count="1"><border><left/><right/><top/><bottom/><diagonal/></border></borders>)"
    R"(<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>)"
    R"(<cellXfs count="2"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/>)"
    R"(<xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0" applyAlignment="1"><alignment wrapText="1"/></xf></cellXfs>)"
    R"(<cellStyles count="1"><cellStyle name="Normal" xfId="0" builtinId="0"/></cellStyles>)"
    R"(</styleSheet>)";

const char *const SheetStart =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    "\n"
    R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
    R"(<sheetViews><sheetView tabSelected="1" workbookViewId="0"/></sheetViews>)"
    R"(<sheetFormatPr defaultRowHeight="15"/>)"
    R"(<cols><col min="1" max="1" width="30.7109375" customWidth="1"/>)"
    R"(<col min="2" max="2" width="80.7109375" style="1" customWidth="1"/></cols>)"
    R"(<sheetData>)";

const char *const SheetEnd =
    R"(</sheetData><pageMargins left="0.7" right="0.7" top="0.75" bottom="0.75" header="0.3" footer="0.3"/></worksheet>)";

std::string Workbook(const QString &sheetName) {
    std::string xml =
        R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
        "\n"
        R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
        R"(<bookViews><workbookView/></bookViews><sheets><sheet name=")";
    const QByteArray name = sheetName.toUtf8();
    SpreadsheetXmlText::Append(xml, std::string_view(name.constData(), size_t(name.size())));
    xml += R"(" sheetId="1" r:id="rId1"/></sheets></workbook>)";
    return xml;
}

std::string AppProperties() {
    return R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
           "\n"
           R"(<Properties xmlns="http://schemas.openxmlformats.org/officeDocument/2006/extended-properties">)"
           R"(<Application>Lexomat</Application></Properties>)";
}

std::string CoreProperties() {
    const std::string now = QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toStdString();
    return R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
           "\n"
           R"(<cp:coreProperties xmlns:cp="http://schemas.openxmlformats.org/package/2006/metadata/core-properties" )"
           R"(xmlns:dc="http://purl.org/dc/elements/1.1/" xmlns:dcterms="http://purl.org/dc/terms/" )"
           R"(xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">)"
           R"(<dc:creator>Lexomat</dc:creator>)"
           R"(<dcterms:created xsi:type="dcterms:W3CDTF">)" +
           now + R"(</dcterms:created><dcterms:modified xsi:type="dcterms:W3CDTF">)" + now +
           R"(</dcterms:modified></cp:coreProperties>)";
}

class XlsxWriter : public WorkbookWriter {
public:
    XlsxWriter(const QString &path, const QString &sheetName)
        : path(path), sheetName(sheetName), zip(path) {
        zip.Begin(QStringLiteral("xl/worksheets/sheet1.xml"));
        rows.reserve(size_t(1) << 17);
        rows += SheetStart;
    }

    ~XlsxWriter() override {
        if (!finished)
            QFile::remove(path); // unfinished: nothing is left behind
    }

    int MaxRows() const override { return XlsxMaxRows; }

    void AddRow(std::string_view a, std::string_view b) override {
        if (row >= XlsxMaxRows)
            throw LexomatError(
                QString("An Excel workbook holds at most %1 rows.").arg(XlsxMaxRows));
        ++row;
        const std::string number = std::to_string(row);
        const int lines = 1 + int(std::count(a.begin(), a.end(), '\n')) +
                          int(std::count(b.begin(), b.end(), '\n'));
        rows += "<row r=\"";
        rows += number;
        if (lines > 1) {
            rows += "\" ht=\"";
            rows += std::to_string(std::min(MaxRowPoints, lines * LinePoints));
            rows += "\" customHeight=\"1";
        }
        rows += "\">";
        AddCell('A', number, a, false);
        AddCell('B', number, b, true);
        rows += "</row>";
        if (rows.size() >= (size_t(1) << 16)) {
            zip.Write(rows);
            rows.clear();
        }
    }

    void Finish() override {
        rows += SheetEnd;
        zip.Write(rows);
        zip.End();
        zip.Add(QStringLiteral("[Content_Types].xml"), ContentTypes);
        zip.Add(QStringLiteral("_rels/.rels"), PackageRelationships);
        zip.Add(QStringLiteral("docProps/app.xml"), AppProperties());
        zip.Add(QStringLiteral("docProps/core.xml"), CoreProperties());
        zip.Add(QStringLiteral("xl/workbook.xml"), Workbook(sheetName));
        zip.Add(QStringLiteral("xl/_rels/workbook.xml.rels"), WorkbookRelationships);
        zip.Add(QStringLiteral("xl/styles.xml"), Styles);
        zip.Finish();
        finished = true;
    }

private:
    void AddCell(char column, const std::string &number, std::string_view text, bool wrap) {
        if (text.empty())
            return;
        rows += "<c r=\"";
        rows += column;
        rows += number;
        rows += wrap ? "\" s=\"1\" t=\"inlineStr\"><is><t" : "\" t=\"inlineStr\"><is><t";
        if (SpreadsheetXmlText::NeedsSpacePreserved(text))
            rows += " xml:space=\"preserve\"";
        rows += '>';
        SpreadsheetXmlText::Append(rows, text);
        rows += "</t></is></c>";
    }

    QString path;
    QString sheetName;
    ZipWriter zip;
    std::string rows;
    int row = 0;
    bool finished = false;
};
} // namespace

std::unique_ptr<WorkbookWriter> CreateXlsxWriter(const QString &path, const QString &sheetName) {
    return std::make_unique<XlsxWriter>(path, sheetName);
}
