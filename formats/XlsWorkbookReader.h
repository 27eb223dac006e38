#pragma once

#include "formats/CodePageDecoder.h"
#include "formats/ReadBudget.h"
#include "formats/WorkbookFile.h"
#include "formats/WorkbookReader.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <vector>

class BiffReader;
class BiffRecordStream;
class BiffSheetCells;

// Excel 97-2003 (BIFF8) and Excel 5/95 (BIFF5/7) workbooks inside an OLE2
// compound file. The Workbook stream is read in preference to the older, lossy
// Book stream that some files carry beside it. The stream and the tables kept from
// it count against the read budget.
class XlsWorkbookReader : public WorkbookReader {
public:
    explicit XlsWorkbookReader(std::shared_ptr<const WorkbookFile> file);
    ~XlsWorkbookReader() override;

    QStringList SheetNames() const override;
    void ReadRows(const QString &sheet,
                  const std::function<bool(int rowNumber, const QStringList &cells)> &row) override;

    // Whether the bytes start like an OLE2 compound file.
    static bool IsCompoundFile(const WorkbookFile &file);

private:
    struct Sheet {
        QString name;
        quint32 offset = 0;
    };
    void ReadGlobals();
    void SeekSheet(const QString &sheetName);
    void ReadCell(quint16 type, BiffSheetCells &cells);
    void ReadFormulaResult(BiffReader &reader, quint16 r, quint16 c, quint16 xf,
                           BiffSheetCells &cells) const;
    QString ReadString(BiffReader &reader, int countBytes) const;
    QString NumberText(double value, quint16 xf) const;

    ReadBudget budget;
    std::unique_ptr<BiffRecordStream> records;
    bool biff8 = true;
    bool date1904 = false;
    CodePageDecoder decoder;
    QList<Sheet> sheets;
    QStringList sharedStrings;
    QHash<int, QString> formats;
    std::vector<bool> dateXfs;
};
