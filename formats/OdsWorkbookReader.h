#pragma once

#include "formats/ReadBudget.h"
#include "formats/WorkbookFile.h"
#include "formats/WorkbookReader.h"

class ZipArchive;
class XmlPartReader;
class SheetRow;

// OpenDocument spreadsheets (.ods): content.xml streamed, repeated rows and cells
// counted rather than spelled out, so a sheet that ends in a million repeated
// empty rows costs nothing; only the cells of columns A and B are ever read.
class OdsWorkbookReader : public WorkbookReader {
public:
    explicit OdsWorkbookReader(std::shared_ptr<const WorkbookFile> file);
    ~OdsWorkbookReader() override;

    QStringList SheetNames() const override;
    void ReadRows(const QString &sheet,
                  const std::function<bool(int rowNumber, const QStringList &cells)> &row) override;

    static bool IsSpreadsheet(const ZipArchive &zip);

private:
    SheetRow ReadCells(XmlPartReader &xml) const;
    QString CellText(XmlPartReader &xml) const;
    QString ParagraphText(XmlPartReader &xml, qsizetype room) const;

    std::unique_ptr<ZipArchive> zip;
    ReadBudget budget;
    QString contentPart;
    QStringList sheets;
};
