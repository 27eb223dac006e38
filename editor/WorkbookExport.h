#pragma once

#include "exchange/LibraryExport.h"

#include <QString>
#include <functional>

class QWidget;
class Tdm;

// The editor's "Export To Excel File": the file dialog (FileSaveAs2), the export of
// every card of the library the data module has open, and every message. A library
// too big for an .xls is offered the .xlsx format instead of being cut.
//
//   WorkbookExport exporter(frm_admin, dm);
//   exporter.EnsureLibrary = [] { return frm_admin->EnsureLibrary(); };
//   exporter.Execute();
class WorkbookExport {
public:
    WorkbookExport(QWidget *parent, Tdm *module);

    std::function<bool()> EnsureLibrary; // as for the import
    int ProgressDelayMs = 500;

    // Shows the file dialog; runs FileSaveAs2Accept on a chosen name. True when a
    // workbook was written.
    bool Execute();
    bool FileSaveAs2Accept(const QString &path);

    const LibraryExport::Outcome &LastOutcome() const { return outcome; }
    QString LastPath() const { return lastPath; }

private:
    QWidget *parent;
    Tdm *module;
    LibraryExport::Outcome outcome;
    QString lastPath;
};
