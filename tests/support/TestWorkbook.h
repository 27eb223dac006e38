#pragma once

#include <QList>
#include <QString>

// Workbooks for tests, written at test time by independent writers from one cell
// list, so that every reader meets the same content as each writer stores it.
struct TestCell {
    int row = 0; // 0-based
    int column = 0;
    QString kind; // s, n, date (yyyy-mm-dd), b (0/1), f (formula; extra: its value), rich
    QString value;
    QString extra;
};

struct TestSheet {
    QString name;
    QString state = QStringLiteral("visible"); // visible, hidden or chart
    QList<TestCell> cells;                     // in row order
};

struct TestWorkbook {
    bool date1904 = false;
    QList<TestSheet> sheets;
};

enum class TestWorkbookWriter {
    WriteExcel,          // Perl Spreadsheet::WriteExcel, .xls (BIFF8)
    ExcelWriterXlsx,     // Perl Excel::Writer::XLSX, .xlsx
    Libxlsxwriter,       // libxlsxwriter, .xlsx with shared strings
    LibxlsxwriterInline, // libxlsxwriter in constant-memory mode, inline strings
    Odfpy,               // Python odfpy, .ods
    GnumericBiff8,       // ssconvert, Excel 97 .xls (numbers as RK, booleans as BOOLERR)
    GnumericBiff7,       // gnumeric's ssconvert, Excel 5/95 .xls (from an .xlsx)
    GnumericDualStream,  // ssconvert, .xls with both an Excel 97 and an Excel 95 stream
};

namespace TestWorkbooks {
// The file extension a writer's files carry.
QString Extension(TestWorkbookWriter writer);
QString Name(TestWorkbookWriter writer);
// Writes the workbook to path; returns an empty text, or what went wrong.
QString Write(const TestWorkbook &workbook, TestWorkbookWriter writer, const QString &path);
// The cell list the writers read (see support/writers/write_workbook.pl).
QByteArray CellList(const TestWorkbook &workbook);
} // namespace TestWorkbooks
