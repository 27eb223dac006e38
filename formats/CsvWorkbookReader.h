#pragma once

#include "formats/WorkbookFile.h"
#include "formats/WorkbookReader.h"

// A plain text list (.csv, .tsv, .txt): one sheet named after the file. Text in
// UTF-8 with or without a byte order mark (or UTF-16 with one); fields quoted as
// RFC 4180 says, line breaks inside quotes kept.
class CsvWorkbookReader : public WorkbookReader {
public:
    explicit CsvWorkbookReader(std::shared_ptr<const WorkbookFile> file);

    QStringList SheetNames() const override;
    void ReadRows(const QString &sheet,
                  const std::function<bool(int rowNumber, const QStringList &cells)> &row) override;

    // Whether the file name promises a text list.
    static bool HasTextExtension(const QString &fileName);

private:
    QChar DetectSeparator() const;

    std::shared_ptr<const WorkbookFile> file;
    QString sheetName;
    QString text;
};
