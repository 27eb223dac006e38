#pragma once

#include "formats/WorkbookFile.h"
#include "formats/WorkbookReader.h"

#include <vector>

// A plain-text note export of another flashcard program: a .txt whose first lines are
// "#key:value" headers, then one note a line, fields split by the separator the
// headers name (a tab unless told) and quoted as in CSV. One sheet named after the
// file; no title row. The word and the definition are the first two columns that
// the headers do not name as the guid, note type, deck or tags column; with
// "#html:true" the fields are turned from HTML into plain text.
class NoteExportReader : public WorkbookReader {
public:
    explicit NoteExportReader(std::shared_ptr<const WorkbookFile> file);

    QStringList SheetNames() const override { return {sheetName}; }
    void ReadRows(const QString &sheet,
                  const std::function<bool(int rowNumber, const QStringList &cells)> &row) override;
    bool HasTitleRow() const override { return false; }

    // A .txt whose first line is one of the export's headers.
    static bool IsNoteExport(const WorkbookFile &file);

private:
    void ReadHeader(const QString &key, const QString &value);

    QString sheetName;
    QString text;
    qsizetype bodyStart = 0;
    QChar separator = u'\t';
    bool html = false;
    std::vector<int> otherColumns; // 0-based columns that are not the note's fields
};
