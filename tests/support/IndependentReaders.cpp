#include "tests/support/IndependentReaders.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace IndependentReaders {

QString Name(IndependentReader reader) {
    switch (reader) {
    case IndependentReader::Xlrd:
        return "xlrd";
    case IndependentReader::ParseExcel:
        return "parseexcel";
    case IndependentReader::Openpyxl:
        return "openpyxl";
    case IndependentReader::ParseXlsx:
        return "parsexlsx";
    case IndependentReader::PythonCsv:
        return "csv";
    }
    return {};
}

ReadBack Read(IndependentReader reader, const QString &path) {
    ReadBack result;
    const QString dir = QStringLiteral(LEXOMAT_TEST_READERS_DIR);
    const bool python = reader == IndependentReader::Xlrd ||
                        reader == IndependentReader::Openpyxl ||
                        reader == IndependentReader::PythonCsv;
    QProcess process;
    // Debian's Python modules are found by Debian's own Python only.
    process.start(python ? "/usr/bin/python3" : "/usr/bin/perl",
                  {dir + (python ? "/read_workbook.py" : "/read_workbook.pl"), Name(reader), path});
    if (!process.waitForFinished(120000) || process.exitCode() != 0) {
        result.error = Name(reader) + ": " + QString::fromUtf8(process.readAllStandardError());
        return result;
    }
    QJsonParseError parseError;
    const QJsonDocument json =
        QJsonDocument::fromJson(process.readAllStandardOutput(), &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        result.error = Name(reader) + ": " + parseError.errorString();
        return result;
    }
    for (const QJsonValue &sheet : json.object().value("sheets").toArray())
        result.sheets << sheet.toString();
    for (const QJsonValue &row : json.object().value("rows").toArray()) {
        QStringList cells;
        for (const QJsonValue &cell : row.toArray())
            cells << cell.toString();
        result.rows << cells;
    }
    return result;
}

} // namespace IndependentReaders
