#include "tests/support/TestWorkbook.h"

#include <QFile>
#include <QProcess>

namespace {

QString escaped(QString text) {
    return text.replace(u'\\', QStringLiteral("\\\\"))
        .replace(u'\n', QStringLiteral("\\n"))
        .replace(u'\r', QStringLiteral("\\r"))
        .replace(u'\t', QStringLiteral("\\t"));
}

QString run(const QString &program, const QStringList &arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return program + QStringLiteral(" failed: ") +
               QString::fromUtf8(process.readAllStandardError()) + process.errorString();
    return QString();
}

} // namespace

namespace TestWorkbooks {

QString Extension(TestWorkbookWriter writer) {
    switch (writer) {
    case TestWorkbookWriter::WriteExcel:
    case TestWorkbookWriter::GnumericBiff8:
    case TestWorkbookWriter::GnumericBiff7:
    case TestWorkbookWriter::GnumericDualStream:
        return QStringLiteral(".xls");
    case TestWorkbookWriter::Odfpy:
        return QStringLiteral(".ods");
    default:
        return QStringLiteral(".xlsx");
    }
}

QString Name(TestWorkbookWriter writer) {
    switch (writer) {
    case TestWorkbookWriter::WriteExcel:
        return QStringLiteral("WriteExcel");
    case TestWorkbookWriter::ExcelWriterXlsx:
        return QStringLiteral("Excel::Writer::XLSX");
    case TestWorkbookWriter::Libxlsxwriter:
        return QStringLiteral("libxlsxwriter");
    case TestWorkbookWriter::LibxlsxwriterInline:
        return QStringLiteral("libxlsxwriter-inline");
    case TestWorkbookWriter::Odfpy:
        return QStringLiteral("odfpy");
    case TestWorkbookWriter::GnumericBiff8:
        return QStringLiteral("ssconvert-biff8");
    case TestWorkbookWriter::GnumericBiff7:
        return QStringLiteral("ssconvert-biff7");
    case TestWorkbookWriter::GnumericDualStream:
        return QStringLiteral("ssconvert-dual");
    }
    return QString();
}

QByteArray CellList(const TestWorkbook &workbook) {
    QString list;
    if (workbook.date1904)
        list += QStringLiteral("date1904\n");
    for (const TestSheet &sheet : workbook.sheets) {
        list += QStringLiteral("sheet\t%1\t%2\n").arg(escaped(sheet.name), sheet.state);
        for (const TestCell &cell : sheet.cells)
            list += QStringLiteral("%1\t%2\t%3\t%4\t%5\n")
                        .arg(cell.row)
                        .arg(cell.column)
                        .arg(cell.kind, escaped(cell.value), escaped(cell.extra));
    }
    return list.toUtf8();
}

QString Write(const TestWorkbook &workbook, TestWorkbookWriter writer, const QString &path) {
    const QString cells = path + QStringLiteral(".cells");
    QFile file(cells);
    if (!file.open(QIODevice::WriteOnly) || file.write(CellList(workbook)) < 0)
        return QStringLiteral("cannot write ") + cells;
    file.close();
    const QString writers = QStringLiteral(LEXOMAT_TEST_WRITERS_DIR);
    QString failure;
    switch (writer) {
    case TestWorkbookWriter::WriteExcel:
        failure =
            run(QStringLiteral("/usr/bin/perl"), {writers + QStringLiteral("/write_workbook.pl"),
                                                  QStringLiteral("xls"), cells, path});
        break;
    case TestWorkbookWriter::ExcelWriterXlsx:
        failure =
            run(QStringLiteral("/usr/bin/perl"), {writers + QStringLiteral("/write_workbook.pl"),
                                                  QStringLiteral("xlsx"), cells, path});
        break;
    case TestWorkbookWriter::Libxlsxwriter:
        failure = run(QStringLiteral(LEXOMAT_WRITE_XLSX), {cells, path});
        break;
    case TestWorkbookWriter::LibxlsxwriterInline:
        failure = run(QStringLiteral(LEXOMAT_WRITE_XLSX),
                      {QStringLiteral("--constant-memory"), cells, path});
        break;
    case TestWorkbookWriter::GnumericBiff8:
    case TestWorkbookWriter::GnumericBiff7:
    case TestWorkbookWriter::GnumericDualStream: {
        const QString source = path + QStringLiteral(".xlsx");
        failure = Write(workbook, TestWorkbookWriter::ExcelWriterXlsx, source);
        if (failure.isEmpty())
            failure = run(QStringLiteral("/usr/bin/ssconvert"),
                          {QStringLiteral("-T"),
                           writer == TestWorkbookWriter::GnumericBiff8
                               ? QStringLiteral("Gnumeric_Excel:excel_biff8")
                           : writer == TestWorkbookWriter::GnumericBiff7
                               ? QStringLiteral("Gnumeric_Excel:excel_biff7")
                               : QStringLiteral("Gnumeric_Excel:excel_dsf"),
                           source, path});
        QFile::remove(source);
        break;
    }
    case TestWorkbookWriter::Odfpy:
        failure = run(QStringLiteral("/usr/bin/python3"),
                      {writers + QStringLiteral("/write_ods.py"), cells, path});
        break;
    }
    QFile::remove(cells);
    return failure;
}

} // namespace TestWorkbooks
