#pragma once

#include "formats/KvtmlDocument.h"
#include "formats/WorkbookFile.h"
#include "formats/WorkbookReader.h"

// A KVTML vocabulary file read as a workbook: the sheet "All entries" (every entry in
// document order), then one sheet per lesson in document order, a nested lesson
// named "Parent/Child". Each entry is one row [word, definition]; there is no title
// row. The whole file is parsed when it is opened, so a damaged one is refused then.
class KvtmlWorkbookReader : public WorkbookReader {
public:
    explicit KvtmlWorkbookReader(std::shared_ptr<const WorkbookFile> file);

    QStringList SheetNames() const override { return sheets; }
    void ReadRows(const QString &sheet,
                  const std::function<bool(int rowNumber, const QStringList &cells)> &row) override;
    bool HasTitleRow() const override { return false; }

    // A .kvtml by name, or an XML file whose root element is named kvtml.
    static bool IsKvtml(const WorkbookFile &file);

    static inline const QString AllEntries = QStringLiteral("All entries");

private:
    KvtmlDocument document;
    QStringList sheets; // AllEntries, then the lessons' names made unique
};
