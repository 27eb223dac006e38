#pragma once

#include <QString>
#include <memory>
#include <string_view>

// A new workbook with one worksheet, written row by row from row 1, two text cells
// a row (columns A and B). Texts are UTF-8; an empty text leaves its cell empty.
// Every failure throws LexomatError with a reason fit for a second line.
class WorkbookWriter {
public:
    virtual ~WorkbookWriter() = default;
    virtual void AddRow(std::string_view a, std::string_view b) = 0;
    // Writes the file out completely and closes it.
    virtual void Finish() = 0;
    // Most rows the format holds, the column-names row included.
    virtual int MaxRows() const = 0;
};

// Rows and cell length of the two formats.
constexpr int XlsMaxRows = 65536;
constexpr int XlsxMaxRows = 1048576;
constexpr int CellMaxChars = 32767; // UTF-16 units, both formats

// Excel 97-2003 (.xls): BIFF8 in an OLE2 file.
std::unique_ptr<WorkbookWriter> CreateXlsWriter(const QString &path, const QString &sheetName);
// Excel Workbook (.xlsx), written with constant memory.
std::unique_ptr<WorkbookWriter> CreateXlsxWriter(const QString &path, const QString &sheetName);
