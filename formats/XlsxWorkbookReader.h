#pragma once

#include "formats/ReadBudget.h"
#include "formats/WorkbookFile.h"
#include "formats/WorkbookReader.h"

#include <QHash>
#include <QList>
#include <vector>

class ZipArchive;
class XmlPartReader;
class SheetRow;

// Office Open XML workbooks (.xlsx, .xlsm): the parts found through their
// relationships (resolved as part names, never outside the package), every part
// streamed, shared strings and styles read once and counted against the read budget.
class XlsxWorkbookReader : public WorkbookReader {
public:
    explicit XlsxWorkbookReader(std::shared_ptr<const WorkbookFile> file);
    ~XlsxWorkbookReader() override;

    QStringList SheetNames() const override;
    void ReadRows(const QString &sheet,
                  const std::function<bool(int rowNumber, const QStringList &cells)> &row) override;

    // Whether an archive holds an Office Open XML package.
    static bool IsPackage(const ZipArchive &zip);

private:
    struct Sheet {
        QString name;
        QString part;
    };
    struct Relationship {
        QString type;
        QString target; // part name, resolved
    };
    QHash<QString, Relationship> ReadRelationships(const QString &part);
    void ReadWorkbook(const QString &workbookPart);
    void ReadSharedStrings();
    void ReadStyles();
    QString ReadStringItem(XmlPartReader &xml, QStringView element) const;
    QString CellText(XmlPartReader &xml) const;
    void ReadCell(XmlPartReader &xml, const QString &sheetName, qint64 &column, SheetRow &row);

    std::unique_ptr<ZipArchive> zip;
    ReadBudget budget;
    QList<Sheet> sheets;
    QString sharedStringsPart;
    QString stylesPart;
    bool date1904 = false;
    bool detailsRead = false;
    QStringList sharedStrings;
    std::vector<bool> dateStyles; // by cell format index
};
