#pragma once

#include "formats/ReadBudget.h"
#include "formats/WorkbookFile.h"
#include "formats/WorkbookReader.h"

// A plain text list (.csv, .tsv, .txt): one sheet named after the file. Text in
// UTF-8 with or without a byte order mark, UTF-16 with one, or else Windows-1252;
// fields quoted as RFC 4180 says, line breaks inside quotes kept. The text is
// decoded a piece at a time as it is read, and only the fields of columns A and B
// are gathered.
class CsvWorkbookReader : public WorkbookReader {
public:
    explicit CsvWorkbookReader(std::shared_ptr<const WorkbookFile> file);

    QStringList SheetNames() const override;
    void ReadRows(const QString &sheet,
                  const std::function<bool(int rowNumber, const QStringList &cells)> &row) override;

    // Whether the file name promises a text list.
    static bool HasTextExtension(const QString &fileName);

private:
    enum class Encoding { Utf8, Utf16LE, Utf16BE, Windows1252 };
    class Pieces;
    QChar DetectSeparator(const QString &start) const;

    std::shared_ptr<const WorkbookFile> file;
    ReadBudget budget;
    QString sheetName;
    Encoding encoding = Encoding::Utf8;
    qsizetype textStart = 0; // after the byte order mark
};
