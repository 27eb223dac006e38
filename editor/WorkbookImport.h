#pragma once

#include "exchange/SheetImport.h"

#include <QString>
#include <functional>

class QWidget;
class Tdm;
class Tfrm_sheet;

// The editor's "Import Excel File": the file dialog (FileOpen2), the sheet chooser,
// the import into the library the data module has open, and every message.
//
//   WorkbookImport import(frm_admin, dm, frm_sheet);
//   import.EnsureLibrary = [] { return frm_admin->EnsureLibrary(); };
//   import.CardsAdded = [](int) { refresh lbWords; Test_Tabel_Gol(); };
//   import.Execute();
class WorkbookImport {
public:
    WorkbookImport(QWidget *parent, Tdm *module, Tfrm_sheet *chooser);

    // Makes sure a library is open (the editor creates its untitled one); false
    // when none could be opened. Unset: the data module must have one open.
    std::function<bool()> EnsureLibrary;
    // After an import that went through (count label, Test_Tabel_Gol); new cards.
    std::function<void(int added)> CardsAdded;
    // How long the work runs before the progress dialog shows.
    int ProgressDelayMs = 500;

    // Shows the file dialog; runs FileOpen2Accept on a chosen file. Returns the
    // number of cards added (0 when nothing was added or the dialog was cancelled).
    int Execute();
    int FileOpen2Accept(const QString &path);

    // What the last import did (for the command line and tests).
    const ImportOutcome &LastOutcome() const { return outcome; }

private:
    QWidget *parent;
    Tdm *module;
    Tfrm_sheet *chooser;
    ImportOutcome outcome;
};
