#include "tests/formats/CraftedWorkbook.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryFile>

namespace CraftedWorkbook {

namespace {
const QByteArray Main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const QByteArray Relationships =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const QByteArray PackageRelationships =
    "http://schemas.openxmlformats.org/package/2006/relationships";
} // namespace

Parts Xlsx(const QByteArray &rows, const QByteArray &sharedStrings, bool date1904,
           const QByteArray &cellFormats) {
    Parts parts;
    parts.append(Part{"[Content_Types].xml",
                      "<?xml version=\"1.0\"?><Types xmlns=\"http://schemas.openxmlformats.org/"
                      "package/2006/content-types\"><Default Extension=\"xml\" "
                      "ContentType=\"application/xml\"/></Types>"});
    parts.append(Part{"_rels/.rels", "<?xml version=\"1.0\"?><Relationships xmlns=\"" +
                                         PackageRelationships +
                                         "\"><Relationship Id=\"rId1\" Type=\"" + Relationships +
                                         "/officeDocument\" Target=\"xl/workbook.xml\"/>"
                                         "</Relationships>"});
    parts.append(Part{"xl/workbook.xml",
                      "<?xml version=\"1.0\"?><workbook xmlns=\"" + Main + "\" xmlns:r=\"" +
                          Relationships + "\"><workbookPr date1904=\"" + (date1904 ? "1" : "0") +
                          "\"/><sheets><sheet name=\"Sheet1\" sheetId=\"1\" r:id=\"rId1\"/>"
                          "</sheets></workbook>"});
    QByteArray links = "<Relationship Id=\"rId1\" Type=\"" + Relationships +
                       "/worksheet\" Target=\"worksheets/sheet1.xml\"/>";
    if (!sharedStrings.isEmpty()) {
        links += "<Relationship Id=\"rId2\" Type=\"" + Relationships +
                 "/sharedStrings\" Target=\"sharedStrings.xml\"/>";
        parts.append(Part{"xl/sharedStrings.xml", "<?xml version=\"1.0\"?><sst xmlns=\"" + Main +
                                                      "\">" + sharedStrings + "</sst>"});
    }
    if (!cellFormats.isEmpty()) {
        links += "<Relationship Id=\"rId3\" Type=\"" + Relationships +
                 "/styles\" Target=\"styles.xml\"/>";
        parts.append(Part{"xl/styles.xml", "<?xml version=\"1.0\"?><styleSheet xmlns=\"" + Main +
                                               "\"><cellXfs>" + cellFormats +
                                               "</cellXfs></styleSheet>"});
    }
    parts.append(Part{"xl/_rels/workbook.xml.rels",
                      "<?xml version=\"1.0\"?><Relationships xmlns=\"" + PackageRelationships +
                          "\">" + links + "</Relationships>"});
    parts.append(Part{"xl/worksheets/sheet1.xml", "<?xml version=\"1.0\"?><worksheet xmlns=\"" +
                                                      Main + "\"><sheetData>" + rows +
                                                      "</sheetData></worksheet>"});
    return parts;
}

Parts Ods(const QByteArray &rows) {
    return {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
            {"content.xml",
             "<?xml version=\"1.0\"?><office:document-content "
             "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
             "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
             "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body>"
             "<office:spreadsheet><table:table table:name=\"Sheet1\">" +
                 rows +
                 "</table:table></office:spreadsheet></office:body>"
                 "</office:document-content>"}};
}

void Put(Parts &parts, const QString &name, const QByteArray &content) {
    for (Part &part : parts)
        if (part.name == name) {
            part.content = content;
            return;
        }
    parts.append(Part{name, content});
}

QString Write(const QString &path, const Parts &parts, const QHash<QString, int> &sizeDelta) {
    QJsonArray list;
    for (const Part &part : parts)
        list.append(QJsonArray{part.name, QString::fromLatin1(part.content.toBase64())});
    QJsonObject deltas;
    for (auto it = sizeDelta.cbegin(); it != sizeDelta.cend(); ++it)
        deltas.insert(it.key(), it.value());
    QTemporaryFile layout;
    if (!layout.open())
        return "no room for the part list";
    layout.write(QJsonDocument(QJsonObject{{"parts", list}, {"sizeDelta", deltas}}).toJson());
    layout.flush();
    QProcess python;
    python.start("/usr/bin/python3", {QStringLiteral(LEXOMAT_FORMATS_TESTS_DIR "/zip_parts.py"),
                                      layout.fileName(), path});
    if (!python.waitForFinished(60000) || python.exitCode() != 0)
        return "zip_parts.py failed: " + QString::fromUtf8(python.readAllStandardError());
    return {};
}

} // namespace CraftedWorkbook
