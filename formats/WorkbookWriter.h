#pragma once

#include <QString>
#include <memory>
#include <string_view>

// Rows and cell length of the two Excel formats.
constexpr int XlsMaxRows = 65536;
constexpr int XlsxMaxRows = 1048576;
constexpr int CellMaxChars = 32767; // UTF-16 units, both formats

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
    // Most UTF-16 units a cell holds; a longer text is cut to it by the caller.
    virtual int MaxCellChars() const { return CellMaxChars; }
};

// Excel 97-2003 (.xls): BIFF8 in an OLE2 file.
std::unique_ptr<WorkbookWriter> CreateXlsWriter(const QString &path, const QString &sheetName);
// Excel Workbook (.xlsx), written with constant memory.
std::unique_ptr<WorkbookWriter> CreateXlsxWriter(const QString &path, const QString &sheetName);
// Text lists in UTF-8 without a byte-order mark, one record a line (CR LF), quoted as
// RFC 4180 says: comma-separated (.csv) or tab-separated (.tsv). No row or cell limit.
std::unique_ptr<WorkbookWriter> CreateCsvWriter(const QString &path);
std::unique_ptr<WorkbookWriter> CreateTsvWriter(const QString &path);
