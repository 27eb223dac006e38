#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

// A workbook opened for reading: its sheets in workbook order, and the cell texts of
// one sheet row by row. Every refusal (not a workbook, damaged, hostile) throws
// LexomatError with a reason fit for a second line under the caller's own message.
class WorkbookReader {
public:
    virtual ~WorkbookReader() = default;
    // Worksheets in workbook order (hidden ones too, never chart sheets).
    virtual QStringList SheetNames() const = 0;
    // Calls `row` for every row from row 1 (the column names, when HasTitleRow) to the
    // last row that holds a non-empty cell, with 1-based sheet row numbers; empty rows
    // in between come as empty lists. A vocabulary file gives one row per entry, an
    // empty one too. Cells are texts from column A on (trailing empty cells may
    // be left out). Return false from `row` to stop early. Throws when the sheet does
    // not exist or cannot be read.
    virtual void
    ReadRows(const QString &sheet,
             const std::function<bool(int rowNumber, const QStringList &cells)> &row) = 0;
    // Whether row 1 names the columns. Vocabulary files have no such row: every row,
    // from row 1 on, is a word and its definition.
    virtual bool HasTitleRow() const { return true; }
    int FirstDataRow() const { return HasTitleRow() ? 2 : 1; }
};

// Chooses the reader by the file's content, not its extension (.xls OLE2/BIFF,
// .xlsx zip, .ods zip, KVTML, a note export .txt, else .csv/.tsv text by extension). Throws
// LexomatError when the file cannot be read as a workbook.
std::unique_ptr<WorkbookReader> OpenWorkbook(const QString &path);
